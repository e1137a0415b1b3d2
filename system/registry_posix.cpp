#include <filesystem>

#include "system/files.h"
#include "system/folders.h"
#include "system/registry.h"
#include "system/textfile.h"

namespace vorlisk {

std::string RegistryFilePath() { return ConfigFolder() + "vorlisk/registry.ini"; }

std::string GetKeyValue(unsigned long keyRoot, const std::string& keyName,
                        const std::string& valueName) {
    std::string section = RegistrySectionName(keyRoot, keyName);
    if (section.empty()) return {};
    TextLines file = ReadTextLines(RegistryFilePath(), LineEnds::HandWritten);
    if (!file.complete) return {};
    std::optional<std::string> value =
        RegistryText(std::move(file.lines)).Value(section, valueName);
    if (!value || value->size() > kLongestKeyValue) return {};
    return *value;
}

bool SetKeyValue(unsigned long keyRoot, const std::string& keyName, unsigned long type,
                 const std::string& valueName, std::string& keyVal) {
    auto fail = [&keyVal] {
        keyVal.clear();
        return false;
    };
    std::string section = RegistrySectionName(keyRoot, keyName);
    if (section.empty()) return fail();

    std::string path = RegistryFilePath();
    std::vector<std::string> lines;
    if (PathExists(path)) {
        // A store that cannot be read whole is never written over.
        TextLines file = ReadTextLines(path, LineEnds::HandWritten);
        if (!file.complete) return fail();
        lines = std::move(file.lines);
    }
    RegistryText store(std::move(lines));
    const bool keyExisted = store.HasKey(section);
    if (keyExisted && type != kRegSz) return true;  // the key opens; nothing to write

    store.AddKey(section);
    if (type == kRegSz) store.SetValue(section, valueName, keyVal);

    std::error_code ignored;
    std::filesystem::create_directories(ConfigFolder() + "vorlisk", ignored);
    bool written = WriteFileSafely(path, JoinLinesCrLf(store.Lines())).ok;
    // Another type only created the key, and answers false because the key did not open.
    if (type != kRegSz || !written) return fail();
    return true;
}

}  // namespace vorlisk
