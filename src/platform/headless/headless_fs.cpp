#include "platform/headless/headless_fs.h"

#include <iconv.h>
#include <locale.h>
#include <wctype.h>

#include <cerrno>
#include <compare>
#include <cstdio>
#include <functional>

#include "platform/errors.h"
#include "platform/sha256.h"
#include "platform/utf8.h"

namespace platform::headless {

namespace {

// Windows folds names by the simple upper-case mapping of every character; glibc's C.UTF-8
// locale carries the same Unicode table. Bytes that are not UTF-8 stay as they are.
std::string upperCase(const std::string& text)
{
    static const locale_t unicode = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const int length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
        if (length == 0 || i + length > text.size()) {
            out += text[i++];
            continue;
        }
        char32_t c = length == 1 ? lead : lead & (0x7F >> length);
        for (int k = 1; k < length; ++k)
            c = (c << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        out += utf8Encode(static_cast<char32_t>(towupper_l(static_cast<wint_t>(c), unicode)));
        i += length;
    }
    return out;
}

std::string fold(const std::string& path)
{
    std::string key = upperCase(path);
    while (key.size() > 3 && key.back() == '\\')
        key.pop_back();
    return key;
}

std::string parentOf(const std::string& path)
{
    auto cut = path.find_last_of('\\');
    if (cut == std::string::npos)
        return "";
    return cut == 2 && path[1] == ':' ? path.substr(0, 3) : path.substr(0, cut);
}

// Converts with iconv, the test stand-in for the code page functions of Windows. Characters
// that have no place in the target become "?" and make the conversion inexact.
std::string convert(const char* to, const char* from, const std::string& in, bool* exact)
{
    if (exact)
        *exact = to && from;
    // A code page the system does not know fails the call, as on Windows: nothing comes back.
    if (!to || !from)
        return {};
    iconv_t cd = iconv_open(to, from);
    std::string out;
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char buffer[4096];
    while (srcLeft > 0) {
        char* dst = buffer;
        size_t dstLeft = sizeof buffer;
        size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        out.append(buffer, dst - buffer);
        if (r == static_cast<size_t>(-1) && errno != E2BIG) {
            if (exact)
                *exact = false;
            out += '?';
            // Skip one whole UTF-8 character, or one byte of other input.
            do {
                ++src, --srcLeft;
            } while (srcLeft > 0 && std::string(from) == "UTF-8" && (static_cast<unsigned char>(*src) & 0xC0) == 0x80);
        }
    }
    iconv_close(cd);
    return out;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// A run of digits at i, by value: without leading zeros, a longer run is the larger number.
std::strong_ordering compareNumbers(const std::string& a, std::size_t& i, const std::string& b, std::size_t& j)
{
    auto run = [](const std::string& s, std::size_t& at) {
        while (at < s.size() && s[at] == '0' && at + 1 < s.size() && isDigit(s[at + 1]))
            ++at;
        std::size_t start = at;
        while (at < s.size() && isDigit(s[at]))
            ++at;
        return s.substr(start, at - start);
    };
    const std::string x = run(a, i), y = run(b, j);
    if (auto bySize = x.size() <=> y.size(); bySize != 0)
        return bySize;
    return x <=> y;
}

}  // namespace

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

std::optional<FileIdentity> HeadlessFileSystem::identity(const std::string& path)
{
    if (injected(Op::Identity, path))
        return std::nullopt;
    auto it = files_.find(fold(path));
    if (it == files_.end())
        return std::nullopt;
    const Node& node = *it->second.node;
    return FileIdentity{static_cast<unsigned char>(upperCase(path.substr(0, 1))[0]), node.number, node.bytes.size(),
                        node.written};
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

bool HeadlessFileSystem::fileExists(const std::string& path)
{
    return files_.count(fold(path)) > 0;
}

bool HeadlessFileSystem::folderExists(const std::string& path)
{
    return !path.empty() && folders_.count(fold(path)) > 0;
}

std::uint32_t HeadlessFileSystem::attributes(const std::string& path)
{
    auto it = files_.find(fold(path));
    if (it != files_.end())
        return it->second.node->attributes;
    return folderExists(path) ? attr::directory : attr::invalid;
}

std::string HeadlessFileSystem::storedName(const std::string& path)
{
    auto it = files_.find(fold(path));
    if (it == files_.end())
        return "";
    return it->second.name.substr(it->second.name.find_last_of('\\') + 1);
}

std::string HeadlessFileSystem::caseKey(const std::string& path)
{
    return upperCase(path);
}

std::vector<FolderEntry> HeadlessFileSystem::filesIn(const std::string& folder)
{
    std::vector<FolderEntry> entries;
    for (const auto& [key, file] : files_)
        if (fold(parentOf(file.name)) == fold(folder))
            entries.push_back({file.name.substr(file.name.find_last_of('\\') + 1), file.node->attributes});
    return entries;
}

int HeadlessFileSystem::compareNames(const std::string& a, const std::string& b)
{
    // Folded as the volume folds names; UTF-8 keeps the order of code points bytewise.
    const std::string x = upperCase(a), y = upperCase(b);
    std::size_t i = 0, j = 0;
    while (i < x.size() && j < y.size()) {
        std::strong_ordering order = std::strong_ordering::equal;
        if (isDigit(x[i]) && isDigit(y[j]))
            order = compareNumbers(x, i, y, j);
        else if (isDigit(x[i]) || isDigit(y[j]))
            return isDigit(x[i]) ? -1 : 1;
        else
            order = static_cast<unsigned char>(x[i++]) <=> static_cast<unsigned char>(y[j++]);
        if (order != 0)
            return order < 0 ? -1 : 1;
    }
    return i < x.size() ? 1 : j < y.size() ? -1 : 0;
}

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

std::vector<std::optional<FileIdentity>> HeadlessFileSystem::identities(const std::vector<std::string_view>& paths)
{
    std::vector<std::optional<FileIdentity>> out;
    out.reserve(paths.size());
    for (const auto path : paths)
        out.push_back(identity(std::string(path)));
    return out;
}

std::vector<std::uint32_t> HeadlessFileSystem::attributesOfEach(const std::vector<std::string_view>& paths)
{
    std::vector<std::uint32_t> out;
    out.reserve(paths.size());
    for (const auto path : paths)
        out.push_back(attributes(std::string(path)));
    return out;
}

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

std::uint32_t HeadlessFileSystem::createGuardedFolders(const std::string& path)
{
    if (auto code = injected(Op::CreateFolder, path))
        return code;
    const FolderGuard administrators{Principal::Administrators,
                                     {{Principal::Administrators, true, 0x1F01FF}, {Principal::System, true, 0x1F01FF}}};
    for (std::string p = fold(path); p.size() > 3 && !folders_.count(p); p = parentOf(p))
        guards_[p] = administrators;
    std::string trimmed = path;
    while (trimmed.size() > 3 && trimmed.back() == '\\')
        trimmed.pop_back();
    addFolder(trimmed);
    return err::ok;
}

std::optional<FolderGuard> HeadlessFileSystem::guardOf(const std::string& path)
{
    if (!folderExists(path))
        return std::nullopt;
    auto it = guards_.find(fold(path));
    if (it != guards_.end())
        return it->second;
    return FolderGuard{Principal::Other, {{Principal::Other, true, 0x1F01FF}}};
}

void HeadlessFileSystem::setGuard(const std::string& folder, const FolderGuard& guard)
{
    addFolder(folder);
    guards_[fold(folder)] = guard;
}

std::string HeadlessFileSystem::digest(const std::string& bytes)
{
    return sha256Hex(bytes);
}

const char* HeadlessFileSystem::iconvName(std::uint32_t codePage) const
{
    switch (codePage) {
    case 932: return "CP932";
    case 936: return "CP936";
    case 949: return "CP949";
    case 1252: return "CP1252";
    case codePage::gb18030: return knowsGb18030 ? "GB18030" : nullptr;
    case 65001: return "UTF-8";
    }
    return nullptr;
}

bool HeadlessFileSystem::hasCodePage(std::uint32_t codePage)
{
    return iconvName(codePage) != nullptr;
}

std::string HeadlessFileSystem::toCodePage(std::uint32_t codePage, const std::string& utf8, bool* exact)
{
    if (auto bytes = tables_.encode(*this, codePage, utf8)) {
        if (exact)
            *exact = true;
        return std::move(*bytes);
    }
    std::string bytes = convert(iconvName(codePage), "UTF-8", utf8, exact);
    // iconv maps some characters one way only (CP932 writes £ as the bytes of ￡); Windows is
    // asked for no best fit and checked by a round trip, so exact means "reads back unchanged".
    if (exact && *exact)
        *exact = convert("UTF-8", iconvName(codePage), bytes, nullptr) == utf8;
    return bytes;
}

std::string HeadlessFileSystem::fromCodePage(std::uint32_t codePage, const std::string& bytes, bool* valid)
{
    if (auto text = tables_.decode(*this, codePage, bytes)) {
        if (valid)
            *valid = true;
        return std::move(*text);
    }
    return convert("UTF-8", iconvName(codePage), bytes, valid);
}

}  // namespace platform::headless
