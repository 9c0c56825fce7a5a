#pragma once
// What the menu offers, without a window: the list store and the run going on, and for each
// command what the window is to show, as plain values. Every command that reads or writes the
// lists settles a run a killed process left behind first, so no command ever builds on lists
// that do not say where the files are.
#include <cstdint>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "lists/list_store.h"
#include "platform/file_system.h"
#include "rename/execute.h"
#include "rename/rename_options.h"
#include "rename/undo.h"

namespace renaming {

class RunState;

// One thing the window shows, in the order the command did it.
struct Effect {
    enum class Kind { LoadView, ClearView, Notice } kind;
    lists::ListPair pair = lists::ListPair::Original;  // the view of LoadView and ClearView
    std::string text;                                    // the notice
};

// What a command asks the window to show, and the error that ended it, if any: the window
// shows the effects first, then the error, as they happened.
struct Shown {
    std::vector<Effect> effects;
    std::exception_ptr failure;
    // The command changed nothing (no files, or lists it may not build on): what the window
    // keeps beside the lists stays as it is.
    bool refused = false;

    void load(lists::ListPair pair) { effects.push_back({Effect::Kind::LoadView, pair, {}}); }
    void clear(lists::ListPair pair) { effects.push_back({Effect::Kind::ClearView, pair, {}}); }
    void notice(std::string text) { effects.push_back({Effect::Kind::Notice, {}, std::move(text)}); }
    void append(Shown&& later);
    // The view was loaded since this was decided: loading it again would show the same.
    void forgetLoads(lists::ListPair pair);
};

// Files given from outside the file dialog, and the notices about those refused.
struct GivenFiles {
    std::vector<std::string> files;
    Shown shown;
};

// What the window does when a run has ended.
struct RunEnd {
    // False: the lists refused the run before any file was touched, and shown says why.
    bool started = false;
    Shown shown;           // the original view to load again; failure: the lists are behind
    bool temporaryLeft = false;
    std::string question;  // the completion question
    std::string folder;    // what 是 opens
    // The run's record, on the history already: freeing a million entries' strings takes the heap
    // a tenth of a second, which is spent after the question, not before it.
    std::optional<UndoRecord> record;
};

class RenameSession {
public:
    explicit RenameSession(platform::FileSystem& fs);
    ~RenameSession();

    lists::ListStore& store() { return store_; }
    const lists::ListStore& store() const { return store_; }

    // A list as its view shows it (full paths or names); nothing when its path file is missing.
    std::optional<std::string> viewText(lists::ListPair pair, bool fullPaths) const;

    // When the window first shows: lists left behind are made whole and both views loaded
    // before anything acts on them, a journal beside the program is set aside, a leftover
    // run settled.
    Shown start();
    // The common first step on its own, for a command that asks the user something first; the
    // history read again.
    Shown settle();

    GivenFiles given(const std::vector<std::string>& paths) const;
    // Open and add change nothing when there are no files.
    Shown open(const std::vector<std::string>& files);
    Shown add(const std::vector<std::string>& files);
    Shown clear();
    Shown preview(const RenameOptions& options);
    Shown cancelPreview();
    Shown importNames(const std::string& namesFile);
    // On close: the four lists go.
    void close();

    // A run is prepared on the window's thread, carried out on the worker (its lists read and
    // checked, its journal made durable, the files, then the lists and the history written) and
    // finished on the window's thread again. Not prepared, the Shown says why not.
    // outputFolder: what the question offers to open when no pair was carried out.
    Shown prepareRun(Mode mode, std::uint32_t attributes, const std::string& outputFolder);
    // The run between prepareRun and finishRun; nullptr otherwise.
    RunState* run() const { return state_.get(); }
    void carryOut();
    // Throws what the engine raised on the worker, the run no longer pending.
    RunEnd finishRun();

    // Whether a run can be undone: the history holds one.
    bool canUndo() const { return undoable_ > 0; }
    // The question before the undo of the newest run; nothing when there is none.
    std::optional<std::string> undoQuestion();
    // An undo goes as a run does: prepared, carried out on the worker (the run taken off the
    // history before any file is touched), finished with the lists as after that run's preview.
    Shown prepareUndo();
    Shown finishUndo();

private:
    struct Pending;
    // After the engine: the lists and the history written, the journal gone, the question.
    // Each pair's new path from the new list's text.
    static void takeTargets(Pending& p);
    // The run's pairs from the lists; false, and the end saying why, when the lists refuse it.
    bool readPairs(Pending& p);
    RunEnd closeRun(Pending& p);
    // The record taken off the history and its files moved back, on the worker.
    void carryOutUndo(Pending& p);
    // After the undo's files, on the worker too: a million entries' lists take the window longer
    // to write than it may go without answering.
    Shown closeUndo(Pending& p);
    // The original list and the run's record, written at once: neither needs the other.
    void writeListsAndRecord(const std::vector<std::string>& places, const std::optional<UndoRecord>& record,
                             Shown& shown);
    // Recovers a leftover run into the lists; the notice and the view it changed.
    Shown recoverUnfinishedRun();
    // The lists after a recovered run or undo, and the run's place in the history.
    void settleRecovered(const Recovered& recovered, Shown& shown);
    // Reads the history, and says when it had to be set aside.
    void readUndoable(Shown& shown);
    // recoveredFrom: the plan of the journal a recovery settled. shown: what had to be set aside.
    void addToHistory(const std::optional<UndoRecord>& record, Shown& shown, const RunPlan* recoveredFrom = nullptr);
    // The undo under way has ended; not undone: it took nothing back, and its run is to undo still;
    // rest: what it left to undo later.
    void endUndo(bool undone, const std::optional<UndoRecord>& rest = std::nullopt);
    // After an undo: the files where they now are, the undone run's new list paired with them.
    bool writeListsAfterUndo(const std::vector<std::string>& where, const std::vector<std::string>& targets);
    const std::string& historyPath();
    // Throws IoError when it stays.
    void deleteJournal();
    // Before the original list changes: its old pairs must never meet the new entries.
    void dropNewList(Shown& shown);
    // "没有找到文件 ..." when the file on the list text's first line is gone; nothing while it is there.
    std::optional<std::string> firstMissing(const std::string& listText) const;

    platform::FileSystem& fs_;
    lists::ListStore store_;
    std::unique_ptr<Pending> pending_;
    std::unique_ptr<RunState> state_;
    std::string historyPath_;
    std::size_t undoable_ = 0;
};

}  // namespace renaming
