#include "support/Holdings.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "disk/CheckReport.h"
#include "disk/Layout.h"

namespace tavik::test {

namespace {

// The bytes of an image, read where they are.
class CImageView : public CPcFile {
public:
    explicit CImageView(const std::vector<uint8_t>& bytes) : m_bytes(bytes) {}
    int64_t ReadAt(int64_t offset, void* buffer, size_t count) override {
        const auto size = static_cast<int64_t>(m_bytes.size());
        if (offset < 0 || offset > size) return -1;
        const auto n =
            static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(count), size - offset));
        std::memcpy(buffer, m_bytes.data() + offset, n);
        return static_cast<int64_t>(n);
    }
    int64_t WriteAt(int64_t, const void*, size_t) override { return -1; }
    int64_t Length() override { return static_cast<int64_t>(m_bytes.size()); }
    bool SetLength(int64_t) override { return false; }

private:
    const std::vector<uint8_t>& m_bytes;
};

}  // namespace

std::vector<uint8_t> FileBytes(CVirtualDrive& drive, int fdr) {
    FileInfo info;
    std::vector<uint8_t> bytes;
    if (!drive.GetFileInfo(fdr, info)) return bytes;
    Sector data;
    for (int k = 0; k < info.sectors; ++k) {
        if (drive.FileToDiskSector(fdr, k, data.data()) <= 0) return {};
        bytes.insert(bytes.end(), data.begin(), data.end());
    }
    return bytes;
}

Holdings HoldingsOf(const std::vector<uint8_t>& image) {
    Holdings h;
    CVirtualDrive d;
    if (!d.MountFile(std::make_unique<CImageView>(image), 0, 0, -1)) return h;
    int position = 0;
    for (int fdr; (fdr = d.NextFdr(position)) > 0;) {
        if (!d.ReadFdr(fdr)) break;
        std::vector<uint8_t> bytes(d.FdrBuffer(), d.FdrBuffer() + layout::kFdrClusters);
        const std::vector<uint8_t> data = FileBytes(d, fdr);
        bytes.insert(bytes.end(), data.begin(), data.end());
        h.files[std::string(bytes.begin(), bytes.begin() + layout::kNameLength)] = bytes;
    }
    int flags = 0;
    DiskUsage usage{};
    d.CheckDisk(flags, usage);
    h.report = CheckReport(flags, usage);
    return h;
}

std::string Difference(const Holdings& before, const Holdings& after) {
    for (const auto& [name, bytes] : before.files) {
        const auto it = after.files.find(name);
        if (it == after.files.end()) return name + " is gone";
        if (it->second != bytes) return name + " changed";
    }
    if (after.files.size() != before.files.size()) return "a file was added";
    if (after.report != before.report) return "the check now says " + after.report;
    return "";
}

}  // namespace tavik::test
