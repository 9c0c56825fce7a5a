#pragma once
// A run's record as text, as the undo history keeps it: a head line with its mode and counts, a
// line per entry of its lists, a line per pair it carried out; and the digest line that closes
// every file of the history.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "rename/undo.h"

namespace renaming::records {

const char* modeName(Mode mode);
std::optional<Mode> modeOf(const std::string& name);

std::string recordText(const UndoRecord& r);

// Reads whole lines one by one; any line not as written makes the whole text unreadable.
class LineReader {
public:
    explicit LineReader(const std::string& text);

    bool atEnd() const { return next_ == lines_.size(); }
    // The next line's fields; none when it has not this many.
    std::vector<std::string> line(std::size_t fieldCount);
    // A record as recordText wrote it.
    std::optional<UndoRecord> record();

private:
    bool entry(UndoRecord& r);
    bool pair(UndoRecord& r);

    std::vector<std::string> lines_;
    std::size_t next_ = 0;
};

// What precedes the digest that closes a text, and that digest; nothing when the text is not
// closed by the digest of what precedes it, torn or changed.
struct Closed {
    std::string body, digest;
};
std::optional<Closed> opened(platform::FileSystem& fs, std::string text);
// The line that closes a text whose body has this digest.
std::string closingLine(const std::string& digest);
// The body closed by its digest.
std::string closed(platform::FileSystem& fs, std::string body);

}  // namespace renaming::records
