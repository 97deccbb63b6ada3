// Loads arbitrary bytes as a workspace file. Loading must stop cleanly on any damage, never
// crash, leak or allocate far more than the input could hold. Images are opened from memory so
// that the input cannot reach files of the machine.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "app/Workspace.h"

using namespace tavik;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    COptions options;
    CTreeModel tree;
    tree.CreateRoots();
    CSilentPrompt prompt;
    CWorkspace workspace(options, tree, prompt);
    workspace.SetImageOpener([](const std::string& path) -> std::unique_ptr<CVirtualDrive> {
        if (path != "a.dsk") return nullptr;
        std::vector<uint8_t> image(256 * 360, 0);
        image[13] = 'D';
        image[14] = 'S';
        image[15] = 'K';
        auto drive = std::make_unique<CVirtualDrive>();
        if (!drive->MountFile(std::make_unique<CMemFile>(std::move(image)), 0, 0, -1))
            return nullptr;
        return drive;
    });
    CMemFile file(std::vector<uint8_t>(data, data + size));
    workspace.Read(file);
    return 0;
}
