#pragma once
#include "platform/code_page_table.h"
#include "platform/file_system.h"
#include "platform/shell.h"

namespace platform::win32 {

class Win32FileSystem : public FileSystem {
public:
    std::string modulePath() override;
    std::string currentFolder() override;
    bool fileExists(const std::string& path) override;
    bool folderExists(const std::string& path) override;
    std::uint32_t attributes(const std::string& path) override;
    std::string storedName(const std::string& path) override;
    std::string caseKey(const std::string& path) override;
    std::optional<FileIdentity> identity(const std::string& path) override;
    std::vector<std::optional<FileIdentity>> identities(const std::vector<std::string_view>& paths) override;
    std::vector<FileAt> filesAt(const std::vector<std::string_view>& paths) override;
    std::vector<FolderEntry> filesIn(const std::string& folder) override;
    // On as many threads as there are cores, from the system's pool: it takes file operations
    // from any thread.
    void atOnce(std::size_t count, const std::function<void(std::size_t)>& each) override;
    int compareNames(const std::string& a, const std::string& b) override;
    std::string readAll(const std::string& path) override;
    void writeAll(const std::string& path, const std::string& bytes) override;
    std::unique_ptr<AppendOnlyFile> openAppendOnly(const std::string& path, bool keep) override;
    std::uint32_t deleteFile(const std::string& path) override;
    // In recycle_bin.cpp.
    std::uint32_t recycle(const std::string& path) override;
    std::uint32_t moveFile(const std::string& from, const std::string& to) override;
    std::uint32_t moveFileWithAttributes(const std::string& from, const std::string& to, std::uint32_t attributes) override;
    std::uint32_t replaceFile(const std::string& from, const std::string& to) override;
    std::uint32_t copyFile(const std::string& from, const std::string& to, bool failIfExists) override;
    std::uint32_t flushFile(const std::string& path) override;
    std::uint32_t setAttributes(const std::string& path, std::uint32_t attributes) override;
    std::uint32_t createFolders(const std::string& path) override;
    std::uint32_t ansiCodePage() override;
    bool hasCodePage(std::uint32_t codePage) override;
    std::string toCodePage(std::uint32_t codePage, const std::string& utf8, bool* exact = nullptr) override;
    std::string fromCodePage(std::uint32_t codePage, const std::string& bytes, bool* valid = nullptr) override;
    std::string errorText(std::uint32_t code) override;
    std::string programDataFolder() override;
    std::uint32_t createGuardedFolders(const std::string& path) override;
    std::optional<FolderGuard> guardOf(const std::string& path) override;
    std::string digest(const std::string& bytes) override;

private:
    CodePageTables tables_;
};

class Win32Shell : public Shell {
public:
    void execute(const std::string& verb, const std::string& file, const std::string& parameters,
                 const std::string& folder, int show) override;
};

}  // namespace platform::win32
