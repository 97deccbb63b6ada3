// Opening a big record list: the file list of a catalogue of 100,000 and of 300,000 files in the
// catalog list's record model, timed from the query to the first screen's cells (offscreen Qt),
// then a scroll to the middle and to the end, and a click on a column header.
#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>

#include "../CatalogueFill.h"
#include "base/UserPrompt.h"
#include "database/DisplaySpec.h"
#include "views/RecordListModel.h"

using namespace tavik;
using bench::Seconds;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kScreenRows = 40;

// Reads the cells of a screenful of rows from `first` on, as the view paints them.
void ReadScreen(CRecordListModel& model, int first) {
    for (int r = first; r < first + kScreenRows && r < model.rowCount(); ++r)
        for (int c = 0; c < model.columnCount(); ++c)
            (void)model.data(model.index(r, c), Qt::DisplayRole);
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    namespace fs = std::filesystem;
    char pattern[] = "/tmp/tavik-bench-records-XXXXXX";
    if (!mkdtemp(pattern)) return 1;
    const fs::path folder = pattern;
    for (long files : {100000L, 300000L}) {
        std::error_code ec;
        fs::remove(folder / "list.db", ec);
        fs::remove(folder / "list.db-wal", ec);
        fs::remove(folder / "list.db-shm", ec);
        CatalogueOptions options;
        CCatalogue catalogue(options, SilentPrompt());
        const std::string path = (folder / "list.db").string();
        if (!catalogue.Create(path) || !bench::FillCatalogue(catalogue, files / 30, files))
            return 1;
        catalogue.Close();
        if (!catalogue.Open(path)) return 1;
        const DisplayDefaults& d = catalogue.Display();
        const std::vector<uint32_t> codes =
            BuildColumns(d.fileFields, ListCaptions(ListKind::FileQuery), d.fileSizes, false);

        CRecordListModel model;
        auto start = Clock::now();
        const std::clock_t cpu = std::clock();
        CFileSet& set = catalogue.FileSet();
        if (!set.Open("SELECT ALL * FROM [Files]")) return 1;
        model.Fill(ListMode::FileRecords, set, codes, SilentPrompt());
        ReadScreen(model, 0);
        const double first = Seconds(start);
        const double firstCpu = static_cast<double>(std::clock() - cpu) / CLOCKS_PER_SEC;
        start = Clock::now();
        ReadScreen(model, model.rowCount() / 2);
        ReadScreen(model, model.rowCount() - kScreenRows);
        const double scroll = Seconds(start);
        start = Clock::now();
        model.SortByColumn(2);
        ReadScreen(model, 0);
        const double sort = Seconds(start);
        std::printf(
            "record list of %ld files: first screen %.3f s (CPU %.3f s); middle and end %.3f s; "
            "sorted by a column %.3f s (target: first screen < 0.2 s)\n",
            files, first, firstCpu, scroll, sort);
    }
    fs::remove_all(folder);
    return 0;
}
