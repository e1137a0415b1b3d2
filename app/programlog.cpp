#include "app/programlog.h"

#include <ctime>

#include "system/files.h"

namespace vorlisk {

void AppendToLog(const std::string& path, const std::string& entry) {
    char stamp[32] = "";
    const std::time_t now = std::time(nullptr);
    if (const std::tm* local = std::localtime(&now))
        std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", local);
    std::string text = std::string(stamp) + "  ";
    for (char c : entry) {
        text.push_back(c);
        if (c == '\n') text += "    ";
    }
    text += '\n';
    std::string log = ReadFileBytes(path, kMostLogBytes).value_or(std::string()) + text;
    // Entries begin at a line without indent; the oldest go until the log fits.
    size_t start = 0;
    while (log.size() - start > kMostLogBytes) {
        size_t next = start;
        do {
            next = log.find('\n', next);
            if (next == std::string::npos) return;  // one entry larger than the log
            ++next;
        } while (next < log.size() && log[next] == ' ');
        start = next;
    }
    WriteOwnFileSafely(path, log.substr(start));
}

}  // namespace vorlisk
