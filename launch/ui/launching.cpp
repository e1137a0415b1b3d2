// The launch side of the main window: the emulator choice, the path dialog button, and
// playing a game (mount its image, then start its emulator or carry out the launch script).

#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QLocale>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <cctype>
#include <chrono>

#include "app/programlog.h"
#include "app/ui/backgroundwork.h"
#include "app/ui/formGameInventory.h"
#include "app/ui/text.h"
#include "app/ui/userinterface.h"
#include "app/ui/widgets.h"
#include "import/discid.h"
#include "import/imagegameid.h"
#include "launch/mountscript.h"
#include "launch/playcommand.h"
#include "launch/ui/formEmulatorPath.h"
#include "launch/ui/playclock.h"
#include "launch/ui/startwatch.h"
#include "system/files.h"
#include "system/services.h"

namespace vorlisk {

void formGameInventory::cmbPlay_Click() {
    if (!pathDialog_) return;
    int entry = cmbPlay()->currentIndex();
    ShowEmulatorLogo();
    if (entry >= 1 && entry <= 4 && !FileExists(pathDialog_->Path(entry - 1))) btnPaths_Click();
    MarkEdited();
}

void formGameInventory::btnPaths_Click() {
    pathDialog_->setWindowTitle(ToQt(text_.strPathSetupTitle));
    pathDialog_->show();
    pathDialog_->raise();
    pathDialog_->activateWindow();
}

namespace {
// How long Play and Get wait for the mount command before they read the drives. The Linux
// helper waits at most 5 s for another mount to end before it mounts, so a slow mount still
// ends well within this.
constexpr std::chrono::seconds kMountLimit{10};
// DAEMON Tools may stay running once the disc is mounted: the wait then ends as soon as a drive
// shows the image's disc, and a mount command still running at the end is no failure.
#ifdef _WIN32
constexpr bool kMountMayStayResident = true;
#else
constexpr bool kMountMayStayResident = false;
#endif
// How often the drives are looked at while a resident mount command runs.
constexpr std::chrono::milliseconds kDriveLookInterval{250};
// The most of the mount command's error output that a message shows.
constexpr size_t kMostErrorShown = 2000;
}  // namespace

formGameInventory::MountOutcome formGameInventory::MountImage(const std::string& imagePath,
                                                             std::string& mountOutput) {
    std::string mount =
        PlayMountCommand(appPath_, system_.ProgramFolder(), imagePath, vorlisk::FileExists);
    // No mount program, or an image none takes: the drives hold what they hold.
    if (mount.empty()) return MountOutcome::NotMounted;

    // The disc to look for in the drives, when its image names it.
    const std::string imageId = kMountMayStayResident ? ImageGameId(imagePath) : std::string();
    auto nextLook = std::chrono::steady_clock::now();
    auto discShown = [&] {
        if (imageId.empty() || std::chrono::steady_clock::now() < nextLook) return false;
        nextLook = std::chrono::steady_clock::now() + kDriveLookInterval;
        return vorlisk::GetDiscGameId(system_.CdromRoots()) == imageId;
    };
    const QString label = ToQt(text_.strMounting)
                              .arg(QFileInfo(ToQt(imagePath)).fileName());
    ProgramRun run;
    bool waited = RunInBackground([&label](size_t, size_t) { return label; },
                                  [&](WorkProgress& progress) {
                                      run = system_.RunCommandLine(
                                          mount, ShowState::Minimized, kMountLimit,
                                          [&] { return progress.cancelled || discShown(); });
                                  });
    if (!waited) return MountOutcome::Cancelled;
    mountOutput = run.output;
    // A command that cannot be started is passed over in silence, as ever.
    if (!run.started || run.stillRunning || (run.finished && run.exitCode == 0))
        return MountOutcome::Mounted;

    std::string text =
        run.finished
            ? "The disc image could not be mounted (exit code " + std::to_string(run.exitCode) +
                  ")."
            : "The disc image could not be mounted: the mount command did not end within " +
                  std::to_string(kMountLimit.count()) + " seconds.";
    std::string errors = run.errors.substr(0, kMostErrorShown);
    while (!errors.empty() && std::isspace(static_cast<unsigned char>(errors.back())))
        errors.pop_back();
    if (!errors.empty()) text += "\n\n" + errors;
    ui_.ShowMessage(this, ToQt(text), windowTitle(), MessageIcon::Exclamation);
    return MountOutcome::Failed;
}

void formGameInventory::btnPlay_Click() {
    if (!btnPlay()->isEnabled()) return;
    std::string imagePath = ImagePath();
    if (FileExists(imagePath)) {
        // After a failed mount the game is played all the same: the emulator then gets the
        // image itself, and the launch script may not need the disc. A cancelled one plays not.
        std::string mountOutput;
        const MountOutcome mounted = MountImage(imagePath, mountOutput);
        if (mounted == MountOutcome::Cancelled) return;
        playClock_->Begin(FieldBytes(txtID(), recordEncoding_),
                          FieldBytes(txtName(), recordEncoding_));
        RunMountScript(imagePath, mountOutput, mounted == MountOutcome::Mounted);
        return;
    }
    if (imagePath.empty()) return;
    ui_.ShowMessage(this, ToQt(text_.strFilePrefix) + txtISO()->text() + ToQt(text_.strNotFound),
                    windowTitle(), MessageIcon::Information);
}

void formGameInventory::RunMountScript(const std::string& imagePath,
                                       const std::string& mountOutput, bool imageInDrive) {
    std::array<std::string, 4> paths;
    for (int i = 0; i < 4; ++i) paths[static_cast<size_t>(i)] = pathDialog_->Path(i);
    // When no drive shows a disc, the game ID is the one the image itself names.
    auto gameId = [this, &mountOutput, &imagePath] {
        std::string id = GetDiscGameId(mountOutput);
        return id.empty() ? ImageGameId(imagePath) : id;
    };
    ServicesMountScriptHost host(
        system_, gameId,
        [this](const std::string& question) {
            return ui_.AskYesNo(this, ToQt(question), QStringLiteral("Vorlisk"));
        },
        [this](const std::string& commandLine, std::unique_ptr<StartedProgram> program) {
            startWatch_->Watch(commandLine, playClock_->Time(std::move(program)));
        });
    const int entry = cmbPlay()->currentIndex();
    const LaunchResult launch = vorlisk::RunMountScript(imagePath, entry, paths, host, imageInDrive);
    // Nothing to start is said, with what is missing, never passed over in silence.
    std::string text =
        NothingStartedMessage(launch, entry, FromQt(WithoutAccessKeys(btnPaths()->text())));
    if (text.empty()) return;
    if (launch.launch == Launch::UnreadableScript)
        AppendToLog(LogPath(), text);
    else if (!imageInDrive)
        text = text_.strNotMounted + "\n\n" + text;
    ui_.ShowMessage(this, ToQt(text), windowTitle(), MessageIcon::Exclamation);
}

void formGameInventory::ShowPlayTime() {
    std::optional<PlayTime> played = playClock_->History().Of(
        FieldBytes(txtID(), recordEncoding_), FieldBytes(txtName(), recordEncoding_));
    if (!played) {
        lblPlayed()->clear();
        return;
    }
    const long long minutes = played->seconds / 60;
    const QString time =
        minutes < 60 ? ToQt(text_.strMinutesPlayed).arg(minutes)
                     : ToQt(text_.strHoursPlayed).arg(minutes / 60).arg(minutes % 60);
    const QDate day = QDateTime::fromSecsSinceEpoch(played->lastPlayed).date();
    lblPlayed()->setText(ToQt(text_.strLastPlayed)
                             .arg(QLocale().toString(day, QStringLiteral("d MMM yyyy")), time));
}

void formGameInventory::lstName_DblClick() { btnPlay_Click(); }

void formGameInventory::imgGame_DblClick(int) {
    if (cmbGenre()->isEnabled()) btnPlay_Click();
}

}  // namespace vorlisk
