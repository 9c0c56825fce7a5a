#pragma once
// The four list files beside the program: the original list (ThumbPath.db, ThumbName.db) and the
// new list (Thumb1Path.db, Thumb1Name.db). Text in the system's ANSI code page where it holds
// every entry of the pair (else as list_encoding.h says), CR LF after every line; nothing is kept
// in memory between actions. A pair is written into temporary files first and then moved over
// the old one, so a failure or a killed process leaves one whole pair in force, never a cut one. The path file is the pair's commit point: it is replaced last and
// deleted first.
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace lists {

enum class ListFile { OriginalPaths, OriginalNames, NewPaths, NewNames };

enum class ListPair { Original, New };

// The file names, in the order the window's close deletes them.
constexpr ListFile allListFiles[] = {ListFile::OriginalPaths, ListFile::OriginalNames, ListFile::NewPaths,
                                     ListFile::NewNames};

const char* fileName(ListFile file);

// Splits text at CR LF, lone CR and lone LF; a final line break ends the last entry, an empty
// line inside is an empty entry; nothing is trimmed.
std::vector<std::string> splitLines(const std::string& text);
// Every entry followed by CR LF.
std::string joinLines(const std::vector<std::string>& entries);

class ListStore {
public:
    explicit ListStore(platform::FileSystem& fs);

    // The program file's folder followed by the file name.
    std::string pathOf(ListFile file) const;
    bool exists(ListFile file) const;
    std::vector<std::string> read(ListFile file) const;
    // The file's text decoded, as a view shows it.
    std::string text(ListFile file) const;

    // Replaces both files of the pair with the paths and their name parts.
    void rewrite(ListPair pair, const std::vector<std::string>& paths) const;
    // Adds to the end of the original pair; creates it when ThumbPath.db is missing.
    void appendOriginal(const std::vector<std::string>& paths) const;
    void remove(ListFile file) const;
    void removePair(ListPair pair) const;
    // The run journal lies beside the lists.
    std::string journalPath() const;

private:
    // Writes the pair's temporary files; on failure removes them and throws.
    void writeTemporaries(ListPair pair, const std::vector<std::string>& paths) const;
    void removeTemporaries(ListPair pair) const;
    // After a failed commit the old path file is still in force: its name file must follow it.
    void restoreNames(ListPair pair) const;
    platform::FileSystem& fs_;
    std::string folder_;
};

}  // namespace lists
