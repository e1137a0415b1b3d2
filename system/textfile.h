#pragma once
// Reading text files line by line, as bytes, with the program's two line-end rules.

#include <cstdint>
#include <string>
#include <vector>

#include "system/readonlyfile.h"

namespace vorlisk {

enum class LineEnds {
    // The catalogue: a line ends at CR LF or a lone CR; a lone LF stays inside the line.
    // A CR followed by NUL is a CR that belongs to the line (see EncodeCatalogueLine).
    Catalogue,
    // Files people write by hand: CR LF, a lone CR and a lone LF all end a line. A UTF-8
    // byte-order mark at the start is passed over, and a file with a UTF-16 mark (little- or
    // big-endian, as Notepad saves "Unicode") is read as the UTF-8 it spells.
    HandWritten,
};

// Only a regular file is read: a folder, a FIFO or a device fails as a file that cannot be
// opened does.
class LineReader {
  public:
    LineReader(const std::string& path, LineEnds ends);

    bool IsOpen() const { return open_; }
    // Reads the next line, without its line break, into `line`. False at the end of the
    // file or after a read error; Failed() tells the two apart.
    bool Next(std::string& line);
    // True when the file could not be opened or a read failed before its end.
    bool Failed() const { return failed_; }
    // What went wrong, when Failed().
    const std::string& FailureReason() const { return reason_; }

  private:
    void ReadByteOrderMark();
    bool Fill();
    int Peek();

    ReadOnlyFile file_;
    LineEnds ends_;
    uint64_t offset_ = 0;  // where the next chunk of the file begins
    std::string buffer_;
    size_t pos_ = 0;
    size_t end_ = 0;
    bool open_ = false;
    bool failed_ = false;
    bool eof_ = false;
    std::string reason_;
};

struct TextLines {
    std::vector<std::string> lines;
    bool complete = false;  // false when the file could not be opened or read to its end
    std::string failureReason;
};

// Reads at most `maxLines` lines of the file at `path`.
TextLines ReadTextLines(const std::string& path, LineEnds ends, size_t maxLines = SIZE_MAX);

// Joins lines into file content, each line followed by CR LF.
std::string JoinLinesCrLf(const std::vector<std::string>& lines);

// A catalogue line as written to the file: a CR inside it becomes CR NUL so that the line
// does not end there when it is read back.
std::string EncodeCatalogueLine(const std::string& line);

}  // namespace vorlisk
