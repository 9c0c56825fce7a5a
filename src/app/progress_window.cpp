#include "app/progress_window.h"

#include <algorithm>

#include "app/control_ids.h"
#include "app/texts.h"
#include "lists/path_parts.h"

namespace {
constexpr std::chrono::milliseconds quietRun{500};
constexpr std::chrono::milliseconds nearlyEnded{250};
// Past this a run shows its window whatever it looks like: what follows the last file (the lists
// and the history of a million pairs) takes seconds that no count foretells.
constexpr std::chrono::milliseconds longRun{1000};
// As often as an eye follows a count: each drawing takes its share of the cores the run works on.
constexpr std::chrono::milliseconds redrawEvery{100};
}  // namespace

bool progressWorthShowing(std::size_t settled, std::size_t total, std::chrono::steady_clock::duration elapsed)
{
    if (total == 0 || elapsed < quietRun)
        return false;
    if (settled == 0 || elapsed >= longRun)
        return true;
    // At the pace so far; the time before the first file makes the pace look slower, never faster.
    const auto remaining = elapsed * static_cast<double>(total - std::min(settled, total)) / static_cast<double>(settled);
    return remaining >= nearlyEnded;
}

TfrmProgress::TfrmProgress(const platform::Platform& os)
    : Form(os.ui, platform::FormBorder::Dialog, "TfrmProgress", false),
      lbTitle(*this, nullptr, {12, 12, 336, 16}, ids::lbTitle),
      pbRun(*this, nullptr, {12, 34, 336, 18}, ids::pbRun),
      lbCount(*this, nullptr, {12, 60, 336, 16}, ids::lbCount),
      lbFile(*this, nullptr, {12, 80, 336, 16}, ids::lbFile),
      btnStop(*this, nullptr, {142, 104, 75, 25}, ids::btnStop)
{
    setDesignClientSize({360, 140});
    lbFile.setEllipsis(platform::Ellipsis::Middle);
    btnStop.makeDefault();
    btnStop.onClick = [this] { btnStopClick(); };
    onCloseQuery = [this] { return FormCloseQuery(); };
    FormCreate();
}

void TfrmProgress::FormCreate()
{
    setCaption(texts::applicationTitle);
    btnStop.setText(texts::progress::stop);
}

void TfrmProgress::follow(renaming::RunState& run, const texts::progress::RunTexts& says,
                          const platform::FormPeer& over)
{
    run_ = &run;
    stopQuestion_ = says.stopQuestion;
    lbTitle.setText(says.title);
    btnStop.setEnabled(true);
    draw();
    peer().centreOver(over);
    show();
}

void TfrmProgress::refresh()
{
    if (std::chrono::steady_clock::now() - drawn_ >= redrawEvery)
        draw();
}

void TfrmProgress::draw()
{
    if (!run_)
        return;
    drawn_ = std::chrono::steady_clock::now();
    const std::size_t done = run_->settled(), total = run_->total();
    // The bar counts in thousandths, so that any number of pairs fits its range.
    pbRun.setProgress(total ? static_cast<int>(done * 1000 / total) : 0, 1000);
    lbCount.setText(texts::progress::countPrefix + std::to_string(done) + texts::progress::countSeparator +
                    std::to_string(total));
    lbFile.setText(lists::namePart(run_->path()));
}

void TfrmProgress::finish()
{
    run_ = nullptr;
    peer().hide();
}

void TfrmProgress::btnStopClick()
{
    if (run_ && run_->askToStop([this] { return ui().ask(stopQuestion_); }))
        btnStop.setEnabled(false);
}

bool TfrmProgress::FormCloseQuery()
{
    // Closing the window is asking to stop: it goes when the run has ended.
    btnStopClick();
    return !run_;
}
