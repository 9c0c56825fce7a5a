#include "rename/rename_session.h"

#include <algorithm>

#include "lists/choose_files.h"
#include "lists/import_names.h"
#include "lists/messages.h"
#include "lists/names_decoding.h"
#include "lists/views.h"
#include "platform/errors.h"
#include "platform/line_breaks.h"
#include "platform/trace.h"
#include "rename/compose.h"
#include "rename/session_pending.h"
#include "rename/run_state.h"
#include "rename/undo_history.h"

namespace renaming {

using lists::ListPair;


void Shown::append(Shown&& later)
{
    effects.insert(effects.end(), std::make_move_iterator(later.effects.begin()),
                   std::make_move_iterator(later.effects.end()));
    if (!failure)
        failure = later.failure;
    refused = refused || later.refused;
}

void Shown::forgetLoads(ListPair pair)
{
    std::erase_if(effects, [&](const Effect& e) { return e.kind == Effect::Kind::LoadView && e.pair == pair; });
}

RenameSession::RenameSession(platform::FileSystem& fs) : fs_(fs), store_(fs) {}

RenameSession::~RenameSession() = default;

std::optional<std::string> RenameSession::viewText(ListPair pair, bool fullPaths) const
{
    using lists::ListFile;
    const bool original = pair == ListPair::Original;
    const ListFile pathFile = original ? ListFile::OriginalPaths : ListFile::NewPaths;
    const ListFile nameFile = original ? ListFile::OriginalNames : ListFile::NewNames;
    if (!store_.exists(pathFile))
        return std::nullopt;
    return lists::viewText(store_.text(fullPaths ? pathFile : nameFile));
}

Shown RenameSession::start()
{
    // Only a preview or an import makes lists the program did not write its own, and only as
    // shown now.
    Shown shown = guarded({}, [&](Shown& s) {
        store_.settle();
        s.load(ListPair::Original);
        s.load(ListPair::New);
        store_.noteShown();
        const std::string aside = store_.setAsideJournalBeside();
        if (aside.empty())
            return;
        std::string notice = messages::journalBesideNotice;
        notice += aside == "ThumbRun.db"
                      ? messages::journalBesideKept
                      : messages::journalBesideRenamedPrefix + aside + messages::journalBesideRenamedSuffix;
        s.notice(notice);
    });
    shown = guarded(std::move(shown), [&](Shown& s) { readUndoable(s); });
    if (!shown.failure)
        shown.append(recoverUnfinishedRun());
    return shown;
}

Shown RenameSession::settle()
{
    // What can be undone is read afresh: a history that can no longer be read is said so before
    // any question about it.
    return guarded(recoverUnfinishedRun(), [&](Shown& s) { readUndoable(s); });
}

Shown RenameSession::recoverUnfinishedRun()
{
    return guarded({}, [&](Shown& s) {
        const std::string journal = store_.journalPath();
        if (!fs_.fileExists(journal))
            return;
        const auto recovered = recover(fs_, journal);
        if (recovered)
            settleRecovered(*recovered, s);
        else
            endUndo(false);  // no whole plan, no file touched: an undo's run is still to undo
        // A journal left behind would settle its run again at every later command, over the
        // lists the user has made since.
        deleteJournal();
        if (recovered)
            s.notice(recoveryNotice(*recovered));
    });
}

void RenameSession::deleteJournal()
{
    const std::string journal = store_.journalPath();
    if (!fs_.fileExists(journal))
        return;
    if (auto code = fs_.deleteFile(journal))
        throw platform::IoError(static_cast<int>(code));
}

void RenameSession::dropNewList(Shown& shown)
{
    // A new list that cannot be deleted is an error, and is out of force all the same.
    shown.clear(ListPair::New);
    store_.removePair(ListPair::New);
}

std::optional<std::string> RenameSession::firstMissing(const std::string& listText) const
{
    const std::string first(platform::firstLine(std::string_view(listText)));
    if (fs_.fileExists(first))
        return std::nullopt;
    return messages::notFoundPrefix + lists::viewText(first) + messages::notFoundSuffix;
}

GivenFiles RenameSession::given(const std::vector<std::string>& paths) const
{
    GivenFiles result;
    const lists::Given given = lists::filesGiven(fs_, paths);
    if (given.tooMany) {
        result.shown.notice(messages::tooManyGiven);
        return result;
    }
    if (!given.missing.empty())
        result.shown.notice(lists::refusedNotice(messages::missingPathsHeading, given.missing));
    result.files = given.files;
    return result;
}

Shown RenameSession::open(const std::vector<std::string>& files)
{
    if (files.empty())
        return {.refused = true};
    return guarded(recoverUnfinishedRun(), [&](Shown& s) {
        dropNewList(s);
        store_.rewrite(ListPair::Original, files);
        s.clear(ListPair::Original);
        s.load(ListPair::Original);
    });
}

Shown RenameSession::add(const std::vector<std::string>& files)
{
    if (files.empty())
        return {.refused = true};
    return guarded(recoverUnfinishedRun(), [&](Shown& s) {
        dropNewList(s);
        if (!store_.appendOriginal(files)) {
            s.notice(messages::listsChanged);
            s.refused = true;
            return;
        }
        s.clear(ListPair::Original);
        s.load(ListPair::Original);
    });
}

Shown RenameSession::clear()
{
    return guarded(recoverUnfinishedRun(), [&](Shown& s) {
        s.clear(ListPair::Original);
        s.clear(ListPair::New);
        store_.removePair(ListPair::Original);
    });
}

Shown RenameSession::preview(const RenameOptions& options)
{
    return guarded(recoverUnfinishedRun(), [&](Shown& s) {
        const auto original = store_.readOriginal();
        platform::trace("original-read");
        if (!original) {
            s.notice(messages::listsChanged);
            return;
        }
        const std::string& originals = original->text;
        // A list without entries has nothing to preview, like a missing one.
        if (originals.empty())
            return;
        if (auto missing = firstMissing(originals)) {
            s.notice(*missing);
            return;
        }
        const bool outputFolderExists = !options.rbRename && fs_.folderExists(options.lbpath);
        // Composed whole before the new list is touched: a start number that is no number is
        // reported with the list as it was, so the list Execute acts on is the one the view shows.
        const std::string composed = composeList(originals, 0, options, outputFolderExists);
        platform::trace("composed");
        store_.rewriteNew(composed, *original);
        platform::trace("new-written");
        s.load(ListPair::New);
    });
}

Shown RenameSession::cancelPreview()
{
    return guarded({}, [&](Shown& s) { dropNewList(s); });
}

Shown RenameSession::importNames(const std::string& namesFile)
{
    return guarded(recoverUnfinishedRun(), [&](Shown& s) {
        if (!fs_.fileExists(namesFile))
            return;
        try {
            const auto names = lists::splitLines(lists::decodeNamesFile(fs_, fs_.readAll(namesFile)));
            const auto original = store_.readOriginal();
            if (!original) {
                s.notice(messages::listsChanged);
                return;
            }
            store_.rewriteNew(lists::joinLines(lists::importedPaths(lists::splitLines(original->text), names)),
                              *original);
            s.load(ListPair::New);
        } catch (const platform::AppError&) {
            // An import that fails says nothing; what was written stays.
        }
    });
}

void RenameSession::close()
{
    for (lists::ListFile file : lists::allListFiles)
        store_.remove(file);
}

}  // namespace renaming
