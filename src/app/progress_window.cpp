#include "app/progress_window.h"

#include "app/control_ids.h"
#include "app/texts.h"
#include "lists/path_parts.h"

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
    refresh();
    peer().centreOver(over);
    show();
}

void TfrmProgress::refresh()
{
    if (!run_)
        return;
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
