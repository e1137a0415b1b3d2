#include "system/registry.h"

#include <algorithm>

#include "system/asciicase.h"
#include "system/services.h"

namespace vorlisk {

namespace {

// Which blanks at the edges of a text are written as %20, because the reader trims them.
enum class EdgeBlanks { Leading, LeadingAndTrailing };

std::string Encode(std::string_view text, std::string_view special,
                   EdgeBlanks edges = EdgeBlanks::Leading) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    // A text of blanks alone has no first non-blank: all of it is encoded.
    const size_t first = text.find_first_not_of(' ');
    const size_t last =
        edges == EdgeBlanks::LeadingAndTrailing ? text.find_last_not_of(' ') : text.size();
    std::string encoded;
    encoded.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '%' || c == '\r' || c == '\n' || c == '\0' ||
            special.find(c) != std::string_view::npos || (c == ' ' && (i < first || i > last))) {
            auto byte = static_cast<unsigned char>(c);
            encoded.push_back('%');
            encoded.push_back(kHex[byte >> 4]);
            encoded.push_back(kHex[byte & 15]);
        } else {
            encoded.push_back(c);
        }
    }
    return encoded;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string Decode(std::string_view text) {
    std::string decoded;
    decoded.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && HexDigit(text[i + 1]) >= 0 &&
            HexDigit(text[i + 2]) >= 0) {
            decoded.push_back(
                static_cast<char>(HexDigit(text[i + 1]) * 16 + HexDigit(text[i + 2])));
            i += 2;
        } else {
            decoded.push_back(text[i]);
        }
    }
    return decoded;
}

constexpr std::string_view kNameSpecial = "=[;#";

// The section a line opens, when it is a section line.
std::optional<std::string> SectionOf(const std::string& line) {
    const std::string trimmed = TrimBlanks(line);
    if (trimmed.size() < 2 || trimmed.front() != '[' || trimmed.back() != ']') return std::nullopt;
    return Decode(std::string_view(trimmed).substr(1, trimmed.size() - 2));
}

struct ValueLine {
    std::string name;
    std::string value;
};

// A value line; people who write the file by hand may indent it and put blanks around the
// "=", which are not part of the name or the value.
std::optional<ValueLine> ValueOf(const std::string& line) {
    std::string_view text = line;
    text.remove_prefix(std::min(text.find_first_not_of(' '), text.size()));
    if (text.empty() || text[0] == ';' || text[0] == '#' || text[0] == '[') return std::nullopt;
    size_t equals = text.find('=');
    if (equals == std::string_view::npos) return std::nullopt;
    std::string_view value = text.substr(equals + 1);
    value.remove_prefix(std::min(value.find_first_not_of(' '), value.size()));
    return ValueLine{Decode(TrimBlanks(text.substr(0, equals))), Decode(value)};
}

std::string ValueLineText(const std::string& name, const std::string& value) {
    return Encode(name, kNameSpecial, EdgeBlanks::LeadingAndTrailing) + "=" + Encode(value, {});
}

}  // namespace

std::string RegistryRootName(unsigned long keyRoot) {
    switch (keyRoot) {
        case kHkeyClassesRoot:
            return "HKEY_CLASSES_ROOT";
        case kHkeyCurrentUser:
            return "HKEY_CURRENT_USER";
        case kHkeyLocalMachine:
            return "HKEY_LOCAL_MACHINE";
        case kHkeyUsers:
            return "HKEY_USERS";
        case kHkeyCurrentConfig:
            return "HKEY_CURRENT_CONFIG";
        default:
            return {};
    }
}

std::string RegistrySectionName(unsigned long keyRoot, const std::string& keyName) {
    std::string root = RegistryRootName(keyRoot);
    if (root.empty() || keyName.empty()) return root;
    return root + "\\" + keyName;
}

RegistryText::RegistryText(std::vector<std::string> lines) : lines_(std::move(lines)) {}

bool RegistryText::HasKey(const std::string& section) const {
    return std::any_of(lines_.begin(), lines_.end(), [&](const std::string& line) {
        auto name = SectionOf(line);
        return name && EqualIgnoringCase(*name, section);
    });
}

std::optional<std::string> RegistryText::Value(const std::string& section,
                                               const std::string& name) const {
    bool inSection = false;
    for (const auto& line : lines_) {
        if (auto opened = SectionOf(line)) {
            inSection = EqualIgnoringCase(*opened, section);
            continue;
        }
        if (!inSection) continue;
        if (auto value = ValueOf(line); value && EqualIgnoringCase(value->name, name))
            return value->value;
    }
    return std::nullopt;
}

void RegistryText::AddKey(const std::string& section) {
    if (HasKey(section)) return;
    if (!lines_.empty() && !lines_.back().empty()) lines_.emplace_back();
    lines_.push_back("[" + Encode(section, {}) + "]");
}

void RegistryText::SetValue(const std::string& section, const std::string& name,
                            const std::string& value) {
    bool inSection = false;
    for (auto& line : lines_) {
        if (auto opened = SectionOf(line)) {
            inSection = EqualIgnoringCase(*opened, section);
            continue;
        }
        if (!inSection) continue;
        if (auto old = ValueOf(line); old && EqualIgnoringCase(old->name, name)) {
            // Keep the name as it was written; Windows keeps the first spelling too.
            line = ValueLineText(old->name, value);
            return;
        }
    }
    AddKey(section);
    // After the last non-empty line of the key's first section.
    size_t at = lines_.size();
    for (size_t i = 0; i < lines_.size(); ++i) {
        auto opened = SectionOf(lines_[i]);
        if (!opened || !EqualIgnoringCase(*opened, section)) continue;
        at = i + 1;
        for (size_t j = i + 1; j < lines_.size() && !SectionOf(lines_[j]); ++j)
            if (!lines_[j].empty()) at = j + 1;
        break;
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), ValueLineText(name, value));
}

// The platform services answer with this platform's GetKeyValue and SetKeyValue.
std::string PlatformServices::GetKeyValue(unsigned long keyRoot, const std::string& keyName,
                                          const std::string& valueName) {
    return vorlisk::GetKeyValue(keyRoot, keyName, valueName);
}

bool PlatformServices::SetKeyValue(unsigned long keyRoot, const std::string& keyName,
                                   unsigned long type, const std::string& valueName,
                                   std::string& value) {
    return vorlisk::SetKeyValue(keyRoot, keyName, type, valueName, value);
}

}  // namespace vorlisk
