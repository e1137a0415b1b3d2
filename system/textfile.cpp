#include "system/textfile.h"

#include <cstring>
#include <string_view>

#include "system/textencoding.h"

namespace vorlisk {

namespace {
constexpr size_t kChunk = 1 << 16;
// A UTF-16 file is converted whole; one larger than this is no file written by hand.
constexpr uint64_t kMostUtf16Bytes = 64 << 20;
}  // namespace

LineReader::LineReader(const std::string& path, LineEnds ends) : file_(path), ends_(ends) {
    open_ = file_.IsOpen();
    failed_ = !open_;
    reason_ = file_.FailureReason();
    if (open_ && ends_ == LineEnds::HandWritten) ReadByteOrderMark();
}

void LineReader::ReadByteOrderMark() {
    const std::string head = file_.Read(0, 3);
    if (std::string_view(head).starts_with("\xEF\xBB\xBF")) {
        offset_ = 3;
        return;
    }
    const bool little = std::string_view(head).starts_with("\xFF\xFE");
    if (!little && !std::string_view(head).starts_with("\xFE\xFF")) return;
    eof_ = true;  // the whole file is read here
    if (file_.Size() > kMostUtf16Bytes) {
        failed_ = true;
        reason_ = "a UTF-16 file larger than " + std::to_string(kMostUtf16Bytes >> 20) + " MiB";
        return;
    }
    const std::string wide = file_.Read(2, static_cast<size_t>(file_.Size() - 2));
    if (wide.size() + 2 < file_.Size()) {
        failed_ = true;
        reason_ = file_.FailureReason().empty() ? "reading stopped before the end of the file"
                                                : file_.FailureReason();
        return;
    }
    buffer_ = Utf8FromUtf16(wide, little);
    end_ = buffer_.size();
}

bool LineReader::Fill() {
    if (eof_ || !open_) return false;
    buffer_ = file_.Read(offset_, kChunk);
    pos_ = 0;
    end_ = buffer_.size();
    offset_ += end_;
    if (offset_ >= file_.Size()) {
        eof_ = true;
    } else if (end_ < kChunk) {  // a read failed before the end
        failed_ = true;
        eof_ = true;
        reason_ = file_.FailureReason().empty() ? "reading stopped before the end of the file"
                                                : file_.FailureReason();
    }
    return end_ > 0;
}

int LineReader::Peek() {
    if (pos_ == end_ && !Fill()) return -1;
    return static_cast<unsigned char>(buffer_[pos_]);
}

bool LineReader::Next(std::string& line) {
    line.clear();
    if (Peek() < 0) return false;
    for (;;) {
        if (pos_ == end_ && !Fill()) return !failed_;
        // Copy the run of ordinary bytes in one go, up to the next CR (or LF).
        const char* start = buffer_.data() + pos_;
        size_t left = end_ - pos_;
        const void* cr = std::memchr(start, '\r', left);
        size_t run = cr ? static_cast<size_t>(static_cast<const char*>(cr) - start) : left;
        if (ends_ == LineEnds::HandWritten) {
            const void* lf = std::memchr(start, '\n', run);
            if (lf) run = static_cast<size_t>(static_cast<const char*>(lf) - start);
        }
        line.append(start, run);
        pos_ += run;
        if (pos_ == end_) continue;

        char c = buffer_[pos_++];
        if (c == '\n') return true;  // a lone LF of a hand-written file
        int next = Peek();
        if (next == '\n') {
            ++pos_;
            return true;
        }
        if (next == 0 && ends_ == LineEnds::Catalogue) {
            ++pos_;
            line.push_back('\r');
            continue;
        }
        return true;  // a lone CR
    }
}

TextLines ReadTextLines(const std::string& path, LineEnds ends, size_t maxLines) {
    TextLines result;
    LineReader reader(path, ends);
    std::string line;
    while (result.lines.size() < maxLines && reader.Next(line)) result.lines.push_back(line);
    result.complete = !reader.Failed();
    result.failureReason = reader.FailureReason();
    return result;
}

std::string JoinLinesCrLf(const std::vector<std::string>& lines) {
    std::string content;
    size_t size = 0;
    for (const auto& line : lines) size += line.size() + 2;
    content.reserve(size);
    for (const auto& line : lines) {
        content += line;
        content += "\r\n";
    }
    return content;
}

std::string EncodeCatalogueLine(const std::string& line) {
    if (line.find('\r') == std::string::npos) return line;
    std::string encoded;
    encoded.reserve(line.size() + 4);
    for (char c : line) {
        encoded.push_back(c);
        if (c == '\r') encoded.push_back('\0');
    }
    return encoded;
}

}  // namespace vorlisk
