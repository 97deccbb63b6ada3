// Mounts a folder of generated disk images through the drive tree, as "Mount PC folder..."
// does, and reports the time taken, the items inserted and the descriptors open afterwards.
//   tavik-bench-folder [--images N] [--keep-limit]
// The open-file limit is lowered to 1024 first (unless --keep-limit) so that a mount holding
// one descriptor per image would fail here.
#include <sys/resource.h>

#include <QApplication>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "ImageBuilder.h"
#include "app/CurrentDisk.h"
#include "app/Options.h"
#include "app/TreeModel.h"
#include "qt/QtUserPrompt.h"
#include "views/DriveView.h"

using namespace tavik;

namespace {

int OpenDescriptors() {
    int n = 0;
    std::error_code ec;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator("/proc/self/fd", ec))
        ++n;
    return n;
}

}  // namespace

int main(int argc, char** argv) {
    int images = 5000;
    bool keepLimit = false;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--images") && i + 1 < argc) images = std::atoi(argv[++i]);
        if (!std::strcmp(argv[i], "--keep-limit")) keepLimit = true;
    }
    if (!keepLimit) {
        rlimit limit{};
        getrlimit(RLIMIT_NOFILE, &limit);
        limit.rlim_cur = 1024;
        setrlimit(RLIMIT_NOFILE, &limit);
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qt(argc, argv);

    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("tavik-folder-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    for (int i = 0; i < images; ++i) {
        test::CImageBuilder image(i % 3 ? 360 : 720, i % 3 == 0);
        image.SetName("DISK" + std::to_string(i));
        image.AddFile(test::BuiltFile::Program("PROG", std::vector<uint8_t>(500, 7)));
        const std::vector<uint8_t>& bytes = image.Image();
        char name[32];
        std::snprintf(name, sizeof name, "D%05d.DSK", i);
        std::ofstream(folder / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }
    // A few files that are no disk images: they must be skipped, not mounted.
    std::ofstream(folder / "README.TXT") << "not a disk\n";

    CTreeModel tree;
    tree.CreateRoots();
    COptions options;
    CQtUserPrompt prompt;
    std::string clip;
    CCurrentDisk disk(tree);
    CDriveView view({tree, options, prompt, clip, disk});
    view.resize(300, 600);
    view.show();
    QApplication::processEvents();

    const auto start = std::chrono::steady_clock::now();
    view.MountPcFolder(folder.string());
    QApplication::processEvents();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    const CTreeItem* pc = tree.PcRootItem();
    const CTreeItem* mounted = pc->ChildCount() ? pc->Child(pc->ChildCount() - 1) : nullptr;
    const int items = mounted ? mounted->ChildCount() : 0;
    std::printf("images %d, mounted %d, %.2f s (%.0f images/s), descriptors open %d\n", images,
                items, seconds, items / seconds, OpenDescriptors());
    std::filesystem::remove_all(folder);
    return items == images ? 0 : 1;
}
