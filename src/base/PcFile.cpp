#include "PcFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <unordered_set>

#include "AtomicFile.h"
#include "Cp1252.h"

namespace tavik {

// Keeps at most `limit` descriptors of CDiskFile objects open; the least recently used one is
// closed when another must be opened. Single-threaded, like the rest of the program.
class CDescriptorPool {
public:
    static CDescriptorPool& Instance() {
        static CDescriptorPool pool;
        return pool;
    }
    void Opened(CDiskFile* file) {
        m_open.insert(file);
        Trim(file);
    }
    void Closed(CDiskFile* file) { m_open.erase(file); }
    void Born(CDiskFile* file) { m_live.insert(file); }
    void Died(CDiskFile* file) { m_live.erase(file); }
    const std::unordered_set<CDiskFile*>& Live() const { return m_live; }
    uint64_t Tick() { return ++m_clock; }
    void SetLimit(size_t limit) {
        m_limit = std::max<size_t>(limit, 4);
        Trim(nullptr);
    }
    size_t Count() const { return m_open.size(); }

private:
    void Trim(CDiskFile* keep) {
        while (m_open.size() > m_limit) {
            CDiskFile* oldest = nullptr;
            for (CDiskFile* f : m_open)
                if (f != keep && (!oldest || f->m_lastUse < oldest->m_lastUse)) oldest = f;
            if (!oldest) return;
            oldest->ReleaseDescriptor();
        }
    }
    std::unordered_set<CDiskFile*> m_open;
    std::unordered_set<CDiskFile*> m_live;  // every CDiskFile object, open or not
    size_t m_limit = 256;
    uint64_t m_clock = 0;
};

namespace {

int OpenFlags(OpenMode mode) {
    return (mode == OpenMode::ReadWrite ? O_RDWR : O_RDONLY) | O_CLOEXEC;
}

FileIdentity IdentityOfStat(const struct stat& st) {
    return {static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)};
}

// Opens a regular file only. O_NONBLOCK keeps the open of a FIFO from waiting for a writer;
// once the file is known to be regular the flag is taken off again.
int OpenRegular(const std::string& path, OpenMode mode, OpenFailure& why,
                std::optional<FileIdentity>& identity) {
    why = OpenFailure::CannotOpen;
    const int fd = ::open(path.c_str(), OpenFlags(mode) | O_NONBLOCK);
    if (fd < 0) {
        if (errno == EISDIR) why = OpenFailure::NotRegular;
        return -1;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        if (st.st_mode != 0) why = OpenFailure::NotRegular;
        ::close(fd);
        return -1;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    why = OpenFailure::None;
    identity = IdentityOfStat(st);
    return fd;
}

}  // namespace

std::optional<FileIdentity> IdentityOf(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    return IdentityOfStat(st);
}

bool CPcFile::ReplaceContents(const std::function<bool(CPcFile&)>& write) {
    // A file of unknown kind cannot be renamed over: the new content is made in full first, so
    // that at least a failure while making it changes nothing.
    CMemFile scratch;
    if (!write(scratch)) return false;
    const auto size = static_cast<int64_t>(scratch.Bytes().size());
    return WriteAt(0, scratch.Bytes().data(), scratch.Bytes().size()) == size && SetLength(size) &&
           Flush();
}

CDiskFile::CDiskFile(std::string path, OpenMode mode, int fd)
    : m_path(std::move(path)), m_mode(mode), m_fd(fd) {
    m_lastUse = CDescriptorPool::Instance().Tick();
    CDescriptorPool::Instance().Born(this);
    CDescriptorPool::Instance().Opened(this);
}

CDiskFile::~CDiskFile() {
    Close();
    CDescriptorPool::Instance().Died(this);
}

std::unique_ptr<CDiskFile> CDiskFile::Open(const std::string& path, OpenMode mode,
                                           OpenFailure* why) {
    OpenFailure failure = OpenFailure::None;
    std::optional<FileIdentity> identity;
    const int fd = OpenRegular(path, mode, failure, identity);
    if (why) *why = failure;
    if (fd < 0) return nullptr;
    std::unique_ptr<CDiskFile> file(new CDiskFile(path, mode, fd));
    file->m_identity = identity;
    return file;
}

bool CDiskFile::IsOpenElsewhere(const FileIdentity& identity, const CPcFile* except) {
    for (CDiskFile* file : CDescriptorPool::Instance().Live())
        if (file != except && !file->m_closed && file->Identity() == identity) return true;
    return false;
}

std::optional<FileIdentity> CDiskFile::Identity() {
    if (!m_identity && Descriptor() >= 0) {
        struct stat st {};
        if (::fstat(m_fd, &st) == 0) m_identity = IdentityOfStat(st);
    }
    return m_identity;
}

bool CDiskFile::ReplaceContents(const std::function<bool(CPcFile&)>& write) {
    if (m_closed || m_mode != OpenMode::ReadWrite) return false;
    if (!ReplaceFileAtomically(m_path, write)) return false;
    // The descriptor still reads the old file; the next use opens the new one.
    ReleaseDescriptor();
    m_identity.reset();
    return Descriptor() >= 0;
}

std::unique_ptr<CDiskFile> CDiskFile::Create(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) return nullptr;
    return std::unique_ptr<CDiskFile>(new CDiskFile(path, OpenMode::ReadWrite, fd));
}

