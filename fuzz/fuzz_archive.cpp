// Reads arbitrary bytes as the data of an Archiver file and extracts what it holds onto a small
// disk. The first byte chooses whether the rest is the stored file (the code stream or a plain
// archive) or a plain archive that is compressed first, so that both the code reader and the
// directory reader meet arbitrary input, and how big the disk is. Whatever the bytes: intact
// files hold exactly their sectors, a readable archive written again reads back the same, and
// the extraction either succeeds on a consistent disk or leaves the disk's VIB and index as
// they were.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "DiskConsistency.h"
#include "base/PcFile.h"
#include "disk/VirtualDrive.h"
#include "exchange/ArkLzw.h"
#include "exchange/ArkTransfer.h"

using namespace tavik;

namespace {

using fuzz::Require;

bool SameFiles(const CArkFile& a, const CArkFile& b) {
    if (a.members.size() != b.members.size()) return false;
    for (size_t i = 0; i < a.members.size(); ++i) {
        const FileProperties &f = a.members[i].image.file, &g = b.members[i].image.file;
        if (f.name != g.name || f.status != g.status || f.sectors != g.sectors ||
            f.records != g.records || f.recordLength != g.recordLength ||
            a.members[i].image.data != b.members[i].image.data)
            return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0 || size > 8 * 1024) return 0;
    const uint8_t choice = data[0];
    std::vector<uint8_t> bytes(data + 1, data + size);
    if (choice & 1) bytes = ArkCompress(bytes.data(), bytes.size());

    CArkFile ark;
    std::string error;
    if (!ark.Parse(bytes.data(), bytes.size(), error)) {
        Require(!error.empty());
        return 0;
    }
    std::vector<std::string> intact;
    for (const ArkMember& m : ark.members) {
        if (!m.damage.empty()) continue;
        Require(m.image.data.size() == size_t{m.image.file.sectors} * 256);
        intact.emplace_back(reinterpret_cast<const char*>(m.image.file.name.data()), 10);
    }
    if (ark.FirstDamage().empty()) {
        const std::vector<uint8_t> again = ark.Bytes();
        CArkFile back;
        Require(back.Parse(again.data(), again.size(), error) == 1);
        Require(back.compressed == ark.compressed && back.FirstDamage().empty());
        Require(SameFiles(ark, back));
    }
    if (intact.empty()) return 0;

    const int total = (choice & 2) ? 40 : 360;  // a tiny disk makes "disk full" likely
    CVirtualDrive drive;
    auto image = std::make_unique<CMemFile>(std::vector<uint8_t>(360 * 256, 0));
    CMemFile* file = image.get();
    Require(drive.MountFile(std::move(image), 0, 0, -1) == DriveKind::DoadImage);
    Require(drive.Format("FUZZ", false, false, total, 40) != 0);
    const std::vector<uint8_t> before = file->Bytes();
    if (!ExtractArkMembers(ark, intact, drive, false, error)) {
        Require(!error.empty());
        Require(std::memcmp(before.data(), file->Bytes().data(), 512) == 0);
        return 0;
    }
    fuzz::RequireConsistentDisk(drive);
    return 0;
}
