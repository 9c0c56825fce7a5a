#pragma once
// The four list files beside the program: the original list (ThumbPath.db, ThumbName.db) and the
// new list (Thumb1Path.db, Thumb1Name.db). Text in the system's ANSI code page where it holds
// every entry of the pair (else as list_encoding.h says), CR LF after every line; nothing is kept
// in memory between actions.
//
// A pair is written into temporary files first (flushed to the disk), then its digests are
// recorded in the program's private folder (lists/list_record.h), then the temporaries are moved
// over the old files. The record is the commit point: a process killed before it leaves the old
// pair in force, one killed after it has the replacement finished by the next action, and a
// failure undoes it. The program acts only on lists whose digests it recorded, so lists another
// program wrote or swapped are never executed.
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "lists/list_encoding.h"
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
// The name part of every line, each followed by CR LF: a name file's text.
std::string namePartLines(std::string_view lines);

// A list file's text and the digest of the bytes it was read from.
struct ListRead {
    bool present = false;
    std::string text;
    std::string digest;
};

// What Execute may pair: the original and the new list, when the new list was made from that
// original list and both are as the program wrote them.
struct RunLists {
    enum class State { Ready, NoPreview, Changed } state;
    // Both lists' text, for the run to split: the originals straight into its pairs (at a million
    // entries a list of strings between them costs a fifth of a second of fresh memory), the new
    // list while it looks up the originals.
    std::string originals;
    std::string targets;
};

struct ListRecord;


class ListStore {
public:
    explicit ListStore(platform::FileSystem& fs);

    // The program file's folder followed by the file name.
    std::string pathOf(ListFile file) const;
    bool exists(ListFile file) const;
    std::vector<std::string> read(ListFile file) const;
    // The file's text decoded, as a view shows it.
    std::string text(ListFile file) const;

    // At start, before anything shows the lists: finishes a pair's replacement that was
    // recorded, removes temporaries of one that was not, and makes a pair whose name file does
    // not follow its path file whole again.
    void settle() const;
    // Notes the lists as the views show them at start: a preview or an import may build on
    // exactly these, though the program did not write them.
    void noteShown();

    // Replaces both files of the pair with the paths and their name parts. The new list is then
    // no longer paired with any original list.
    void rewrite(ListPair pair, const std::vector<std::string>& paths) const;
    // The original list, when it is as the program wrote it or as it was shown at start;
    // nothing when another program has changed it since.
    std::optional<ListRead> readOriginal() const;
    // Writes the new list made from that original list, which becomes the program's own; lines
    // as joinLines gives them, every entry followed by CR LF.
    void rewriteNew(const std::string& lines, const ListRead& madeFrom) const;
    // Adds to the end of the original pair; creates it when ThumbPath.db is missing. False, and
    // nothing written, when another program has changed the original list.
    bool appendOriginal(const std::vector<std::string>& paths) const;
    RunLists readForRun() const;
    // After a run: the original list names where the files are, and the new list stays paired
    // with it. Returns the lines written, as joinLines gives them.
    std::string rewriteAfterRun(const std::vector<std::string>& paths) const;
    // Silent: for the window's close.
    void remove(ListFile file) const;
    // The pair is absent from then on; a file that cannot be deleted throws IoError.
    void removePair(ListPair pair) const;
    // The run journal lies in the program's private folder.
    std::string journalPath() const;
    // A run journal beside the program, where older versions kept it and any program of the user
    // can put one, is never acted on: it is moved aside. The name it now has; empty when there
    // was none, the old name when it could not be moved.
    std::string setAsideJournalBeside() const;

private:
    using PairBytes = EncodedPair;
    std::string decode(const std::string& bytes) const;
    PairBytes encodePair(const std::string& pathLines) const;
    // Writes the pair and records it with the rest of the record as given; after a run the new
    // list follows the original list written.
    void commit(ListPair pair, const PairBytes& bytes, ListRecord next, bool newListFollows = false) const;
    // Before every use: finishes a pair's replacement that was recorded, removes temporaries of
    // one that was not. Within one process nothing else can tear a pair: a failed write is
    // undone, and lists another program changes are refused by their digests.
    void finishReplacements() const;
    // Writes the pair's temporary files; on failure removes them and throws.
    void writeTemporaries(ListPair pair, const PairBytes& bytes) const;
    void removeTemporaries(ListPair pair) const;
    // After a failed commit the old path file is still in force: its name file must follow it.
    void restoreNames(ListPair pair) const;
    bool belongTogether(ListPair pair) const;
    // "" when the file is absent.
    std::string digestOf(const std::string& path) const;
    std::string recordPath() const;
    // Nothing when no record was written whole.
    std::optional<ListRecord> loadRecord() const;
    void saveRecord(const ListRecord& record) const;
    platform::FileSystem& fs_;
    std::string folder_;
    // The digests of the lists the views showed at start; forgotten once the program writes the
    // pair.
    mutable std::map<ListFile, std::string> shown_;
};

}  // namespace lists
