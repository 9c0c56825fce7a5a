#pragma once
// The file system as the program needs it. Paths are UTF-8; the Win32 backend converts them at
// the API boundary. Every operation that can fail returns the system's error code (0 = done).
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

namespace attr {
constexpr std::uint32_t readOnly = 0x1;
constexpr std::uint32_t hidden = 0x2;
constexpr std::uint32_t system = 0x4;
constexpr std::uint32_t directory = 0x10;
constexpr std::uint32_t archive = 0x20;
constexpr std::uint32_t invalid = 0xFFFFFFFFu;
}  // namespace attr

namespace codePage {
constexpr std::uint32_t gbk = 936;
// Every Unicode character; GBK's characters with GBK's bytes.
constexpr std::uint32_t gb18030 = 54936;
}  // namespace codePage

namespace err {
constexpr std::uint32_t ok = 0;
constexpr std::uint32_t fileNotFound = 2;
constexpr std::uint32_t pathNotFound = 3;
constexpr std::uint32_t accessDenied = 5;
constexpr std::uint32_t notSameDevice = 17;
constexpr std::uint32_t sharingViolation = 32;
constexpr std::uint32_t fileExists = 80;
constexpr std::uint32_t diskFull = 112;
constexpr std::uint32_t invalidName = 123;
constexpr std::uint32_t alreadyExists = 183;
}  // namespace err

// A file written only at its end, one call at a time, as a log that must survive the process: each
// write is handed to the system at once, so a process killed after it returns leaves it on disk.
class AppendOnlyFile {
public:
    virtual ~AppendOnlyFile() = default;
    // The system's error code; 0 when every byte was written.
    virtual std::uint32_t write(const std::string& bytes) = 0;
    // Hands everything written so far to the disk itself, past the system's cache: a power cut
    // after it returns loses none of it. 0 or the system's error code.
    virtual std::uint32_t flush() = 0;
};

// What tells one file from every other, whatever it is called: the volume and the file's number
// on it. The size and the time of the last write tell whether its content may have changed.
struct FileIdentity {
    std::uint64_t volume = 0;
    std::uint64_t file = 0;
    std::uint64_t size = 0;
    std::uint64_t written = 0;
    bool sameFile(const FileIdentity& other) const { return volume == other.volume && file == other.file; }
    bool operator==(const FileIdentity&) const = default;
};

// Who may do what to a folder, as far as the program's private folder cares: the owner and every
// entry of the folder's access list, with its rights as the system's access mask.
enum class Principal { Administrators, System, Other };

struct AccessEntry {
    Principal who;
    bool allows;  // an allowing entry; a denying one takes rights away and is harmless
    std::uint32_t mask;
};

struct FolderGuard {
    Principal owner;
    std::vector<AccessEntry> entries;
};

// What a look at a file's folder tells of it.
struct FileAt {
    std::optional<FileIdentity> identity;
    std::uint32_t attributes = attr::invalid;
};

struct FolderEntry {
    std::string name;  // without the folder
    std::uint32_t attributes;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;

    // Full path of the running program file.
    virtual std::string modulePath() = 0;
    virtual std::string currentFolder() = 0;

    // Existence by attributes: never a wildcard search.
    virtual bool fileExists(const std::string& path) = 0;
    virtual bool folderExists(const std::string& path) = 0;
    virtual std::uint32_t attributes(const std::string& path) = 0;
    // The name part of the path as the file system spells it; empty when nothing stands there.
    virtual std::string storedName(const std::string& path) = 0;
    // The key under which the file system takes two names for one: letter case folded over all
    // of Unicode.
    virtual std::string caseKey(const std::string& path) = 0;
    // The identity of the file (or link) the path names; none when it cannot be read.
    virtual std::optional<FileIdentity> identity(const std::string& path) = 0;
    // The identity of each, as identity() reads it, but in one look at each folder where the
    // system allows: for thousands of files far cheaper than opening each.
    virtual std::vector<std::optional<FileIdentity>> identities(const std::vector<std::string_view>& paths) = 0;
    // The identity of each as identities() reads it, and its attributes as attributes() reads
    // them, in the same look at each folder. A listing holds names as they are written: the
    // attributes of a name part the system reads otherwise (a device name, a stream, a trailing
    // dot or space) are to be asked of attributes().
    virtual std::vector<FileAt> filesAt(const std::vector<std::string_view>& paths) = 0;
    // Carries out each(0) to each(count - 1), sequences of file operations that do not depend on
    // each other: several at once where the system is made for it, else one after the other.
    // Every one runs to its end; throws what the lowest-numbered that failed threw.
    virtual void atOnce(std::size_t count, const std::function<void(std::size_t)>& each);
    // atOnce of two: throws what the first threw, else what the second threw.
    void together(const std::function<void()>& first, const std::function<void()>& second);
    // The files directly inside a folder (never its subfolders), in no particular order; none
    // when the folder cannot be read.
    virtual std::vector<FolderEntry> filesIn(const std::string& folder) = 0;
    // How the file browser orders two names: below, at or above zero. Runs of digits compare by
    // their value ("2" before "10"), letters without regard to case.
    virtual int compareNames(const std::string& a, const std::string& b) = 0;

