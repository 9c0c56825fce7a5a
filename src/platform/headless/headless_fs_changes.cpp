// What changes the volume: deleting, moving, replacing and copying files, attributes, folders.
#include "platform/headless/headless_fs.h"

#include "platform/headless/headless_fs_names.h"

namespace platform::headless {

std::uint32_t HeadlessFileSystem::deleteFile(const std::string& path)
{
    if (auto code = injected(Op::Delete, path))
        return code;
    auto it = files_.find(fold(path));
    if (it == files_.end())
        return err::fileNotFound;
    if (it->second.node->attributes & attr::readOnly)
        return err::accessDenied;
    files_.erase(it);
    return err::ok;
}

std::uint32_t HeadlessFileSystem::recycle(const std::string& path)
{
    if (auto code = injected(Op::Recycle, path))
        return code;
    auto it = files_.find(fold(path));
    if (it == files_.end())
        return err::fileNotFound;
    recycled.emplace_back(it->second.name, it->second.node->bytes);
    files_.erase(it);
    return err::ok;
}

void HeadlessFileSystem::relocate(std::map<std::string, File>::iterator it, const std::string& name)
{
    File moved = std::move(it->second);
    moved.name = name;
    files_.erase(it);
    files_[fold(name)] = std::move(moved);
}

std::uint32_t HeadlessFileSystem::moveFile(const std::string& from, const std::string& to)
{
    if (auto code = injected(Op::Move, from))
        return code;
    auto it = files_.find(fold(from));
    if (it == files_.end())
        return err::fileNotFound;
    if (!parentExists(to))
        return err::pathNotFound;
    if (fold(from.substr(0, 2)) != fold(to.substr(0, 2)))
        return err::notSameDevice;
    bool sameFile = fold(from) == fold(to);
    if (!sameFile && (files_.count(fold(to)) || folders_.count(fold(to))))
        return err::alreadyExists;
    relocate(it, upperCaseNames ? upperCase(to) : to);
    return err::ok;
}

std::uint32_t HeadlessFileSystem::moveFileWithAttributes(const std::string& from, const std::string& to,
                                                         std::uint32_t attributes)
{
    const std::uint32_t code = moveFile(from, to);
    if (code == err::ok)
        setAttributes(to, attributes);
    return code;
}

std::uint32_t HeadlessFileSystem::replaceFile(const std::string& from, const std::string& to)
{
    if (auto code = injected(Op::Replace, to))
        return code;
    auto it = files_.find(fold(from));
    if (it == files_.end())
        return err::fileNotFound;
    auto target = files_.find(fold(to));
    if (target != files_.end() && (target->second.node->attributes & attr::readOnly))
        return err::accessDenied;
    relocate(it, to);
    return err::ok;
}

std::uint32_t HeadlessFileSystem::copyFile(const std::string& from, const std::string& to, bool failIfExists)
{
    if (auto code = injected(Op::Copy, to))
        return code;
    auto src = files_.find(fold(from));
    if (src == files_.end())
        return err::fileNotFound;
    if (!parentExists(to))
        return err::pathNotFound;
    auto dst = files_.find(fold(to));
    if (dst != files_.end()) {
        if (failIfExists)
            return err::fileExists;
        if (dst->second.node->attributes & (attr::readOnly | attr::hidden))
            return err::accessDenied;
    }
    // A copy is a new file that keeps the time of the last write, as the system's copy does.
    const Node& source = *src->second.node;
    auto node = newNode(source.bytes, source.attributes);
    node->written = source.written;
    files_[fold(to)] = {to, node};
    return err::ok;
}

std::uint32_t HeadlessFileSystem::setAttributes(const std::string& path, std::uint32_t attributes)
{
    if (auto code = injected(Op::SetAttributes, path))
        return code;
    auto it = files_.find(fold(path));
    if (it == files_.end())
        return err::fileNotFound;
    it->second.node->attributes = attributes;
    return err::ok;
}

std::uint32_t HeadlessFileSystem::createFolders(const std::string& path)
{
    if (auto code = injected(Op::CreateFolder, path))
        return code;
    addFolder(path);
    return err::ok;
}

}  // namespace platform::headless
