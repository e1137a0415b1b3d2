#pragma once
// Watches the programs that Play started for their first seconds. Each start is written to the
// program's log when it happens, and again with how it went once that is known; one that could
// not be started or ended with a failure is also told in a message with the end of its output,
// for an emulator that is not set up fails at once.

#include <QObject>
#include <QTimer>
#include <memory>
#include <string>
#include <vector>

#include "app/interfacetext.h"
#include "system/services.h"

class QWidget;

namespace vorlisk {

class UserInterface;

class StartWatch : public QObject {
    Q_OBJECT
  public:
    // Messages go to `owner`, in the words of `text`; the log is the file at `logPath`.
    StartWatch(QWidget& owner, UserInterface& ui, const InterfaceText& text, std::string logPath);

    void Watch(const std::string& commandLine, std::unique_ptr<StartedProgram> program);

  private:
    void Poll();

    QWidget& owner_;
    UserInterface& ui_;
    const InterfaceText& text_;
    std::string logPath_;
    QTimer timer_;
    std::vector<std::pair<std::string, std::unique_ptr<StartedProgram>>> watched_;
};

}  // namespace vorlisk
