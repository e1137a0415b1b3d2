#include "launch/ui/startwatch.h"

#include <QWidget>

#include "app/programlog.h"
#include "app/ui/text.h"
#include "app/ui/userinterface.h"
#include "system/processes.h"

namespace vorlisk {

namespace {
// How often the started programs are looked at.
constexpr std::chrono::milliseconds kPollEvery{100};
// The lines of output that the message and the log show.
constexpr size_t kLastLinesShown = 12;
}  // namespace

StartWatch::StartWatch(QWidget& owner, UserInterface& ui, const InterfaceText& text,
                       std::string logPath)
    : QObject(&owner), owner_(owner), ui_(ui), text_(text), logPath_(std::move(logPath)) {
    timer_.setInterval(kPollEvery);
    connect(&timer_, &QTimer::timeout, this, &StartWatch::Poll);
}

void StartWatch::Watch(const std::string& commandLine, std::unique_ptr<StartedProgram> program) {
    // Written now: this program may close before the outcome is known.
    AppendToLog(logPath_, "Play starts: " + commandLine);
    watched_.emplace_back(commandLine, std::move(program));
    timer_.start();
}

void StartWatch::Poll() {
    // The outcomes are taken first: a message runs the event loop, which polls again.
    std::vector<std::pair<std::string, StartOutcome>> known;
    for (auto entry = watched_.begin(); entry != watched_.end();) {
        StartOutcome outcome = entry->second->Poll();
        if (!outcome.known) {
            ++entry;
            continue;
        }
        known.emplace_back(entry->first, std::move(outcome));
        entry = watched_.erase(entry);
    }
    if (watched_.empty()) timer_.stop();
    for (const auto& [commandLine, outcome] : known) {
        const std::string output = LastLines(outcome.output, kLastLinesShown);
        std::string entry;
        if (!outcome.failure.empty())
            entry = "Play could not start: " + commandLine + "\n" + outcome.failure;
        else if (!outcome.ended)
            entry = "Play started: " + commandLine + "\nstill running after " +
                    std::to_string(kStartWatch.count()) + " seconds";
        else
            entry = "Play started: " + commandLine + "\nended with exit code " +
                    std::to_string(outcome.exitCode);
        if (!output.empty()) entry += "\n" + output;
        AppendToLog(logPath_, entry);
        if (!outcome.ended || (outcome.exitCode == 0 && outcome.failure.empty())) continue;
        QString text = outcome.failure.empty()
                           ? QStringLiteral(
                                 "The program that Play started ended at once with exit "
                                 "code %1:\n%2")
                                 .arg(outcome.exitCode)
                                 .arg(ToQt(commandLine))
                           : ToQt(text_.strNotStarted).arg(ToQt(outcome.failure)) +
                                 QStringLiteral("\n\n") + ToQt(commandLine);
        if (!output.empty()) text += QStringLiteral("\n\n") + ToQt(output);
        text += QStringLiteral("\n\nWhat Play starts is kept in %1.").arg(ToQt(logPath_));
        ui_.ShowMessage(&owner_, text, owner_.windowTitle(), MessageIcon::Exclamation);
    }
}

}  // namespace vorlisk
