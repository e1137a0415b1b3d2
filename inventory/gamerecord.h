#pragma once
// The game record: one line of eight TAB-separated fields (ID, genre, image flag, image path,
// first picture, second picture, emulator, description), and the text helpers around it.

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "system/asciicase.h"

namespace vorlisk {

// Every occurrence of `find` (never empty) replaced by `replacement`, left to right,
// without searching the inserted text again.
std::string ReplaceText(std::string text, std::string_view find, std::string_view replacement);

// The field of `record` that begins at `position` (counted from 1); afterwards `position`
// points at the next field. Past the last field the answer is empty and `position` stays.
std::string GetField(int& position, const std::string& record);

// The record as the editor shows it. The description uses CR LF between its lines.
struct GameFields {
    std::string id;
    std::string genre;
    int imageFlag = 0;
    std::string imagePath;
    std::string firstPicture;
    std::string secondPicture;
    std::string emulator;
    std::string description;
};

// The fields of a record, in record order.
enum RecordField {
    kId,
    kGenre,
    kImageFlag,
    kImagePath,
    kFirstPicture,
    kSecondPicture,
    kEmulator,
    kDescription,
    kRecordFieldCount
};
using RecordFields = std::array<std::string, kRecordFieldCount>;

// The fields of `record` as they are stored, read with GetField; the description is the rest
// of the record, its TABs included.
RecordFields SplitRecord(const std::string& record);

// The fields joined by single TABs.
std::string JoinRecord(const RecordFields& fields);

// An edited field as it is stored: the ID, the paths and the description without blanks at
// their ends, a TAB inside fields 1 to 7 turned into a blank, CR LF of the description into TAB.
std::string StoredField(RecordField field, std::string text);

// The description as the editor shows it: every TAB of the stored one turned into CR LF.
std::string ShownDescription(const std::string& stored);

// Builds the record as it is stored, every field as StoredField says.
std::string BuildRecord(const GameFields& fields);

// The record's fields, read with GetField; the description is the rest of the record
// with every TAB turned back into CR LF. `imageFlagText` holds field 3 as stored.
struct ShownRecord {
    GameFields fields;
    std::string imageFlagText;
};
ShownRecord ReadRecord(const std::string& record);

// Field 3 read as a whole number; nothing when it is not one.
std::optional<int> ParseImageFlag(const std::string& text);

// The genre field (field 2) of a record.
std::string_view RecordGenre(std::string_view record);

// A game's name as it may be stored: a TAB would split the inventory line, so it becomes a blank.
std::string CleanName(std::string name);

}  // namespace vorlisk
