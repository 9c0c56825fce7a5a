// The Execute command and the settling of a run that did not end.
#include <optional>

#include "app/main_window.h"
#include "lists/messages.h"
#include "app/progress_window.h"
#include "app/texts.h"
#include "platform/errors.h"
#include "platform/trace.h"
#include "rename/execute.h"
#include "rename/journal.h"
#include "rename/run_state.h"

namespace {
// Often enough for the eye, seldom enough to cost the run nothing.
constexpr int refreshMs = 33;
// A run shorter than this shows no progress window.
constexpr auto quietRun = std::chrono::milliseconds(500);
}  // namespace

void TFrmMain::setRunning(renaming::RunState* run)
{
    run_ = run;
    for (const MenuCommand& c : menuCommands())
        if (!c.duringRun)
            (this->*c.item).setEnabled(!run);
    // Every option is seen to be locked, and afterwards each is as it was: some were disabled
    // by the options' own interplay.
    if (!run) {
        for (auto [control, enabled] : enabledBeforeRun_)
            control->setEnabled(enabled);
        enabledBeforeRun_.clear();
        return;
    }
    for (platform::Control* c : lockedDuringRun()) {
        enabledBeforeRun_.emplace_back(c, c->enabled());
        c->setEnabled(false);
    }
}

void TFrmMain::followRun(std::size_t total, std::chrono::steady_clock::time_point started)
{
    if (frmProgress->peer().visible())
        frmProgress->refresh();
    else if (std::chrono::steady_clock::now() - started >= quietRun && !platform::progressWindowLeftOut())
        frmProgress->follow(*run_, total, peer());
}

void TFrmMain::recoverUnfinishedRun()
{
    const std::string journal = store_.journalPath();
    if (!os_.fs.fileExists(journal))
        return;
    const auto recovered = renaming::recover(os_.fs, journal);
    if (recovered) {
        // As after a run: the original list names where each file is, the new list stays.
        store_.rewriteAfterRun(recovered->where);
        loadView(mmOriginal, lists::ListPair::Original, cbShowpathO.checked());
    }
    // A journal left behind would settle its run again at every later command, over the lists
    // the user has made since.
    if (auto code = os_.fs.deleteFile(journal))
        throw platform::IoError(static_cast<int>(code));
    if (recovered)
        ui().notice(renaming::recoveryNotice(*recovered));
}

void TFrmMain::setAsideJournalBeside()
{
    const std::string aside = store_.setAsideJournalBeside();
    if (aside.empty())
        return;
    std::string notice = texts::journalBesideNotice;
    notice += aside == "ThumbRun.db" ? texts::journalBesideKept
                                     : texts::journalBesideRenamedPrefix + aside + texts::journalBesideRenamedSuffix;
    ui().notice(notice);
}

void TFrmMain::n_runClick()
{
    platform::trace("chosen");
    recoverUnfinishedRun();
    const lists::RunLists toRun = store_.readForRun();
    platform::trace("lists-read");
    if (toRun.state == lists::RunLists::State::Changed) {
        ui().notice(messages::listsChanged);
        return;
    }
    const std::vector<std::string>& originals = toRun.originals;
    const std::vector<std::string>& targets = toRun.targets;
    if (toRun.state == lists::RunLists::State::NoPreview || originals.empty()) {
        ui().notice(texts::noPreview);
        mmRenamed.clear();
        return;
    }
    if (!os_.fs.fileExists(originals.front())) {
        ui().notice(notFoundNotice(originals.front()));
        return;
    }
    std::vector<renaming::Pair> pairs;
    for (std::size_t i = 0; i < std::min(originals.size(), targets.size()); ++i)
        pairs.push_back({originals[i], targets[i]});
    const auto mode = rbRename.checked() ? renaming::Mode::RenameInPlace : renaming::Mode::CopyToNewPath;
    const std::string journalPath = store_.journalPath();
    const std::uint32_t attributes = renaming::newAttributes(cbReadonly.checked(), cbHidden.checked());
    std::vector<renaming::PairResult> results;
    bool journalBroken = false;
    {
        // The files are handled on another thread, so the window keeps answering and can stop it.
        renaming::RunJournal journal(os_.fs, journalPath, mode, pairs);
        renaming::RunState state;
        struct Running {
            TFrmMain& form;
            Running(TFrmMain& f, renaming::RunState& s) : form(f) { form.setRunning(&s); }
            ~Running()
            {
                form.frmProgress->finish();
                form.setRunning(nullptr);
            }
        } running(*this, state);
        const auto started = std::chrono::steady_clock::now();
        platform::trace("engine");
        ui().runInBackground(
            [&] {
                results = renaming::execute(os_.fs, pairs, mode, attributes, &journal, &state);
                platform::trace("engine-ended");
            },
            [&] { followRun(pairs.size(), started); }, refreshMs);
        platform::trace("window-back");
        journalBroken = journal.broken();
    }
    platform::trace("run-closed");

    // The original list now names where each file is. The files have moved whatever happens to
    // the lists: if they cannot be written, the user still hears what was done, then why the
    // lists are behind, and the journal stays for the next start to settle them. A journal that
    // broke down part-way stays too: the recovery puts back what the run could not.
    std::vector<std::string> where;
    where.reserve(pairs.size());
    for (const auto& r : results)
        where.push_back(r.at);
    std::optional<platform::IoError> listsBehind;
    try {
        store_.rewriteAfterRun(where);
        platform::trace("lists-written");
        loadView(mmOriginal, lists::ListPair::Original, cbShowpathO.checked());
        platform::trace("view-loaded");
        if (!journalBroken)
            if (auto code = os_.fs.deleteFile(journalPath))
                throw platform::IoError(static_cast<int>(code));
        platform::trace("journal-deleted");
    } catch (const platform::IoError& e) {
        listsBehind = e;
    }

    if (closeAfterRun_) {
        // The user closed the window during the run and was asked already. A file left under a
        // temporary name keeps the window and its lists: the report below says where it is.
        closeAfterRun_ = false;
        if (!renaming::temporaryLeft(pairs, results)) {
            peer().close();
            return;
        }
    }
    const std::string folder = renaming::folderToOpen(pairs, results, outputFolder);
    platform::trace("asked");
    if (ui().ask(renaming::completionQuestion(os_.fs, pairs, results, folder)))
        os_.shell.execute("", "explorer", folder, "", platform::swShow);
    if (listsBehind)
        throw *listsBehind;
}
