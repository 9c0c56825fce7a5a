// When a run is worth a progress window: long enough, known in size, and not about to end.
#include <gtest/gtest.h>

#include <chrono>

#include "app/progress_window.h"

namespace {

using std::chrono::milliseconds;

struct Moment {
    std::size_t settled, total;
    milliseconds elapsed;
    bool shown;
};

TEST(ProgressWindow, ShowsForRunsThatLastAndNotForOnesAboutToEnd)
{
    const Moment moments[] = {
        {0, 0, milliseconds(3000), false},       // the lists still read: nothing to count yet
        {0, 1000, milliseconds(499), false},     // too short to show anything
        {0, 1000, milliseconds(500), true},      // no file moved yet: the end cannot be foretold
        {900, 1000, milliseconds(550), false},   // some 60 ms to go
        {500, 1000, milliseconds(550), true},    // as long again to go
        {700, 1000, milliseconds(600), true},    // 257 ms to go
        {1000, 1000, milliseconds(600), false},  // every file settled, the lists about to be written
        {1000, 1000, milliseconds(1000), true},  // the lists and the history of a long run take seconds
        {1200, 1000, milliseconds(700), false},  // a count past the total foretells no time left
    };
    for (const Moment& m : moments)
        EXPECT_EQ(progressWorthShowing(m.settled, m.total, m.elapsed), m.shown)
            << m.settled << "/" << m.total << " after " << m.elapsed.count() << " ms";
}

}  // namespace
