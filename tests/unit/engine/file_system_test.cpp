// Two sequences of file operations at once: both always run to their end, and the caller hears
// the first one's failure before the second's.
#include <gtest/gtest.h>

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

}  // namespace