    // Whole-file text I/O in bytes; they throw IoError. A written file is on the disk when
    // writeAll returns, not only in the system's cache: a power cut cannot empty it later.
    virtual std::string readAll(const std::string& path) = 0;
    virtual void writeAll(const std::string& path, const std::string& bytes) = 0;
    // Opens for writing at the end; a new file unless keep is set and it exists. Throws IoError.
    virtual std::unique_ptr<AppendOnlyFile> openAppendOnly(const std::string& path, bool keep) = 0;

    virtual std::uint32_t deleteFile(const std::string& path) = 0;
    // Moves the file to the Recycle Bin, read-only or not, without asking; deletes it where its
    // volume has no bin.
    virtual std::uint32_t recycle(const std::string& path) = 0;
    // Never replaces an existing target; fails with notSameDevice across volumes.
    virtual std::uint32_t moveFile(const std::string& from, const std::string& to) = 0;
    // moveFile, and after a move that succeeded the file's attributes set (as setAttributes sets
    // them, whose failure goes unreported) through the file held open for both. The move's code.
    virtual std::uint32_t moveFileWithAttributes(const std::string& from, const std::string& to,
                                                 std::uint32_t attributes) = 0;
    // Moves over an existing target: only for the program's own files. The move is on the disk
    // when it returns.
    virtual std::uint32_t replaceFile(const std::string& from, const std::string& to) = 0;
    virtual std::uint32_t copyFile(const std::string& from, const std::string& to, bool failIfExists) = 0;
    // Hands the file's content to the disk itself, past the system's cache.
    virtual std::uint32_t flushFile(const std::string& path) = 0;
    virtual std::uint32_t setAttributes(const std::string& path, std::uint32_t attributes) = 0;
    // Creates the folder and every missing parent.
    virtual std::uint32_t createFolders(const std::string& path) = 0;

    // The system's ANSI code page (GetACP).
    virtual std::uint32_t ansiCodePage() = 0;
    // Whether the system converts to and from the code page at all.
    virtual bool hasCodePage(std::uint32_t codePage) = 0;
    // Text in a code page. toCodePage reports whether every character was representable exactly
    // (no best-fit look-alikes, no "?"); fromCodePage whether every byte sequence is a character
    // of the code page.
    virtual std::string toCodePage(std::uint32_t codePage, const std::string& utf8, bool* exact = nullptr) = 0;
    virtual std::string fromCodePage(std::uint32_t codePage, const std::string& bytes, bool* valid = nullptr) = 0;
    // Text in the system's ANSI code page.
    std::string toAnsi(const std::string& utf8, bool* exact = nullptr)
    {
        return toCodePage(ansiCodePage(), utf8, exact);
    }
    std::string fromAnsi(const std::string& ansi, bool* valid = nullptr)
    {
        return fromCodePage(ansiCodePage(), ansi, valid);
    }
    virtual std::string errorText(std::uint32_t code) = 0;

    // The machine's folder for programs' shared state (%ProgramData%).
    virtual std::string programDataFolder() = 0;
    // Creates the folder and its missing parents so that only administrators and the system
    // may change them (an explicit access list, nothing inherited); an existing folder is left
    // as it is. The system's error code.
    virtual std::uint32_t createGuardedFolders(const std::string& path) = 0;
    // The folder's owner and access list; nothing when they cannot be read or the folder is a link
    // (a junction or symbolic link), whose target its owner may change after any check.
    virtual std::optional<FolderGuard> guardOf(const std::string& path) = 0;
    // SHA-256 of the bytes, in lower-case hex.
    virtual std::string digest(const std::string& bytes) = 0;

protected:
    // Carries out each(order[0]), each(order[1]) and so on, every one to its end; throws what the
    // lowest-numbered that failed threw.
    static void eachInOrder(const std::vector<std::size_t>& order, const std::function<void(std::size_t)>& each);
};

}  // namespace platform