int CDiskFile::Descriptor() {
    if (m_closed) return -1;
    m_lastUse = CDescriptorPool::Instance().Tick();
    if (m_fd >= 0) return m_fd;
    OpenFailure why;
    m_fd = OpenRegular(m_path, m_mode, why, m_identity);
    if (m_fd >= 0) CDescriptorPool::Instance().Opened(this);
    return m_fd;
}

void CDiskFile::ReleaseDescriptor() {
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    CDescriptorPool::Instance().Closed(this);
}

void CDiskFile::Close() {
    ReleaseDescriptor();
    m_closed = true;
}

int64_t CDiskFile::ReadAt(int64_t offset, void* buffer, size_t count) {
    int fd = Descriptor();
    if (fd < 0 || offset < 0) return -1;
    size_t done = 0;
    auto* out = static_cast<uint8_t*>(buffer);
    while (done < count) {
        ssize_t n = ::pread(fd, out + done, count - done, offset + static_cast<int64_t>(done));
        if (n < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        if (n == 0) break;
        done += static_cast<size_t>(n);
    }
    return static_cast<int64_t>(done);
}

int64_t CDiskFile::WriteAt(int64_t offset, const void* buffer, size_t count) {
    int fd = Descriptor();
    if (fd < 0 || offset < 0 || m_mode != OpenMode::ReadWrite) return -1;
    size_t done = 0;
    const auto* in = static_cast<const uint8_t*>(buffer);
    while (done < count) {
        ssize_t n = ::pwrite(fd, in + done, count - done, offset + static_cast<int64_t>(done));
        if (n < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        done += static_cast<size_t>(n);
    }
    return static_cast<int64_t>(done);
}

int64_t CDiskFile::Length() {
    int fd = Descriptor();
    if (fd < 0) return -1;
    struct stat st {};
    if (::fstat(fd, &st) != 0) return -1;
    return st.st_size;
}

bool CDiskFile::SetLength(int64_t length) {
    int fd = Descriptor();
    if (fd < 0 || length < 0 || m_mode != OpenMode::ReadWrite) return false;
    return ::ftruncate(fd, length) == 0;
}

bool CDiskFile::Flush() {
    int fd = Descriptor();
    return fd >= 0 && ::fsync(fd) == 0;
}

void CDiskFile::SetPoolLimit(size_t limit) {
    CDescriptorPool::Instance().SetLimit(limit);
}
size_t CDiskFile::OpenDescriptorCount() {
    return CDescriptorPool::Instance().Count();
}

int64_t CMemFile::ReadAt(int64_t offset, void* buffer, size_t count) {
    if (offset < 0) return -1;
    auto size = static_cast<int64_t>(m_bytes.size());
    if (offset >= size) return 0;
    size_t n = static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(count), size - offset));
    if (n) std::memcpy(buffer, m_bytes.data() + offset, n);  // an empty buffer may be null
    return static_cast<int64_t>(n);
}

int64_t CMemFile::WriteAt(int64_t offset, const void* buffer, size_t count) {
    if (offset < 0) return -1;
    int64_t end = offset + static_cast<int64_t>(count);
    if (m_limit > 0 && end > m_limit) return -1;
    if (end > static_cast<int64_t>(m_bytes.size())) m_bytes.resize(static_cast<size_t>(end));
    if (count) std::memcpy(m_bytes.data() + offset, buffer, count);
    return static_cast<int64_t>(count);
}

bool CMemFile::SetLength(int64_t length) {
    if (length < 0 || (m_limit > 0 && length > m_limit)) return false;
    m_bytes.resize(static_cast<size_t>(length));
    return true;
}

bool CMemFile::ReplaceContents(const std::function<bool(CPcFile&)>& write) {
    CMemFile fresh;
    fresh.SetCapacityLimit(m_limit);
    if (!write(fresh)) return false;
    m_bytes.swap(fresh.m_bytes);
    return true;
}

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes) {
    auto file = CDiskFile::Open(path, OpenMode::ReadOnly);
    if (!file) return false;
    int64_t length = file->Length();
    if (length < 0) return false;
    bytes.resize(static_cast<size_t>(length));
    return file->ReadAt(0, bytes.data(), bytes.size()) == length;
}

bool WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    auto file = CDiskFile::Create(path);
    if (!file) return false;
    return file->WriteAt(0, bytes.data(), bytes.size()) == static_cast<int64_t>(bytes.size());
}

std::string PcFileReason(const std::string& path, int reason) {
    std::string text = "\n" + Utf8ToCp1252(path);
    if (reason) text += (path.empty() ? "" : ": ") + std::string(std::strerror(reason));
    return text;
}

}  // namespace tavik
