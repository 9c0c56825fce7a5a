// Reading and writing whole files, and appending to one.
#include "platform/headless/headless_fs.h"

#include "platform/errors.h"
#include "platform/headless/headless_fs_names.h"

namespace platform::headless {

std::string HeadlessFileSystem::readAll(const std::string& path)
{
    if (auto code = injected(Op::Read, path))
        throw IoError(static_cast<int>(code));
    auto it = files_.find(fold(path));
    if (it == files_.end())
        throw IoError(2);
    return it->second.node->bytes;
}

void HeadlessFileSystem::writeAll(const std::string& path, const std::string& bytes)
{
    if (!parentExists(path))
        throw IoError(3);
    auto it = files_.find(fold(path));
    if (it != files_.end() && (it->second.node->attributes & attr::readOnly))
        throw IoError(5);
    if (it == files_.end())
        it = files_.emplace(fold(path), File{path, newNode("", attr::archive)}).first;
    Node& node = *it->second.node;
    node.written = ++stamps_;
    if (auto code = injected(Op::Write, path)) {
        node.bytes = bytes.substr(0, bytes.size() / 2);
        throw IoError(static_cast<int>(code));
    }
    node.bytes = bytes;
}

class HeadlessFileSystem::AppendOnly : public AppendOnlyFile {
public:
    AppendOnly(HeadlessFileSystem& fs, std::string path) : fs_(fs), path_(std::move(path)) {}
    std::uint32_t write(const std::string& bytes) override
    {
        if (auto code = fs_.injected(Op::Append, path_))
            return code;
        auto it = fs_.files_.find(fold(path_));
        if (it == fs_.files_.end())
            return err::fileNotFound;
        it->second.node->bytes += bytes;
        it->second.node->written = ++fs_.stamps_;
        return err::ok;
    }
    std::uint32_t flush() override { return fs_.injected(Op::Flush, path_); }

private:
    HeadlessFileSystem& fs_;
    std::string path_;
};

std::unique_ptr<AppendOnlyFile> HeadlessFileSystem::openAppendOnly(const std::string& path, bool keep)
{
    if (!keep || !fileExists(path))
        writeAll(path, "");
    return std::make_unique<AppendOnly>(*this, path);
}

}  // namespace platform::headless
