// The catalogs of disk images written by other tools and by real TI-99/4A machines, compared
// with the catalogs recorded beside them (.tsv: name, sectors with the FDR, type, records).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/CatalogJson.h"
#include "cli/CliCommand.h"
#include "disk/VirtualDrive.h"
#include "support/TestSupport.h"

namespace tavik {
namespace {

struct TsvRow {
    std::string name;
    int sectors = 0;
    std::string type;
    int records = 0;
};

std::vector<TsvRow> ReadTsv(const std::string& path) {
    std::vector<TsvRow> rows;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty()) continue;
        std::istringstream fields(line);
        TsvRow r;
        std::string sectors, records;
        std::getline(fields, r.name, '\t');
        std::getline(fields, sectors, '\t');
        std::getline(fields, r.type, '\t');
        std::getline(fields, records, '\t');
        r.sectors = std::stoi(sectors);
        r.records = std::stoi(records);
        rows.push_back(r);
    }
    return rows;
}

// Records of a variable-length file as found in its data: each sector holds length-prefixed
// records up to a length byte of 0xFF. A sector that begins with 0xFF is filled by a single
// record of 255 bytes (no room is left for the end mark).
int CountVariableRecords(CVirtualDrive& drive, int fdr, int sectors) {
    int count = 0;
    for (int i = 0; i < sectors; ++i) {
        Sector s{};
        if (drive.FileToDiskSector(fdr, i, s.data()) <= 0) break;
        if (s[0] == 0xFF) {
            ++count;
            continue;
        }
        for (size_t p = 0; p < s.size() && s[p] != 0xFF; p += s[p] + 1u)
            ++count;
    }
    return count;
}

void CheckFolder(const std::string& folder) {
    int images = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() != ".dsk") continue;
        const std::string image = entry.path().string();
        std::filesystem::path tsv = entry.path();
        tsv.replace_extension(".tsv");
        if (!std::filesystem::exists(tsv)) continue;
        SCOPED_TRACE(image);
        ++images;

        std::ostringstream out, err;
        ASSERT_EQ(cli::RunCli({"dir", "--json", image}, out, err), cli::kExitOk) << err.str();
        const cli::Json json = cli::Json::parse(out.str());
        const std::vector<TsvRow> expected = ReadTsv(tsv.string());
        const cli::Json& files = json["files"];
        ASSERT_EQ(files.size(), expected.size());
        EXPECT_EQ(json["disk"]["files"], expected.size());

        CVirtualDrive drive;
        ASSERT_TRUE(drive.OpenImage(image));
        for (size_t i = 0; i < expected.size(); ++i) {
            const cli::Json& f = files[i];
            const TsvRow& row = expected[i];
            EXPECT_EQ(f["name"], row.name);
            EXPECT_EQ(f["sectors"].get<int>() + 1, row.sectors) << row.name;
            EXPECT_EQ(f["type"], row.type) << row.name;
            int records = f["records"].get<int>();
            if (row.type.size() > 1 && row.type[1] == 'V')
                records = CountVariableRecords(drive, f["fdr"].get<int>(), f["sectors"].get<int>());
            EXPECT_EQ(records, row.records) << row.name;
            // The clusters hold exactly the file's data sectors.
            int clustered = 0;
            for (const auto& c : f["clusters"])
                clustered += c[1].get<int>() - c[0].get<int>() + 1;
            EXPECT_EQ(clustered, f["sectors"].get<int>()) << row.name;
        }
    }
    EXPECT_GT(images, 0);
}

TEST(Conformance, PeerDiskCatalogs) {
    TAVIK_REQUIRE_TESTDATA(folder, "peer/disks");
    CheckFolder(folder);
}

TEST(Conformance, RealDiskCatalogs) {
    TAVIK_REQUIRE_TESTDATA(folder, "real");
    CheckFolder(folder);
}

}  // namespace
}  // namespace tavik
