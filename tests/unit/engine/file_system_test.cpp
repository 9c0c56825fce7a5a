// Sequences of file operations at once: every one always runs to its end, and the caller hears
// the failure of the lowest-numbered, whichever order they ran in.
#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>

#include "platform/headless/headless_fs.h"

namespace {

TEST(FileSystem, TogetherRunsBothAndThrowsTheFirstFailure)
{
    const struct {
        bool firstFails, secondFails;
        const char* thrown;  // nullptr: nothing
    } cases[] = {{false, false, nullptr}, {true, false, "first"}, {false, true, "second"}, {true, true, "first"}};
    for (const auto& c : cases) {
        platform::headless::HeadlessFileSystem fs;
        bool firstRan = false, secondRan = false;
        std::string thrown;
        try {
            fs.together(
                [&] {
                    firstRan = true;
                    if (c.firstFails)
                        throw std::runtime_error("first");
                },
                [&] {
                    secondRan = true;
                    if (c.secondFails)
                        throw std::runtime_error("second");
                });
        } catch (const std::runtime_error& e) {
            thrown = e.what();
        }
        EXPECT_TRUE(firstRan && secondRan);
        EXPECT_EQ(thrown, c.thrown ? c.thrown : "");
    }
}

TEST(FileSystem, AtOnceRunsEveryOneAndThrowsTheLowestNumberedFailure)
{
    const struct {
        std::vector<std::size_t> order;  // none: the volume's own
        std::vector<std::size_t> failing;
        const char* thrown;
    } cases[] = {{{}, {}, ""}, {{}, {3, 1}, "1"}, {{4, 3, 2, 1, 0}, {3, 1}, "1"}, {{2, 0, 4, 1, 3}, {4}, "4"},
                 {{1, 0, 2, 3, 4}, {0, 1, 2, 3, 4}, "0"}};
    for (const auto& c : cases) {
        platform::headless::HeadlessFileSystem fs;
        if (!c.order.empty())
            fs.atOnceOrder = [&](std::size_t) { return c.order; };
        std::vector<std::size_t> ran;
        std::string thrown;
        try {
            fs.atOnce(5, [&](std::size_t k) {
                ran.push_back(k);
                if (std::count(c.failing.begin(), c.failing.end(), k))
                    throw std::runtime_error(std::to_string(k));
            });
        } catch (const std::runtime_error& e) {
            thrown = e.what();
        }
        const std::vector<std::size_t> inOrder = {0, 1, 2, 3, 4};
        EXPECT_EQ(ran, c.order.empty() ? inOrder : c.order);
        EXPECT_EQ(thrown, c.thrown);
    }
}

}  // namespace
