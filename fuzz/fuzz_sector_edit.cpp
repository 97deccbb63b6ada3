// Drives the sector editor's rules with arbitrary keystrokes and disks: each four input bytes
// are a caret (line, column), a character and an operation (type, type inserting, delete); the
// caret must stay inside the dump and the dump keep its shape. The rest of the input is laid
// over a 360-sector dump whose FDR, chosen by the first byte, feeds the file moves, which must
// stay between the FDR and the file's last data sector.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "base/PcFile.h"
#include "disk/SectorEditBuffer.h"
#include "disk/SectorMoves.h"
#include "disk/SectorRanges.h"
#include "disk/VirtualDrive.h"

using namespace tavik;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4) return 0;
    CSectorEditBuffer edit;
    Sector start{};
    std::memcpy(start.data(), data, std::min(size, start.size()));
    edit.Load(start.data());
    const size_t keys = std::min<size_t>(size / 4, 64);
    for (size_t k = 0; k < keys; ++k) {
        const uint8_t* key = data + 4 * k;
        Caret caret{key[0] % 18, key[1] % 69};
        switch (key[3] % 3) {
            case 0:
            case 1:
                edit.Type(caret, static_cast<char>(key[2]), key[3] % 3 == 1);
                if (caret.line < 0 || caret.line > 17 || caret.column < 0 || caret.column > 68)
                    std::abort();
                break;
            default:
                edit.DeleteAfter(caret);
        }
        if (CSectorEditBuffer::ByteAtCaret(caret) > 255) std::abort();
    }
    if (edit.Text().size() != 16 * 70 - 2) std::abort();

    const std::string text(reinterpret_cast<const char*>(data), std::min<size_t>(size, 12));
    SectorSpan span;
    std::string error;
    if (ReadSectorSpan(text, text.substr(text.size() / 2), 1600, data[1], span, error) &&
        (span.first < 0 || span.last > 1600 || span.last < span.first))
        std::abort();

    std::vector<uint8_t> image(360 * kSectorSize, 0);
    std::memcpy(image.data(), data, std::min(size, image.size()));
    CVirtualDrive drive;
    if (!drive.MountFile(std::make_unique<CMemFile>(std::move(image)), 0, 0, -1)) return 0;
    const int fdr = 2 + data[0] % 40;
    std::vector<int> sectors;
    if (!ReadFileSectors(drive, fdr, sectors)) return 0;
    const int last = static_cast<int>(sectors.size()) - 1;
    int position = kFdrPosition;
    for (size_t k = 0; k < keys; ++k) {
        switch (data[4 * k + 2] % 4) {
            case 0:
                position = NextInFile(sectors, position);
                break;
            case 1:
                position = PreviousInFile(sectors, position);
                break;
            case 2:
                position = NextClusterInFile(sectors, position);
                break;
            default:
                position = PreviousClusterInFile(sectors, position);
        }
        if (position < kFdrPosition || position > std::max(last, kFdrPosition)) std::abort();
        if (SectorAtPosition(sectors, fdr, position) < 0) std::abort();
    }
    return 0;
}
