#pragma once
// Reading and writing one text value of the registry. On Linux the registry is a text file,
// registry.ini in the folder "vorlisk" of the user's configuration folder: one section per
// key, named by its root and path ([HKEY_LOCAL_MACHINE\SOFTWARE\...]), one name=value line
// per value. Key and value names are compared without regard to case, as Windows does.

#include <optional>
#include <string>
#include <vector>

namespace vorlisk {

// Root keys, by their handles.
constexpr unsigned long kHkeyClassesRoot = 0x80000000UL;
constexpr unsigned long kHkeyCurrentUser = 0x80000001UL;
constexpr unsigned long kHkeyLocalMachine = 0x80000002UL;
constexpr unsigned long kHkeyUsers = 0x80000003UL;
constexpr unsigned long kHkeyCurrentConfig = 0x80000005UL;

// The registry type of a text value; the only type that SetKeyValue writes.
constexpr unsigned long kRegSz = 1;

// Data of 255 bytes or more (the text and its closing NUL) does not fit the reader's buffer.
constexpr size_t kLongestKeyValue = 254;

// The text value `valueName` of the key `keyName` below `keyRoot`, or the empty text when the
// key or the value is missing, the text has more than kLongestKeyValue characters, or the
// store cannot be read.
std::string GetKeyValue(unsigned long keyRoot, const std::string& keyName,
                        const std::string& valueName);

// Writes `keyVal` as the value `valueName` of the key `keyName`, creating the key when it is
// missing. Only `type` kRegSz writes a value; any other type writes nothing and answers true
// only when the key already existed. On failure `keyVal` is emptied and the answer is false.
bool SetKeyValue(unsigned long keyRoot, const std::string& keyName, unsigned long type,
                 const std::string& valueName, std::string& keyVal);

// The name of a root key ("HKEY_LOCAL_MACHINE"), or empty for an unknown handle.
std::string RegistryRootName(unsigned long keyRoot);

// The section name of a key: the root's name, and a backslash and `keyName` unless that is
// empty. Empty for an unknown root.
std::string RegistrySectionName(unsigned long keyRoot, const std::string& keyName);

// The lines of the store file, with the look-ups and changes made on them. Lines that are not
// understood (comments, stray text) are kept as they are. A value line may be indented and
// have blanks around its "=" ("Location = /x"); they belong to neither the name nor the value.
// In names and values the bytes that would break the line structure are written as %XX
// (hexadecimal): "%", CR, LF and NUL everywhere, in value names also "=", "[", ";" and "#",
// and the blanks that a reader would trim (around a name, at the start of a value). A "%" not
// followed by two hexadecimal digits reads as itself.
class RegistryText {
  public:
    explicit RegistryText(std::vector<std::string> lines = {});

    bool HasKey(const std::string& section) const;
    // The value `name` of the first section `section` that holds it.
    std::optional<std::string> Value(const std::string& section, const std::string& name) const;
    // Adds an empty section at the end unless it exists.
    void AddKey(const std::string& section);
    // Replaces the value, or adds it at the end of the key's first section (adding the key
    // when it is missing).
    void SetValue(const std::string& section, const std::string& name, const std::string& value);

    const std::vector<std::string>& Lines() const { return lines_; }

  private:
    std::vector<std::string> lines_;
};

// The path of the Linux store: ConfigFolder() + "vorlisk/registry.ini".
std::string RegistryFilePath();

}  // namespace vorlisk
