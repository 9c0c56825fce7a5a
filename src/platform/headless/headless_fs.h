#pragma once
// Test backend for the file system: an in-memory volume with Windows' rules (paths compare
// without regard to letter case over all of Unicode, a rename never replaces, copying into a
// missing folder fails) and a hook through which a test injects failures.
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/code_page_table.h"
#include "platform/file_system.h"
#include "platform/shell.h"

namespace platform::headless {

enum class Op { Read, Write, Append, Flush, Delete, Move, Replace, Copy, Recycle, SetAttributes, CreateFolder, Identity };

class HeadlessFileSystem : public FileSystem {
public:
    explicit HeadlessFileSystem(std::string programPath = "C:\\nomerra\\nomerra.exe");

    std::string modulePath() override { return programPath_; }
    std::string currentFolder() override { return currentFolder_; }
    bool fileExists(const std::string& path) override;
    bool folderExists(const std::string& path) override;
    std::uint32_t attributes(const std::string& path) override;
    std::string storedName(const std::string& path) override;
    std::string caseKey(const std::string& path) override;
    // Each drive letter is a volume; a file keeps its number through moves, a copy gets a new
    // one, and every write counts as a new time.
    std::optional<FileIdentity> identity(const std::string& path) override;
    std::vector<std::optional<FileIdentity>> identities(const std::vector<std::string_view>& paths) override;
    std::vector<FileAt> filesAt(const std::vector<std::string_view>& paths) override;
    std::vector<FolderEntry> filesIn(const std::string& folder) override;
    // Digit runs by value, before any other character; other characters by code point, with
    // letter case folded as the volume folds it.
    int compareNames(const std::string& a, const std::string& b) override;
    std::string readAll(const std::string& path) override;
    // A failed write leaves the first half of the bytes, as a full drive does.
    void writeAll(const std::string& path, const std::string& bytes) override;
    std::unique_ptr<AppendOnlyFile> openAppendOnly(const std::string& path, bool keep) override;
    std::uint32_t deleteFile(const std::string& path) override;
    // Into recycled, whatever its attributes.
    std::uint32_t recycle(const std::string& path) override;
    std::uint32_t moveFile(const std::string& from, const std::string& to) override;
    std::uint32_t moveFileWithAttributes(const std::string& from, const std::string& to, std::uint32_t attributes) override;
    std::uint32_t replaceFile(const std::string& from, const std::string& to) override;
    std::uint32_t copyFile(const std::string& from, const std::string& to, bool failIfExists) override;
    std::uint32_t flushFile(const std::string& path) override { return injected(Op::Flush, path); }
    std::uint32_t setAttributes(const std::string& path, std::uint32_t attributes) override;
    std::uint32_t createFolders(const std::string& path) override;
    std::uint32_t ansiCodePage() override { return systemCodePage; }
    bool hasCodePage(std::uint32_t codePage) override;
    // Through iconv, the stand-in for the code page functions of Windows.
    std::string toCodePage(std::uint32_t codePage, const std::string& utf8, bool* exact = nullptr) override;
    std::string fromCodePage(std::uint32_t codePage, const std::string& bytes, bool* valid = nullptr) override;
    std::string errorText(std::uint32_t code) override { return "system error " + std::to_string(code); }
    std::string programDataFolder() override { return "C:\\ProgramData"; }
    // Folders it creates are guarded for administrators; every other folder any user may change.
    std::uint32_t createGuardedFolders(const std::string& path) override;
    std::optional<FolderGuard> guardOf(const std::string& path) override;
    // SHA-256, as the program computes it.
    std::string digest(const std::string& bytes) override;
    // In the order atOnceOrder gives, else one after the other.
    void atOnce(std::size_t count, const std::function<void(std::size_t)>& each) override;

    // Setting up and inspecting the volume.
    void addFolder(const std::string& path);
    void addFile(const std::string& path, const std::string& bytes = "", std::uint32_t attributes = attr::archive);
    // A second name for the same file, as a hard link is (or a short 8.3 spelling).
    void addHardLink(const std::string& existing, const std::string& path);
    std::string content(const std::string& path) const;  // "" when missing
    // Every file path under its stored spelling.
    std::vector<std::string> files() const;
    void setCurrentFolder(const std::string& path) { currentFolder_ = path; }
    // Another owner or access list for a folder, as another program could have set.
    void setGuard(const std::string& folder, const FolderGuard& guard);

    // A non-zero answer makes the operation fail with that code before it changes anything
    // (a write keeps half its bytes). The hook may also throw, as the process dying there.
    std::function<std::uint32_t(Op, const std::string& path)> fault;
    // The Recycle Bin: each file recycled, by the path it had, with its content.
    std::vector<std::pair<std::string, std::string>> recycled;
    // The order in which atOnce takes sequences (a permutation of 0 to count - 1), as threads
    // could; none: one after the other.
    std::function<std::vector<std::size_t>(std::size_t count)> atOnceOrder;
    // A volume that stores every renamed file's name in capitals, as one without long names does.
    bool upperCaseNames = false;
    // The system's code page: 936 (GBK) unless a test sets another (1252, 932, ...).
    std::uint32_t systemCodePage = 936;
    // A system without GB18030, as one whose language pack lacks it.
    bool knowsGb18030 = true;

private:
    class AppendOnly;
    // What every name of one file shares.
    struct Node {
        std::string bytes;
        std::uint32_t attributes;
        std::uint64_t number;
        std::uint64_t written;
    };
    struct File {
        std::string name;  // as spelt when created or renamed
        std::shared_ptr<Node> node;
    };
    std::shared_ptr<Node> newNode(std::string bytes, std::uint32_t attributes);
    std::uint32_t injected(Op op, const std::string& path) const;
    // The iconv name of a code page this system knows; none for any other.
    const char* iconvName(std::uint32_t codePage) const;
    bool parentExists(const std::string& path) const;
    // The file now stands under this name (spelt so), wherever it stood.
    void relocate(std::map<std::string, File>::iterator it, const std::string& name);
    std::string programPath_;
    std::string currentFolder_ = "C:\\";
    std::map<std::string, File> files_;       // by folded path
    std::map<std::string, std::string> folders_;
    std::map<std::string, FolderGuard> guards_;  // by folded path; others are anyone's
    std::uint64_t stamps_ = 0;  // file numbers and write times both count up
    CodePageTables tables_;
};

// Test backend for the shell: remembers every call.
struct ShellCall {
    std::string verb, file, parameters, folder;
    int show;
};

class HeadlessShell : public Shell {
public:
    void execute(const std::string& verb, const std::string& file, const std::string& parameters,
                 const std::string& folder, int show) override
    {
        calls.push_back({verb, file, parameters, folder, show});
    }
    std::vector<ShellCall> calls;
};

}  // namespace platform::headless
