#pragma once
// The four list files beside the program: the original list (ThumbPath.db, ThumbName.db) and the
// new list (Thumb1Path.db, Thumb1Name.db). Text in the system's ANSI code page, CR LF after every
// line; nothing is kept in memory between actions.
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

    // Creates or empties both files of the pair and writes the paths and their name parts.
    void rewrite(ListPair pair, const std::vector<std::string>& paths) const;
    // Adds to the end of the original pair; creates it when ThumbPath.db is missing.
    void appendOriginal(const std::vector<std::string>& paths) const;
    void remove(ListFile file) const;
    void replaceWithCopy(ListFile target, ListFile source) const;

private:
    void write(ListFile file, const std::vector<std::string>& entries, bool append) const;
    platform::FileSystem& fs_;
    std::string folder_;
};

}  // namespace lists
