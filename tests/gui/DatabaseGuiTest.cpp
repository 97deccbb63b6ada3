// The catalogue in the desktop program: the database root follows the catalogue's state,
// New/Open/Close, adding disks with the duplicate dialog, the record lists with their columns,
// sorting, editing in place, mounting and removing recorded disks.
#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QDir>
#include <QHeaderView>
#include <QInputDialog>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <filesystem>

#include "GuiFixture.h"
#include "app/ListSort.h"
#include "database/DisplaySpec.h"
#include "database/ParamSet.h"
#include "database/dialogs/DuplicateDialog.h"
#include "database/dialogs/ExportDialog.h"
#include "database/dialogs/MergeDialog.h"
#include "database/dialogs/ParamNotFoundDialog.h"
#include "database/dialogs/RecordDialog.h"
#include "database/query/QueryStore.h"
#include "qt/DialogRunner.h"
#include "qt/FileChooser.h"
#include "views/CatalogModel.h"
#include "views/DatabaseCommands.h"
#include "views/DiskView.h"
#include "views/DriveView.h"
#include "views/RecordListModel.h"
#include "views/TreeItemModel.h"

namespace tavik {
namespace {

using test::CProgram;

// ---- The program ----------------------------------------------------------------------------

// A program with a catalogue created in its folder; dialogs are answered by the test.
class DatabaseGui : public ::testing::Test {
protected:
    void SetUp() override {
        folder = test::TempFolder();
        program = std::make_unique<CProgram>(folder);
        ASSERT_TRUE(program->Started());
        SetStandingAnswer([this](QDialog& d) { Answer(d); });
        nextFile = folder + "/Catalogue";
        ASSERT_TRUE(frame().Execute(CommandId::DbNew));
        ASSERT_TRUE(program->App().Database().IsOpen());
    }

    void Answer(QDialog& d) {
        if (AnswerFileDialog(d, nextFile)) return;
        if (auto* dup = dynamic_cast<CDuplicateDialog*>(&d)) {
            duplicates.push_back(dup->Mode());
            QTreeWidget* list = dup->List();
            std::vector<int> ids;
            for (int i = 0; i < list->topLevelItemCount(); ++i)
                ids.push_back(list->topLevelItem(i)->text(2).toInt());
            duplicateRows.push_back(ids);
            if (!screenshot.empty()) {
                dup->grab().save(QString::fromStdString(screenshot));
                screenshot.clear();
            }
            if (onDuplicate) {
                onDuplicate(*dup);
                return;
            }
            const DuplicateButton b = dup->Mode() == IdenticalFile ? fileAnswer : diskAnswer;
            dup->Press(b);
        } else if (auto* record = dynamic_cast<CRecordDialog*>(&d)) {
            ++reviews;
            if (onRecord) {
                onRecord(*record);
                return;
            }
            record->accept();
        } else if (fill) {
            fill(d);
        } else {
            d.reject();
        }
    }

    CMainFrame& frame() { return program->Frame(); }
    CDatabaseCommands& commands() { return frame().DatabaseCommands(); }
    CDiskView& list() { return *frame().DiskView(); }
    CRecordListModel& records() { return *list().RecordModel(); }
    CTreeModel& tree() { return program->App().Tree(); }

