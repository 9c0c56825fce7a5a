// HeadlessFileSystem: setting up and inspecting the volume, injected failures, the digest.
#include "platform/headless/headless_fs.h"

#include <cstdio>
#include <functional>

#include "platform/headless/headless_fs_names.h"
#include "platform/sha256.h"

namespace platform::headless {

HeadlessFileSystem::HeadlessFileSystem(std::string programPath) : programPath_(std::move(programPath))
{
    addFolder(parentOf(programPath_));
}

void HeadlessFileSystem::addFolder(const std::string& path)
{
    for (std::string p = path; !p.empty() && !folders_.count(fold(p)); p = parentOf(p)) {
        folders_[fold(p)] = p;
        if (p.size() <= 3)
            break;
    }
}

void HeadlessFileSystem::addFile(const std::string& path, const std::string& bytes, std::uint32_t attributes)
{
    addFolder(parentOf(path));
    files_[fold(path)] = {path, newNode(bytes, attributes)};
}

std::shared_ptr<HeadlessFileSystem::Node> HeadlessFileSystem::newNode(std::string bytes, std::uint32_t attributes)
{
    ++stamps_;
    return std::make_shared<Node>(Node{std::move(bytes), attributes, stamps_, stamps_});
}

void HeadlessFileSystem::addHardLink(const std::string& existing, const std::string& path)
{
    files_[fold(path)] = {path, files_.at(fold(existing)).node};
}

std::string HeadlessFileSystem::content(const std::string& path) const
{
    auto it = files_.find(fold(path));
    return it == files_.end() ? "" : it->second.node->bytes;
}

std::vector<std::string> HeadlessFileSystem::files() const
{
    std::vector<std::string> names;
    for (const auto& [key, file] : files_)
        names.push_back(file.name);
    return names;
}

std::uint32_t HeadlessFileSystem::injected(Op op, const std::string& path) const
{
    return fault ? fault(op, path) : 0;
}

bool HeadlessFileSystem::parentExists(const std::string& path) const
{
    return folders_.count(fold(parentOf(path))) > 0;
}

std::string HeadlessFileSystem::digest(const std::string& bytes)
{
    return sha256Hex(bytes);
}

void HeadlessFileSystem::atOnce(std::size_t count, const std::function<void(std::size_t)>& each)
{
    if (atOnceOrder)
        eachInOrder(atOnceOrder(count), each);
    else
        FileSystem::atOnce(count, each);
}

}  // namespace platform::headless
