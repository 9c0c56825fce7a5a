#pragma once
// The progress of a run that lasts: what is being done, how far it is, and a safe stop. Created
// once with the main window and hidden; shown over it while a run goes.
#include <chrono>
#include <cstddef>

#include "platform/controls.h"
#include "platform/platform.h"
#include "app/texts.h"
#include "rename/run_state.h"

// Whether a run that has gone on this long, with this many of its pairs settled, is worth a
// progress window: not before half a second, nor while the run looks to end within a quarter of a
// second more (shown, it would only be taken away again), nor before the run's size is known.
bool progressWorthShowing(std::size_t settled, std::size_t total, std::chrono::steady_clock::duration elapsed);

class TfrmProgress : public platform::Form {
public:
    explicit TfrmProgress(const platform::Platform& os);

    platform::Label lbTitle;
    platform::ProgressBar pbRun;
    platform::Label lbCount;
    platform::Label lbFile;
    platform::Button btnStop;

    void FormCreate();
    void btnStopClick();
    bool FormCloseQuery();

    // Shows the window over the owner for a run (or an undo).
    void follow(renaming::RunState& run, const texts::progress::RunTexts& says, const platform::FormPeer& over);
    // Shows how far the run is now, when it was last shown long enough ago.
    void refresh();
    void finish();

private:
    void draw();
    renaming::RunState* run_ = nullptr;
    std::chrono::steady_clock::time_point drawn_;
    const char* stopQuestion_ = texts::progress::executing.stopQuestion;
};