    CTreeItem* Mount(const std::string& path) {
        CTreeItem* item = frame().DriveView()->MountByPath(path, tree().PcRootItem());
        EXPECT_NE(item, nullptr) << path;
        return item;
    }
    bool AddSelected(CTreeItem* item) {
        frame().DriveView()->Select(item);
        return frame().Execute(CommandId::DbAddDisk);
    }
    std::vector<std::string> Headers() {
        std::vector<std::string> h;
        for (int c = 0; c < records().columnCount(); ++c)
            h.push_back(records().Header(c));
        return h;
    }
    int ColumnOf(const std::string& caption) {
        for (int c = 0; c < records().columnCount(); ++c)
            if (HeaderWithoutMark(records().Header(c)) == caption) return c;
        return -1;
    }
    void SelectRow(int row) {
        list().selectionModel()->select(
            records().index(row, 0),
            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    long Count(const std::string& table) {
        CRecordSet set(&program->App().Database().Catalogue().Database());
        return set.Open("SELECT ALL * FROM [" + table + "]") ? set.GetRecordCount() : -1;
    }

    std::string folder;
    std::unique_ptr<CProgram> program;
    std::string nextFile;
    std::vector<int> duplicates;
    std::vector<std::vector<int>> duplicateRows;
    DuplicateButton diskAnswer = DuplicateButton::Cancel;
    DuplicateButton fileAnswer = DuplicateButton::UseOld;
    int reviews = 0;
    std::string screenshot;
    std::function<void(QDialog&)> fill;  // other dialogs
    std::function<void(CDuplicateDialog&)> onDuplicate;
    std::function<void(CRecordDialog&)> onRecord;
};

TEST_F(DatabaseGui, NewGivesTheDefaultExtensionAndLabelsTheRoot) {
    CTreeItem* root = tree().DatabaseRootItem();
    EXPECT_EQ(root->Kind(), NodeKind::DatabaseOpen);
    EXPECT_EQ(program->App().Database().Catalogue().Path(), folder + "/Catalogue.db");
    EXPECT_EQ(program->App().Options().lastDatabaseFolder, folder);
    EXPECT_TRUE(frame().IsEnabled(CommandId::DbBrowseAllDisks));
}

TEST_F(DatabaseGui, AddedDisksAreListedWithTheDefaultColumnsAndASecondAddAsks) {
    TAVIK_REQUIRE_TESTDATA(peer, "peer");
    CTreeItem* sample = Mount(test::WriteImage(folder, "Sample.dsk", "SAMPLE", 3));
    CTreeItem* tirecs = Mount(peer + "/disks/tirecs.dsk");
    ASSERT_TRUE(sample && tirecs);
    EXPECT_TRUE(AddSelected(sample));
    EXPECT_TRUE(AddSelected(tirecs));
    const int peerFiles = list().Model()->rowCount();  // the catalog of the disk last selected
    ASSERT_GT(peerFiles, 0);
    EXPECT_TRUE(duplicates.empty());
    EXPECT_EQ(reviews, 2 + 3 + peerFiles) << "one disk review and one per file";

    ASSERT_TRUE(frame().Execute(CommandId::DbBrowseAllDisks));
    EXPECT_EQ(list().Mode(), ListMode::DiskRecords);
    EXPECT_EQ(Headers(), (std::vector<std::string>{"ID", "Disk name", "Size", "CRC-S", "CRC-F",
                                                   "Info1", "Info2", "Drive type", "Drive"}));
    ASSERT_EQ(records().rowCount(), 2);
    const int firstId = records().RecordId(0);
    EXPECT_EQ(records().Cell(0, ColumnOf("Disk name")), "SAMPLE    ");
    EXPECT_EQ(records().Cell(0, ColumnOf("Drive type")), "DOAD");
    EXPECT_EQ(records().Cell(1, ColumnOf("Drive")), peer + "/disks/tirecs.dsk");
    EXPECT_EQ(records().data(records().index(0, ColumnOf("Size")), Qt::TextAlignmentRole).toInt(),
              int(Qt::AlignRight | Qt::AlignVCenter));
    // The size list's 0xC032, or wider where the header and its arrow need more.
    EXPECT_GE(list().header()->sectionSize(ColumnOf("Size")), 50);

    // The same disk again: the sector checksum finds the first row; Cancel writes nothing.
    screenshot = (QDir::tempPath() + "/tavik-duplicate.png").toStdString();
    AddSelected(sample);
    ASSERT_EQ(duplicates, (std::vector<int>{IdenticalSectors}));
    EXPECT_EQ(duplicateRows.back(), (std::vector<int>{firstId}));
    EXPECT_EQ(Count("Disks"), 2);
    // "Create new entry": a second row, and each of its files is asked about (Use old entry).
    diskAnswer = DuplicateButton::CreateNew;
    AddSelected(sample);
    EXPECT_EQ(std::count(duplicates.begin(), duplicates.end(), IdenticalFile), 3);
    EXPECT_EQ(Count("Disks"), 3);
    EXPECT_EQ(Count("Files"), 3 + peerFiles);
    EXPECT_EQ(Count("DiskFileMM"), 3 + peerFiles + 3);

    // The duplicate report in the list: the two rows of SAMPLE, then its three files.
    ASSERT_TRUE(frame().Execute(CommandId::DbBrowseDuplicateDisks));
    EXPECT_EQ(list().Mode(), ListMode::DiskRecords);
    ASSERT_EQ(records().rowCount(), 2);
    EXPECT_EQ(records().Cell(0, ColumnOf("Disk name")), "SAMPLE    ");
    EXPECT_EQ(records().Cell(1, ColumnOf("Disk name")), "SAMPLE    ");
    ASSERT_TRUE(frame().Execute(CommandId::DbBrowseDuplicateFiles));
    EXPECT_EQ(list().Mode(), ListMode::FileRecords);
    EXPECT_EQ(records().rowCount(), 3);
}

TEST_F(DatabaseGui, RemoveMountAndCloseActOnTheListedDisks) {
    program->App().Options().reviewDiskInfo = 0;
    program->App().Options().reviewFileInfo = 0;
    CTreeItem* a = Mount(test::WriteImage(folder, "A.dsk", "ALPHA", 1));
    CTreeItem* b = Mount(test::WriteImage(folder, "B.dsk", "BRAVO", 2));
    ASSERT_TRUE(AddSelected(a) && AddSelected(b));
    EXPECT_EQ(reviews, 0);
    frame().Execute(CommandId::DbBrowseAllDisks);
    ASSERT_EQ(records().rowCount(), 2);
    EXPECT_FALSE(frame().IsEnabled(CommandId::DbRemoveDisk));  // nothing selected

    // Mount disk: the recorded image comes back under "PC".
    const int before = tree().PcRootItem()->ChildCount();
    SelectRow(1);
    ASSERT_TRUE(frame().Execute(CommandId::DbMountDisk));
    ASSERT_EQ(tree().PcRootItem()->ChildCount(), before + 1);
    CTreeItem* mounted = tree().PcRootItem()->Child(before);
    EXPECT_EQ(mounted->Node().path, folder + "/B.dsk");
    EXPECT_EQ(list().Mode(), ListMode::DiskRecords) << "mounting keeps the list";

    // Remove disk: the row and its files go; the other disk stays.
    SelectRow(0);
    ASSERT_TRUE(frame().Execute(CommandId::DbRemoveDisk));
    ASSERT_EQ(records().rowCount(), 1);
    EXPECT_EQ(records().Cell(0, ColumnOf("Disk name")), "BRAVO     ");
    EXPECT_EQ(Count("Disks"), 1);
    EXPECT_EQ(Count("Files"), 2);

    // Close: the list empties and the database items grey; the list-bound items follow the
    // list alone.
    SelectRow(0);
    ASSERT_TRUE(frame().Execute(CommandId::DbClose));
    EXPECT_EQ(records().rowCount(), 0);
    EXPECT_EQ(tree().DatabaseRootItem()->Text(), "Database closed");
    for (CommandId id : {CommandId::DbClose, CommandId::DbBrowseAllDisks, CommandId::DbAddDisk,
                         CommandId::DbMountDisk, CommandId::DbExport})
        EXPECT_FALSE(frame().IsEnabled(id)) << static_cast<int>(id);
    EXPECT_TRUE(frame().IsEnabled(CommandId::DbOpen));

    nextFile = folder + "/Catalogue.db";
    ASSERT_TRUE(frame().Execute(CommandId::DbOpen));
    frame().Execute(CommandId::DbBrowseAllDisks);
    EXPECT_EQ(records().rowCount(), 1);
}

TEST_F(DatabaseGui, ColumnClicksSortNumbersAsNumbersAndReverse) {
    // The disk catalog: files of 9 and 10 sectors.
    test::CImageBuilder image;
    image.SetName("SIZES");
    image.AddFile(test::BuiltFile::Program("TEN", std::vector<uint8_t>(10 * 256, 1)));
    image.AddFile(test::BuiltFile::Program("NINE", std::vector<uint8_t>(9 * 256, 2)));
    image.AddFile(test::BuiltFile::Program("one", std::vector<uint8_t>(256, 3)));
    test::WriteBytes(folder + "/sizes.dsk", image.Image());
    CTreeItem* item = Mount(folder + "/sizes.dsk");
    frame().DriveView()->Select(item);
    CCatalogModel& catalog = *list().Model();
    ASSERT_EQ(catalog.rowCount(), 3);
    auto column = [&](int c) {
        std::vector<std::string> cells;
        for (int r = 0; r < catalog.rowCount(); ++r)
            cells.push_back(
                catalog.data(catalog.index(r, c), Qt::DisplayRole).toString().toStdString());
        return cells;
    };
    // The header shows its caption and the drawn arrow, not a mark in its text.
    auto header = [&](int c) {
        std::string text =
            catalog.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString().toStdString();
        if (list().header()->sortIndicatorSection() == c)
            text +=
                list().header()->sortIndicatorOrder() == Qt::AscendingOrder ? " (up)" : " (down)";
        return text;
    };
    const int fdrs = static_cast<int>(list().SelectedFdrs().size());
    EXPECT_EQ(fdrs, 0);
    list().header()->sectionClicked(CCatalogModel::Size);
    EXPECT_EQ(column(CCatalogModel::Size), (std::vector<std::string>{"1", "9", "10"}));
    EXPECT_EQ(header(CCatalogModel::Size), "Size (up)");
    list().header()->sectionClicked(CCatalogModel::Size);
    EXPECT_EQ(column(CCatalogModel::Size), (std::vector<std::string>{"10", "9", "1"}));
    EXPECT_EQ(header(CCatalogModel::Size), "Size (down)");
    // Another header takes the mark; capitals sort before small letters.
    list().header()->sectionClicked(CCatalogModel::Name);
    EXPECT_EQ(header(CCatalogModel::Size), "Size");
    EXPECT_EQ(header(CCatalogModel::Name), "File name (up)");
    EXPECT_EQ(column(CCatalogModel::Name)[2], "one       ");
    // The rows keep their files: the FDR of the selected row is that of "one".
    list().selectionModel()->select(
        catalog.index(2, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    ASSERT_EQ(list().SelectedFdrs().size(), 1u);
    FileProperties one;
    ASSERT_TRUE(item->Drive()->GetFileProperties(list().SelectedFdrs()[0], one));
    EXPECT_EQ(std::string(one.name.begin(), one.name.end()), "one       ");

    // A record list: the parameter types 1, 4 and 10 in a numeric column.
    CCatalogue& catalogue = program->App().Database().Catalogue();
    ASSERT_TRUE(NewParameter(catalogue, "A", 10));
    ASSERT_TRUE(NewParameter(catalogue, "B", 4));
    ASSERT_TRUE(NewParameter(catalogue, "C", 1));
    frame().DriveView()->Select(tree().ParametersItem());
    ASSERT_EQ(list().Mode(), ListMode::Parameters);
    EXPECT_EQ(list().Model()->Drive(), nullptr) << "the record list forgets the drive";
    const int type = ColumnOf("Type");
    ASSERT_GE(type, 0);
    list().header()->sectionClicked(type);
    EXPECT_EQ(records().Cell(0, type), "1");
    EXPECT_EQ(records().Cell(2, type), "10");
    EXPECT_EQ(records().Header(type), "Type  ^");
    list().header()->sectionClicked(type);
    EXPECT_EQ(records().Cell(0, type), "10");
    EXPECT_EQ(records().Header(type), "Type  v");
}

TEST_F(DatabaseGui, EditedCellsAreStoredOnlyWhereTheFieldMayBeEdited) {
    struct Case {
        ListMode mode;
        int field;
        bool unlocked;
        bool editable;
    };
    const Case cases[] = {
        {ListMode::DiskRecords, 17, true, true},   {ListMode::DiskRecords, 16, true, false},
        {ListMode::DiskRecords, 18, false, false}, {ListMode::FileRecords, 14, true, true},
        {ListMode::FileRecords, 13, true, false},  {ListMode::SavedQueries, 11, false, true},
        {ListMode::SavedQueries, 0, true, false},  {ListMode::Parameters, 0, false, true},
        {ListMode::Parameters, 1, true, false},    {ListMode::SqlResults, 0, true, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CRecordListModel::FieldEditable(c.mode, c.field, c.unlocked), c.editable)
            << static_cast<int>(c.mode) << " " << c.field;

    program->App().Options().reviewDiskInfo = 0;
    program->App().Options().reviewFileInfo = 0;
    program->App().Options().unlockEditing = 1;
    ASSERT_TRUE(AddSelected(Mount(test::WriteImage(folder, "E.dsk", "EDIT", 1))));
    frame().Execute(CommandId::DbBrowseAllDisks);
    const int info1 = ColumnOf("Info1");
    ASSERT_TRUE(records().setData(records().index(0, info1), "shelf 3", Qt::EditRole));
    EXPECT_FALSE(records().setData(records().index(0, ColumnOf("CRC-S")), "0", Qt::EditRole));
    CDiskSet check(&program->App().Database().Catalogue().Database());
    ASSERT_TRUE(check.Open("SELECT ALL * FROM [Disks]"));
    EXPECT_EQ(check.GetFieldValue("Info1").AsText(), "shelf 3");
    // Emptied text is stored as null.
    ASSERT_TRUE(records().setData(records().index(0, info1), "", Qt::EditRole));
    ASSERT_TRUE(check.Open("SELECT ALL * FROM [Disks]"));
    EXPECT_TRUE(check.GetFieldValue("Info1").IsNull());

    // Parameters: the type is checked by the catalogue, a name may not be taken twice.
    CCatalogue& catalogue = program->App().Database().Catalogue();
    ASSERT_TRUE(NewParameter(catalogue, "Shelf", 10, "3"));
    ASSERT_TRUE(NewParameter(catalogue, "Box", 4, "7"));
    frame().DriveView()->Select(tree().ParametersItem());
    ASSERT_EQ(records().rowCount(), 2);
    const int name = ColumnOf("Name");
    const int shelf = records().Cell(0, name) == "Shelf" ? 0 : 1;
    const int box = 1 - shelf;
    auto& prompt = program->Prompt();
    prompt.messages.clear();
    EXPECT_FALSE(records().setData(records().index(shelf, ColumnOf("Type")), "list", Qt::EditRole));
    EXPECT_EQ(records().Cell(shelf, ColumnOf("Type")), "10");
    EXPECT_FALSE(records().setData(records().index(box, name), "Shelf", Qt::EditRole));
    ASSERT_EQ(prompt.messages.size(), 2u);
    EXPECT_EQ(prompt.messages[1], "A parameter with this name already exists.");
    EXPECT_TRUE(records().setData(records().index(box, ColumnOf("Value")), "8", Qt::EditRole));
    EXPECT_TRUE(records().setData(records().index(shelf, ColumnOf("Type")), "NUM", Qt::EditRole));
    CParamSet params(&catalogue.Database());
    ASSERT_TRUE(params.Open("SELECT ALL * FROM [Params] WHERE [Name] = \"Box\""));
    EXPECT_EQ(params.GetFieldValue("Value").AsText(), "8");
    ASSERT_TRUE(params.Open("SELECT ALL * FROM [Params] WHERE [Name] = \"Shelf\""));
    EXPECT_EQ(params.GetFieldValue("Type").AsInteger(), 4);
}

TEST_F(DatabaseGui, PastingADriveOnTheDatabaseAddsItAndQueryNodesListTheirRows) {
    program->App().Options().reviewDiskInfo = 0;
    program->App().Options().reviewFileInfo = 0;
    CTreeItem* item = Mount(test::WriteImage(folder, "P.dsk", "PASTED", 2));
    CTreeItem* other = Mount(test::WriteImage(folder, "Q.dsk", "OTHER", 1));
    CDriveView& view = *frame().DriveView();
    frame().SetActivePane(Pane::DriveTree);
    for (CTreeItem* drive : {item, other}) {
        view.Select(drive);
        ASSERT_TRUE(frame().Execute(CommandId::EditCopy));
        view.Select(tree().DatabaseRootItem());
        ASSERT_TRUE(frame().Execute(CommandId::EditPaste));
    }
    EXPECT_EQ(Count("Disks"), 2);

    // A disk query node lists what it selects, in the node's own columns.
    CTreeNode node(NodeKind::DiskQuery, {}, "Pasted");
    node.predicate = "SELECT ALL ";
    node.where = "[Disk name] LIKE \"PAS*\"";
    node.display = "[Disk name] [Files]";
    CTreeItem* query = tree().Insert(tree().DatabaseRootItem(), std::move(node), "Pasted");
    view.Select(query);
    ASSERT_EQ(list().Mode(), ListMode::DiskRecords);
    ASSERT_EQ(records().rowCount(), 1);
    EXPECT_EQ(Headers(), (std::vector<std::string>{"Disk name", "Files"}));
    EXPECT_EQ(records().Cell(0, 1), "2");
    EXPECT_EQ(query->Node().columns.size(), 2u) << "the columns are kept with the node";
    EXPECT_EQ(commands().ShownNode(), query);
    // A changed display empties the node's columns; the list shows the new ones when redrawn.
    query->Node().display = "[Files]<right> [ID]";
    query->Node().columns.clear();
    commands().Redraw();
    EXPECT_EQ(Headers(), (std::vector<std::string>{"Files", "ID"}));

    // Copy: the title line and the internal clip of the selected records.
    SelectRow(0);
    frame().SetActivePane(Pane::CatalogList);
    ASSERT_TRUE(frame().Execute(CommandId::EditCopy));
    EXPECT_TRUE(list().ListAsText().startsWith("Disk query: Pasted\r\nFiles\tID\r\n"));
    EXPECT_EQ(program->App().InternalClip(), "<" + std::to_string(query->Id()) +
                                                 "> Queried disks\r\n" +
                                                 std::to_string(records().RecordId(0)));

    // A free SQL node lists the statement's rows; without a display text every field shows.
    CTreeNode sql(NodeKind::SqlQuery, {}, "Count");
    sql.sql = "SELECT COUNT(*) AS N FROM [Disks]";
    CTreeItem* sqlItem = tree().Insert(tree().DatabaseRootItem(), std::move(sql), "Count");
    view.Select(sqlItem);
    ASSERT_EQ(list().Mode(), ListMode::SqlResults);
    ASSERT_EQ(records().rowCount(), 1);
    EXPECT_EQ(records().Cell(0, 0), "2");

    // A free SQL command is not executed by selecting its node, only when run.
    ASSERT_TRUE(NewParameter(program->App().Database().Catalogue(), "Gone", 10));
    CTreeNode command(NodeKind::SqlQuery, {}, "Purge params");
    command.sql = "DELETE FROM [Params]";
    command.display = "None";
    CTreeItem* commandItem =
        tree().Insert(tree().DatabaseRootItem(), std::move(command), "Purge params");
    program->Prompt().messages.clear();
    view.Select(commandItem);
    EXPECT_EQ(Count("Params"), 1);
    commands().RunQueryItem(commandItem);
    EXPECT_EQ(Count("Params"), 0);
    EXPECT_EQ(program->Prompt().messages, (std::vector<std::string>{"Modified 1 records"}));
}

TEST_F(DatabaseGui, ExportedTextMergesIntoANewCatalogueAndPropertiesReportIt) {
    program->App().Options().reviewDiskInfo = 0;
    program->App().Options().reviewFileInfo = 0;
    ASSERT_TRUE(AddSelected(Mount(test::WriteImage(folder, "X.dsk", "XRAY", 2))));
    ASSERT_TRUE(AddSelected(Mount(test::WriteImage(folder, "Y.dsk", "YANKEE", 1))));
    ASSERT_TRUE(NewParameter(program->App().Database().Catalogue(), "Shelf", 10, "3"));
    const std::string text = folder + "/export.txt";
    fill = [&](QDialog& d) {
        if (auto* e = dynamic_cast<CExportDialog*>(&d)) {
            e->FileName()->setText(QString::fromStdString(text));
            e->accept();
        } else if (auto* m = dynamic_cast<CMergeDialog*>(&d)) {
            m->FileName()->setText(QString::fromStdString(text));
            m->accept();
        } else {
            d.reject();
        }
    };
    ASSERT_TRUE(frame().Execute(CommandId::DbExport));
    ASSERT_TRUE(std::filesystem::exists(text));
    const long files = Count("Files"), links = Count("DiskFileMM");
    EXPECT_EQ(links, 3);

    nextFile = folder + "/Merged.db";
    ASSERT_TRUE(frame().Execute(CommandId::DbNew));
    EXPECT_EQ(Count("Disks"), 0);
    ASSERT_TRUE(frame().Execute(CommandId::DbMerge));
    EXPECT_EQ(Count("Disks"), 2);
    EXPECT_EQ(Count("Files"), files);
    EXPECT_EQ(Count("DiskFileMM"), links);
    EXPECT_EQ(Count("Params"), 1);
    frame().Execute(CommandId::DbBrowseAllDisks);
    EXPECT_EQ(records().rowCount(), 2);

    // An export without a file name stays open with a word why.
    program->Prompt().messages.clear();
    bool stayed = false;
    fill = [&](QDialog& d) {
        auto* e = dynamic_cast<CExportDialog*>(&d);
        ASSERT_NE(e, nullptr);
        e->accept();
        stayed = e->result() != QDialog::Accepted;
        e->reject();
    };
    frame().Execute(CommandId::DbExport);
    EXPECT_TRUE(stayed);
    EXPECT_EQ(program->Prompt().messages.size(), 1u);

    program->Prompt().messages.clear();
    frame().DriveView()->Select(tree().DatabaseRootItem());
    commands().DatabaseProperties();
    ASSERT_EQ(program->Prompt().messages.size(), 1u);
    const std::string report = program->Prompt().messages[0];
    EXPECT_EQ(report.rfind("Filename: " + folder + "/Merged.db", 0), 0u) << report;
    EXPECT_NE(report.find("Disk entries: 2\r\n"), std::string::npos) << report;
}

TEST_F(DatabaseGui, AQueryAsksForAParameterItCannotResolve) {
    program->App().Options().reviewDiskInfo = 0;
    program->App().Options().reviewFileInfo = 0;
    diskAnswer = DuplicateButton::CreateNew;  // the two disks hold the same file
    ASSERT_TRUE(AddSelected(Mount(test::WriteImage(folder, "A.dsk", "ALPHA", 1))));
    ASSERT_TRUE(AddSelected(Mount(test::WriteImage(folder, "B.dsk", "BRAVO", 1))));
    EXPECT_EQ(duplicates, (std::vector<int>{IdenticalFiles, IdenticalFile}));
    std::vector<std::string> asked;
    fill = [&](QDialog& d) {
        auto* p = dynamic_cast<CParamNotFoundDialog*>(&d);
        ASSERT_NE(p, nullptr);
        asked.push_back(p->NameLabel()->text().toStdString());
        p->ValueBox()->setText("BRAVO*");
        p->accept();
    };
    CTreeNode node(NodeKind::DiskQuery, {}, "Which");
    node.predicate = "SELECT ALL ";
    node.where = "[Disk name] LIKE [Name wanted]";
    CTreeItem* query = tree().Insert(tree().DatabaseRootItem(), std::move(node), "Which");
    frame().DriveView()->Select(query);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_NE(asked[0].find("Name wanted"), std::string::npos);
    ASSERT_EQ(records().rowCount(), 1);
    EXPECT_EQ(records().Cell(0, ColumnOf("Disk name")), "BRAVO     ");
    EXPECT_EQ(Headers().size(), 9u) << "a node without display text takes the default columns";
}

TEST_F(DatabaseGui, RescanAsksWhichDiskAndKeepsItsRow) {
    program->App().Options().reviewDiskInfo = 0;
    program->App().Options().reviewFileInfo = 0;
    CTreeItem* item = Mount(test::WriteImage(folder, "R.dsk", "RESCAN", 2));
    ASSERT_TRUE(AddSelected(item));
    // A typed ID that names no disk is refused and the dialog stays; then Cancel.
    program->Prompt().messages.clear();
    bool stayed = false;
    onDuplicate = [&](CDuplicateDialog& d) {
        EXPECT_EQ(d.Mode(), SelectDiskToUpdate);
        d.IdBox()->setText("99");
        d.Press(DuplicateButton::Overwrite);
        stayed = d.result() != QDialog::Accepted;
        d.Press(DuplicateButton::Cancel);
    };
    frame().DriveView()->Select(item);
    ASSERT_TRUE(frame().Execute(CommandId::DbRescanDisk));
    EXPECT_TRUE(stayed);
    EXPECT_EQ(program->Prompt().messages, (std::vector<std::string>{"ID not found in database"}));
    // The listed row, preselected: the disk's row is rewritten under its ID.
    onDuplicate = [&](CDuplicateDialog& d) {
        EXPECT_EQ(d.Answer().id, 1);
        d.Press(DuplicateButton::Overwrite);
    };
    ASSERT_TRUE(frame().Execute(CommandId::DbRescanDisk));
    EXPECT_EQ(Count("Disks"), 1);
    EXPECT_EQ(Count("DiskFileMM"), 2);
    frame().Execute(CommandId::DbBrowseAllDisks);
    ASSERT_EQ(records().rowCount(), 1);
    EXPECT_EQ(records().RecordId(0), 1);
}

TEST_F(DatabaseGui, SavedQueriesAreListedLoadedIntoTheTreeAndRemoved) {
    CCatalogue& catalogue = program->App().Database().Catalogue();
    QueryFields q;
    q.name = "Big disks";
    q.predicate = "SELECT ALL ";
    q.where = "[Size] > 720";
    q.comments = "more than 720 sectors";
    ASSERT_EQ(SaveQuery(catalogue, q, {}, false), SaveOutcome::Saved);
    frame().DriveView()->Select(tree().SavedQueriesItem());
    ASSERT_EQ(list().Mode(), ListMode::SavedQueries);
    EXPECT_EQ(Headers(), (std::vector<std::string>{"Query name", "From", "Combination",
                                                   "Parent query", "Comments"}));
    ASSERT_EQ(records().rowCount(), 1);
    EXPECT_EQ(records().Cell(0, 0), "Big disks");
    // Only the comment may be edited in place.
    EXPECT_FALSE(records().flags(records().index(0, 0)) & Qt::ItemIsEditable);
    ASSERT_TRUE(records().setData(records().index(0, 4), "over 720", Qt::EditRole));

    SelectRow(0);
    const int children = tree().DatabaseRootItem()->ChildCount();
    ASSERT_TRUE(frame().Execute(CommandId::DbLoadQuery));
    ASSERT_EQ(tree().DatabaseRootItem()->ChildCount(), children + 1);
    CTreeItem* loaded = tree().DatabaseRootItem()->Child(children);
    EXPECT_EQ(loaded->Text(), "Big disks");
    EXPECT_EQ(loaded->Kind(), NodeKind::DiskQuery);
    EXPECT_EQ(loaded->Node().comments, "over 720");

    // Delete query, with the list focused, removes the saved row (not the tree node).
    frame().SetActivePane(Pane::CatalogList);
    ASSERT_TRUE(frame().Execute(CommandId::DbDeleteQuery));
    EXPECT_EQ(records().rowCount(), 0);
    EXPECT_EQ(Count("Queries"), 0);
    EXPECT_EQ(tree().DatabaseRootItem()->ChildCount(), children + 1);
}

TEST_F(DatabaseGui, FinishEndsTheFileReviewsOfAScan) {
    std::vector<std::string> shown;
    onRecord = [&](CRecordDialog& d) {
        const bool file = d.Field("File name") != nullptr;
        shown.push_back(file ? d.Field("File name")->text().toStdString() : "disk");
        if (file && shown.size() == 3) {
            for (QPushButton* b : d.findChildren<QPushButton*>())
                if (b->text() == "Finish") b->click();
            EXPECT_TRUE(d.Finished());
            return;
        }
        d.accept();
    };
    ASSERT_TRUE(AddSelected(Mount(test::WriteImage(folder, "F.dsk", "FOUR", 4))));
    EXPECT_EQ(shown, (std::vector<std::string>{"disk", "FILE0     ", "FILE1     "}));
    EXPECT_EQ(Count("DiskFileMM"), 4) << "finishing the reviews does not stop the scan";
}

TEST_F(DatabaseGui, BrowseRecordShowsTheRowMovesAndWritesChangedFields) {
    program->App().Options().reviewDiskInfo = 0;
    program->App().Options().reviewFileInfo = 0;
    ASSERT_TRUE(AddSelected(Mount(test::WriteImage(folder, "A.dsk", "ALPHA", 1))));
    ASSERT_TRUE(AddSelected(Mount(test::WriteImage(folder, "B.dsk", "BRAVO", 2))));
    frame().Execute(CommandId::DbBrowseAllDisks);
    std::vector<std::string> names;
    onRecord = [&](CRecordDialog& d) {
        names.push_back(d.Field("Disk name")->text().toStdString());
        EXPECT_TRUE(d.Field("ID")->isReadOnly());
        d.Field("Info2")->setText("box 1");
        d.MoveTo(CRecordDialog::Next);  // writes the change first
        names.push_back(d.Field("Disk name")->text().toStdString());
        d.ToggleExpand();
        EXPECT_EQ(d.ExpandList()->topLevelItemCount(), 2);  // the files of BRAVO
        d.MoveTo(CRecordDialog::Next);                      // stays on the last row
        names.push_back(d.Field("Disk name")->text().toStdString());
        d.Field("Protected")->setText("Yes");
        d.accept();
    };
    SelectRow(0);
    commands().RunRecordEntry("Browse record");
    EXPECT_EQ(names, (std::vector<std::string>{"ALPHA     ", "BRAVO     ", "BRAVO     "}));
    CRecordSet check(&program->App().Database().Catalogue().Database());
    ASSERT_TRUE(check.Open("SELECT ALL * FROM [Disks] WHERE [Info2] = \"box 1\""));
    ASSERT_EQ(check.GetRecordCount(), 1);
    ASSERT_TRUE(check.Open("SELECT ALL * FROM [Disks] WHERE [Protected] = YES"));
    ASSERT_EQ(check.GetRecordCount(), 1);
    EXPECT_EQ(check.GetFieldValue("Disk name").AsText(), "BRAVO     ");
    ASSERT_EQ(records().rowCount(), 2) << "the list is shown again";
}

// A big record list reads its rows a page at a time as they are shown, under the model
// checker; a header click sorts in the catalogue and the selection stays with its record.
TEST_F(DatabaseGui, RecordListsReadPagesAsTheyAreShown) {
    CDatabase& db = program->App().Database().Catalogue().Database();
    CTransaction adding(db);
    for (int i = 0; i < 3000; ++i)
        ASSERT_EQ(db.Execute("INSERT INTO [Files] ([File name], [Size]) VALUES (\"F" +
                             std::to_string(90000 - i) + "\", " + std::to_string(i % 7) + ")"),
                  1);
    ASSERT_TRUE(adding.Commit());
    CFileSet set(&db);
    ASSERT_TRUE(set.Open("SELECT ALL * FROM [Files]"));
    CRecordListModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    test::CScriptedPrompt prompt;
    const std::vector<uint32_t> codes = {ColumnCode(0, 100, 0), ColumnCode(3, 40, JustifyRight)};
    EXPECT_EQ(model.Fill(ListMode::FileRecords, set, codes, prompt), 3000);
    EXPECT_LE(model.PagesRead(), 1u);
    EXPECT_EQ(model.Cell(2999, 0), "F87001");
    EXPECT_LE(model.PagesRead(), 2u);

    QItemSelectionModel selection(&model);
    selection.select(model.index(2999, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    const int id = model.RecordId(2999);
    model.SortByColumn(0);
    ASSERT_EQ(selection.selectedRows().size(), 1);
    EXPECT_EQ(selection.selectedRows()[0].row(), 0);
    EXPECT_EQ(model.RecordId(0), id);
    EXPECT_EQ(model.Header(0), "File name  ^");
    EXPECT_LE(model.PagesRead(), 4u);
}

TEST(RecordLists, ContextMenusFollowTheMode) {
    struct Case {
        ListMode mode;
        const char* title;
        QStringList entries;
    };
    const Case cases[] = {
        {ListMode::DiskCatalog, "", {}},
        {ListMode::DiskRecords, "Query context", {"Browse record", "Mount disk"}},
        {ListMode::FileRecords, "Query context", {"Browse record", "Mount disk"}},
        {ListMode::SavedQueries, "Query list context", {"Load in tree", "Remove"}},
        {ListMode::Parameters, "Param context", {"Delete"}},
        {ListMode::SqlResults, "", {}},
    };
    for (const Case& c : cases) {
        QString title;
        EXPECT_EQ(CDiskView::RecordContextEntries(c.mode, &title), c.entries);
        EXPECT_EQ(title, c.title);
    }
}

TEST_F(DatabaseGui, ScreenshotOfTheDiskRecords) {
    TAVIK_REQUIRE_TESTDATA(peer, "peer");
    program->App().Options().reviewDiskInfo = 0;
    program->App().Options().reviewFileInfo = 0;
    for (const char* disk : {"tirecs.dsk", "tidsdd.dsk", "frag.dsk", "recsdis.dsk"})
        AddSelected(Mount(peer + "/disks/" + disk));
    frame().Execute(CommandId::DbBrowseAllDisks);
    EXPECT_EQ(commands().ShownNode(), nullptr);
    // The default columns of the catalogue are read again when the list is redrawn.
    program->App().Database().Catalogue().Display().diskFields =
        "[ID] [Disk name] [Size]<right> [Free]<right> [Files]<right> [CRC-S] [Drive type] [Drive]";
    commands().Redraw();
    EXPECT_EQ(ColumnOf("Free"), 3);
    list().header()->sectionClicked(ColumnOf("Size"));
    frame().resize(1100, 500);
    frame().show();
    const QString shot = QDir::tempPath() + "/tavik-disk-records.png";
    EXPECT_TRUE(frame().grab().save(shot));
    EXPECT_EQ(records().rowCount(), 4);
    CDiskSet& disks = program->App().Database().Catalogue().DiskSet();
    ASSERT_TRUE(disks.MoveFirst());
    CRecordDialog record(CRecordDialog::Kind::Disk, disks, program->Prompt(), false);
    record.ToggleExpand();
    EXPECT_TRUE(record.grab().save(QDir::tempPath() + "/tavik-record.png"));
    CExportDialog exporter(program->Prompt(), {});
    EXPECT_TRUE(exporter.grab().save(QDir::tempPath() + "/tavik-export.png"));
    CMergeDialog merger(program->Prompt(), {});
    EXPECT_TRUE(merger.grab().save(QDir::tempPath() + "/tavik-merge.png"));
}

}  // namespace
}  // namespace tavik
