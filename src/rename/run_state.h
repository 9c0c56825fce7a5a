#pragma once
// What a run on the worker thread and the window on its own thread share: how far the run is,
// the file at hand, and the user's wish to stop.
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <utility>

#include "rename/execute.h"

namespace renaming {

class RunState : public RunProgress {
public:
    void reached(std::size_t settled, const std::string& path) override
    {
        settled_ = settled;
        std::lock_guard<std::mutex> lock(mutex_);
        path_ = path;
    }
    // While the stop question is open the run waits here, before its next pair.
    bool stopRequested() override
    {
        std::unique_lock<std::mutex> lock(mutex_);
        answered_.wait(lock, [this] { return !asking_; });
        return stop_;
    }

    // On the window's thread: asks once, however many windows want to ask at the same time,
    // and not at all once a stop is under way. True when the run is to stop.
    bool askToStop(const std::function<bool()>& ask)
    {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (stop_ || asking_)
                return stop_;
            asking_ = true;
        }
        const bool yes = ask();
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stop_ = stop_ || yes;
            asking_ = false;
        }
        answered_.notify_all();
        return stop_;
    }
    std::size_t settled() const { return settled_; }
    // The pairs the run or undo is to settle: 0 until its lists are read.
    void setTotal(std::size_t total) { total_ = total; }
    std::size_t total() const { return total_; }
    // Set by the worker before it begins: how it has the window look at the run at once.
    void lookWith(std::function<void()> lookNow) { lookNow_ = std::move(lookNow); }
    // Every file is where the run leaves it; the lists and the record are still to be written,
    // seconds at a million entries.
    void engineEnded()
    {
        engineEnded_ = true;
        look();
    }
    bool hasEngineEnded() const { return engineEnded_; }
    // The original list names where each file now is, while the run's record is still written:
    // the window can show it meanwhile, from the lines written rather than read back and decoded
    // again (a million entries take a quarter of a second more).
    void listsWritten(std::string originalLines)
    {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            writtenOriginal_ = std::move(originalLines);
        }
        look();
    }
    // The lines once, the first time it is asked after the lists were written.
    std::optional<std::string> takeListsWritten()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return std::exchange(writtenOriginal_, std::nullopt);
    }
    std::string path() const
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return path_;
    }

private:
    void look() const
    {
        if (lookNow_)
            lookNow_();
    }
    std::function<void()> lookNow_;  // the worker's alone
    std::atomic<std::size_t> settled_{0};
    std::atomic<std::size_t> total_{0};
    std::atomic<bool> stop_{false};
    std::atomic<bool> engineEnded_{false};
    bool asking_ = false;  // guarded by mutex_, as is every change of stop_ while asking
    std::condition_variable answered_;
    mutable std::mutex mutex_;
    std::string path_;
    std::optional<std::string> writtenOriginal_;
};

}  // namespace renaming
