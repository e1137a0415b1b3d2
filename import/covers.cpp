#include "import/covers.h"

#include "import/folderimport.h"
#include "system/asciicase.h"

namespace vorlisk {

namespace {

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The three spellings of an ID of letters and five digits (SLUS-00594, SLUS_005.94,
// SLUS00594), or the ID alone when it is not of that shape.
std::vector<std::string> IdForms(const std::string& id) {
    size_t letters = 0;
    while (letters < id.size() && IsLetter(id[letters])) ++letters;
    size_t at = letters;
    if (at < id.size() && (id[at] == '-' || id[at] == '_' || id[at] == ' ')) ++at;
    std::string digits;
    for (; at < id.size() && (IsDigit(id[at]) || id[at] == '.'); ++at)
        if (id[at] != '.') digits += id[at];
    if (letters == 0 || at != id.size() || digits.size() != 5) return {id};
    const std::string prefix = id.substr(0, letters);
    return {prefix + '-' + digits, prefix + '_' + digits.substr(0, 3) + '.' + digits.substr(3),
            prefix + digits};
}

size_t NameStart(const std::string& path) {
    size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? 0 : slash + 1;
}

// The file name of `path` without its extension.
std::string BareFileName(const std::string& path) {
    std::string name = path.substr(NameStart(path));
    size_t dot = name.rfind('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

std::string LibretroName(std::string name) {
    for (char& c : name)
        if (std::string_view("&*/:`<>?\\|").find(c) != std::string_view::npos) c = '_';
    return name;
}

}  // namespace

std::vector<std::string> CoverNames(const CoverKeys& keys) {
    std::vector<std::string> names;
    auto add = [&names](const std::string& name) {
        if (name.empty()) return;
        for (const std::string& known : names)
            if (known == name) return;
        names.push_back(name);
    };
    const bool playlist = EndsWithIgnoringCase(keys.imagePath, ".m3u");
    if (playlist) add(BareFileName(keys.imagePath));
    if (!TrimBlanks(keys.id).empty())
        for (const std::string& form : IdForms(TrimBlanks(keys.id))) add(form);
    if (!playlist && !keys.imagePath.empty()) add(BareFileName(keys.imagePath));
    add(LibretroName(keys.name));
    return names;
}

CoverFolder::CoverFolder(std::string folder, const std::vector<std::string>& fileNames)
    : folder_(std::move(folder)) {
    files_.reserve(fileNames.size());
    for (const std::string& name : fileNames) files_.emplace(LowerAsciiText(name), name);
}

CoverFolder CoverFolder::List(const std::string& folder) {
    return CoverFolder(folder, ListPlainFiles(folder));
}

std::string CoverFolder::Find(const CoverKeys& keys,
                              const std::vector<std::string>& extensions) const {
    if (files_.empty()) return {};
    for (const std::string& name : CoverNames(keys)) {
        const std::string lower = LowerAsciiText(name);
        for (const std::string& extension : extensions)
            if (auto found = files_.find(lower + LowerAsciiText(extension)); found != files_.end())
                return folder_ + found->second;
    }
    return {};
}

}  // namespace vorlisk
