// A PC file as the core sees it: positional reads and writes, length, truncation. Two
// implementations: CDiskFile (a file on the PC) and CMemFile (bytes in memory, used as a scratch
// image by conversion and defragmentation, and by tests).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tavik {

// Which file on the PC a path or an open file is: device and inode, so that links, relative
// paths and ".." all name the same file.
struct FileIdentity {
    uint64_t device = 0;
    uint64_t inode = 0;
    bool operator==(const FileIdentity&) const = default;
};

// The identity of the file the path names (links followed); nothing when it does not exist.
std::optional<FileIdentity> IdentityOf(const std::string& path);

class CPcFile {
public:
    virtual ~CPcFile() = default;

    // Bytes actually read or written, -1 on an I/O error. Reads past the end return fewer bytes.
    virtual int64_t ReadAt(int64_t offset, void* buffer, size_t count) = 0;
    virtual int64_t WriteAt(int64_t offset, const void* buffer, size_t count) = 0;
    virtual int64_t Length() = 0;  // -1 on error
    virtual bool SetLength(int64_t length) = 0;
    virtual bool Flush() { return true; }
    virtual void Close() {}
    virtual std::string Path() const { return {}; }
    // The file on the PC this is; nothing for bytes in memory.
    virtual std::optional<FileIdentity> Identity() { return std::nullopt; }

    // Replaces the whole content: write() fills a fresh, empty file, and only when it succeeds
    // does that content take the place of the old one, so that a failure at any point leaves
    // the old content as it was. A file on the PC is written beside itself and renamed over.
    virtual bool ReplaceContents(const std::function<bool(CPcFile&)>& write);
};

enum class OpenMode { ReadOnly, ReadWrite };

// Why CDiskFile::Open gave nothing.
enum class OpenFailure { None, CannotOpen, NotRegular };

// A file on the PC. The descriptor is opened on first use and may be closed again by the
// process-wide pool of open descriptors (so that thousands of mounted images do not exhaust the
// open-file limit); it is reopened transparently.
class CDiskFile : public CPcFile {
public:
    ~CDiskFile() override;
    CDiskFile(const CDiskFile&) = delete;
    CDiskFile& operator=(const CDiskFile&) = delete;

    // Null when the file cannot be opened (or created). Only regular files are opened: a
    // FIFO, a device or a folder is refused (without waiting on it) with NotRegular in *why.
    // Create replaces an existing file.
    static std::unique_ptr<CDiskFile> Open(const std::string& path, OpenMode mode,
                                           OpenFailure* why = nullptr);
    static std::unique_ptr<CDiskFile> Create(const std::string& path);

    // True when a CDiskFile of this process other than `except` has the file open: a mounted
    // image, for instance, which must not be replaced under its drive.
    static bool IsOpenElsewhere(const FileIdentity& identity, const CPcFile* except = nullptr);

    int64_t ReadAt(int64_t offset, void* buffer, size_t count) override;
    int64_t WriteAt(int64_t offset, const void* buffer, size_t count) override;
    int64_t Length() override;
    bool SetLength(int64_t length) override;
    bool Flush() override;
    void Close() override;
    std::string Path() const override { return m_path; }
    std::optional<FileIdentity> Identity() override;
    bool ReplaceContents(const std::function<bool(CPcFile&)>& write) override;
    bool Writable() const { return m_mode == OpenMode::ReadWrite; }

    // Largest number of descriptors the pool keeps open at once.
    static void SetPoolLimit(size_t limit);
    static size_t OpenDescriptorCount();

private:
    CDiskFile(std::string path, OpenMode mode, int fd);
    int Descriptor();  // -1 when it cannot be reopened
    void ReleaseDescriptor();
    friend class CDescriptorPool;

    std::string m_path;
    OpenMode m_mode;
    int m_fd = -1;
    bool m_closed = false;
    uint64_t m_lastUse = 0;
    std::optional<FileIdentity> m_identity;  // of the file last opened
};

class CMemFile : public CPcFile {
public:
    CMemFile() = default;
    explicit CMemFile(std::vector<uint8_t> bytes) : m_bytes(std::move(bytes)) {}

    int64_t ReadAt(int64_t offset, void* buffer, size_t count) override;
    int64_t WriteAt(int64_t offset, const void* buffer, size_t count) override;
    int64_t Length() override { return static_cast<int64_t>(m_bytes.size()); }
    bool SetLength(int64_t length) override;
    bool ReplaceContents(const std::function<bool(CPcFile&)>& write) override;

    const std::vector<uint8_t>& Bytes() const { return m_bytes; }
    std::vector<uint8_t>& Bytes() { return m_bytes; }

    // Refuse growth beyond this many bytes (0: no limit); guards against huge allocations.
    void SetCapacityLimit(int64_t limit) { m_limit = limit; }

private:
    std::vector<uint8_t> m_bytes;
    int64_t m_limit = 0;
};

// Whole-file helpers.
bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes);
bool WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes);

// What a message about a PC file adds after its own text: a line with the file (in code page
// 1252, as messages are; none when the text names it already) and the system's reason (an
// errno value; none for 0).
std::string PcFileReason(const std::string& path, int reason);

}  // namespace tavik
