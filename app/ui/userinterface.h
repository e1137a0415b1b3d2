#pragma once
// What the windows ask of the person in front of them: message boxes, questions, the input
// box, the file and folder choosers, opening a web address, and ending the program.
// The program hands QtUserInterface; tests hand a fake.

#include <QString>
#include <QStringList>

class QWidget;

namespace vorlisk {

enum class MessageIcon { Information, Exclamation, Question };

// The name filter of a file chooser that lists only the files the user may run (and every
// folder), whatever their names.
inline const QString kProgramFilesFilter = QStringLiteral("Programs (*)");

class UserInterface {
  public:
    virtual ~UserInterface() = default;

    virtual void ShowMessage(QWidget* owner, const QString& text, const QString& title,
                             MessageIcon icon) = 0;
    // A question with Yes and No; true for Yes.
    virtual bool AskYesNo(QWidget* owner, const QString& text, const QString& title) = 0;
    // The text typed, or the empty text on Cancel.
    virtual QString InputBox(QWidget* owner, const QString& prompt, const QString& title,
                             const QString& text) = 0;
    // The chosen existing file, or the empty text. `filters` are name filters such as
    // "Pictures (*.gif *.jpg)"; the first one is preselected.
    virtual QString ChooseFile(QWidget* owner, const QStringList& filters, const QString& title,
                               const QString& startIn) = 0;
    // The chosen folder, or the empty text.
    virtual QString ChooseFolder(QWidget* owner, const QString& title) = 0;
    virtual void OpenAddress(const QString& address) = 0;
    // Ends the program at once.
    virtual void EndProgram() = 0;
};

class QtUserInterface : public UserInterface {
  public:
    void ShowMessage(QWidget* owner, const QString& text, const QString& title,
                     MessageIcon icon) override;
    bool AskYesNo(QWidget* owner, const QString& text, const QString& title) override;
    QString InputBox(QWidget* owner, const QString& prompt, const QString& title,
                     const QString& text) override;
    QString ChooseFile(QWidget* owner, const QStringList& filters, const QString& title,
                       const QString& startIn) override;
    QString ChooseFolder(QWidget* owner, const QString& title) override;
    void OpenAddress(const QString& address) override;
    void EndProgram() override;
};

}  // namespace vorlisk
