// The Execute command: the window locked while the session's run goes on the worker thread.
#include <optional>
#include <string>
#include <utility>

#include "app/main_window.h"
#include "app/progress_window.h"
#include "platform/errors.h"
#include "platform/trace.h"
#include "rename/run_state.h"

namespace {
// Often enough for the eye, seldom enough to cost the run nothing.
constexpr int refreshMs = 33;
}  // namespace

void TFrmMain::refreshMenu()
{
    for (const MenuCommand& c : menuCommands())
        (this->*c.item).setEnabled(c.available == Available::Always ||
                                   (!running_ && (c.available == Available::Idle || session_.canUndo())));
}

void TFrmMain::setRunning(bool running)
{
    running_ = running;
    refreshMenu();
}

void TFrmMain::lockOptions(bool locked)
{
    if (locked == !enabledBeforeRun_.empty())
        return;
    // Every option is seen to be locked, and afterwards each is as it was: some were disabled
    // by the options' own interplay.
    peer().changeTogether([&] {
        if (!locked) {
            for (auto [control, enabled] : enabledBeforeRun_)
                control->setEnabled(enabled);
            enabledBeforeRun_.clear();
            return;
        }
        for (platform::Control* c : lockedDuringRun()) {
            enabledBeforeRun_.emplace_back(c, c->enabled());
            c->setEnabled(false);
        }
    });
}

void TFrmMain::followRun(std::chrono::steady_clock::time_point started)
{
    renaming::RunState& run = *session_.run();
    if (frmProgress->peer().visible())
        frmProgress->refresh();
    else if (progressWorthShowing(run.settled(), run.total(), std::chrono::steady_clock::now() - started) &&
             !platform::progressWindowLeftOut())
        frmProgress->follow(run, *runTexts_, peer());
    // Locked at the first look, not at the command: lists that refuse the run do so before it,
    // and their notice comes without every option drawn greyed and drawn again. Unlocked once
    // every file is settled, while the lists and the record are written, unless the progress
    // window still stands for the run: a run over before the first look greys nothing. A click
    // meanwhile waits for the run's end, as every click during a run does.
    lockOptions(!run.hasEngineEnded() || frmProgress->peer().visible());
    // A million entries take the view a quarter of a second to show: spent while the worker
    // writes the record, not after it.
    if (auto written = run.takeListsWritten()) {
        try {
            showWritten(lists::ListPair::Original, std::move(*written));
            originalShownEarly_ = true;
            platform::trace("original-shown");
        } catch (...) {
            // Nothing may leave the look while the worker goes on (the heap may refuse a million
            // entries' view as well as the disk its list): loaded again once the run has ended,
            // which says why it cannot be.
        }
    }
}

void TFrmMain::carryOutRun(const texts::progress::RunTexts& says)
{
    runTexts_ = &says;
    originalShownEarly_ = false;
    // The files are handled on another thread, so the window keeps answering and can stop it.
    struct Running {
        TFrmMain& form;
        explicit Running(TFrmMain& f) : form(f) { form.setRunning(true); }
        ~Running()
        {
            form.frmProgress->finish();
            form.lockOptions(false);
            form.setRunning(false);
        }
    } running(*this);
    const auto started = std::chrono::steady_clock::now();
    ui().runInBackground(
        [&](const std::function<void()>& lookNow) {
            session_.run()->lookWith(lookNow);
            session_.carryOut();
        },
        [&] { followRun(started); }, refreshMs);
    platform::trace("window-back");
}

void TFrmMain::n_runClick()
{
    platform::trace("chosen");
    // A leftover run is settled, and said, before this run's journal exists.
    present(session_.settle());
    const auto mode = rbRename.checked() ? renaming::Mode::RenameInPlace : renaming::Mode::CopyToNewPath;
    const renaming::Shown prepared =
        session_.prepareRun(mode, renaming::newAttributes(cbReadonly.checked(), cbHidden.checked()), outputFolder);
    if (!session_.run()) {
        present(prepared);
        return;
    }
    carryOutRun(texts::progress::executing);
    // A close asked for during this run is for this run alone, even when it ends in an error.
    const bool closing = std::exchange(closeAfterRun_, false);
    renaming::RunEnd end = session_.finishRun();
    if (!end.started) {
        present(end.shown);
        if (closing)
            peer().close();
        return;
    }
    if (originalShownEarly_)
        end.shown.forgetLoads(lists::ListPair::Original);
    // The files have moved whatever happens to the lists: the user hears what was done before
    // why the lists are behind.
    std::exception_ptr behind = end.shown.failure;
    try {
        showEffects(end.shown);
        platform::trace("view-loaded");
    } catch (const platform::AppError&) {
        if (!behind)
            behind = std::current_exception();
    }
    if (closing) {
        // The user closed the window during the run and was asked already. A file left under a
        // temporary name keeps the window and its lists: the report below says where it is.
        if (!end.temporaryLeft) {
            peer().close();
            return;
        }
    }
    platform::trace("asked");
    if (ui().ask(end.question))
        os_.shell.execute("", "explorer", end.folder, "", platform::swShow);
    if (behind)
        std::rethrow_exception(behind);
}
