#include "AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>

namespace tavik {

namespace {
bool g_failNext = false;

void SyncFolder(const std::string& path) {
    std::string folder = std::filesystem::path(path).parent_path().string();
    if (folder.empty()) folder = ".";
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// The file the rename must replace: through a symbolic link, the file it points at, so that
// the link stays a link.
std::string RealTarget(const std::string& path) {
    std::error_code ec;
    const auto real = std::filesystem::weakly_canonical(path, ec);
    return ec || real.empty() ? path : real.string();
}

mode_t NewFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

}  // namespace

void FailNextReplacementForTesting() {
    g_failNext = true;
}

bool ReplaceFileAtomically(const std::string& path, const std::function<bool(CPcFile&)>& write) {
    const std::string target = RealTarget(path);
    struct stat st {};
    const bool exists = ::stat(target.c_str(), &st) == 0;
    // Renaming over a FIFO, a device or a folder would not write to it but destroy it.
    if (exists && !S_ISREG(st.st_mode)) return false;
    std::string pattern = target + ".tavik-XXXXXX";
    int fd = ::mkstemp(pattern.data());
    if (fd < 0) return false;
    ::close(fd);
    const std::string temp = pattern;
    bool ok = false;
    {
        auto file = CDiskFile::Open(temp, OpenMode::ReadWrite);
        if (file) {
            ok = write(*file) && file->Flush();
            file->Close();
        }
    }
    if (ok) ::chmod(temp.c_str(), exists ? st.st_mode & 07777 : NewFileMode());
    if (ok && g_failNext) {
        g_failNext = false;
        ok = false;
    }
    if (ok) ok = std::rename(temp.c_str(), target.c_str()) == 0;
    if (!ok) {
        const int reason = errno;  // the caller reports why, not what cleaning up did
        std::remove(temp.c_str());
        errno = reason;
        return false;
    }
    SyncFolder(target);
    return true;
}

}  // namespace tavik
