#include "launch/emulatorpaths.h"

#include "system/files.h"

namespace vorlisk {

TextLines EmulatorPathFile::Read() {
    TextLines file = ReadTextLines(path_, LineEnds::HandWritten, 4);
    if (!file.complete && PathExists(path_)) {
        unreadable_ = true;
        readFailure_ = file.failureReason;
    }
    return file;
}

EmulatorPathFile::WriteResult EmulatorPathFile::Write(const std::vector<std::string>& paths) const {
    if (unreadable_) return {WriteStatus::HeldBack, readFailure_};
    vorlisk::WriteResult written = WriteFileSafely(path_, JoinLinesCrLf(paths));
    if (!written.ok) return {WriteStatus::Failed, written.reason};
    return {};
}

}  // namespace vorlisk
