#include <gtest/gtest.h>

#include "lists/path_parts.h"

namespace {

struct PartsCase {
    const char* path;
    const char* folder;
    const char* name;
    const char* extension;
};

class PathParts : public testing::TestWithParam<PartsCase> {};

TEST_P(PathParts, SplitsAtLastSeparatorAndLastDot)
{
    const PartsCase& c = GetParam();
    EXPECT_EQ(lists::folderPart(c.path), c.folder);
    EXPECT_EQ(lists::namePart(c.path), c.name);
    EXPECT_EQ(lists::extensionOf(c.path), c.extension);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PathParts,
    testing::Values(PartsCase{"C:\\pics\\a.jpg", "C:\\pics\\", "a.jpg", ".jpg"},
                    PartsCase{"C:\\pics\\archive.tar.gz", "C:\\pics\\", "archive.tar.gz", ".gz"},
                    PartsCase{"C:\\pics\\README", "C:\\pics\\", "README", ""},
                    PartsCase{"C:\\home\\.profile", "C:\\home\\", ".profile", ".profile"},
                    PartsCase{"C:\\dir.d\\noext", "C:\\dir.d\\", "noext", ""},
                    PartsCase{"C:file.txt", "C:", "file.txt", ".txt"},
                    PartsCase{"name.", "", "name.", "."},
                    PartsCase{"", "", "", ""},
                    // 淺 is 9C 5C in GBK; in UTF-8 it has no byte that could be taken for "\".
                    PartsCase{"D:\\照片\\淺.jpg", "D:\\照片\\", "淺.jpg", ".jpg"},
                    PartsCase{"D:\\淺\\淺", "D:\\淺\\", "淺", ""}),
                         [](const auto& info) { return std::to_string(info.index); });

}  // namespace
