// The rows of the catalog list in its disk-catalog mode: one row per file of the disk's index,
// in index order, in the columns of the catalog display specification.
#pragma once

#include <QAbstractTableModel>
#include <functional>
#include <string>
#include <vector>

#include "disk/DiskTypes.h"
#include "views/SortableTableModel.h"

namespace tavik {

class CVirtualDrive;
class CUserPrompt;

class CCatalogModel : public CSortableTableModel {
    Q_OBJECT
public:
    // The fields a catalog specification can name, by field number.
    enum Field {
        FileName,
        TypeField,
        SizeField,
        Records,
        LastByte,
        RecordsPerSector,
        ProtectedField,
        Clusters,
        CreationDate,
        CreationTime,
        ModificationDate,
        ModificationTime,
        FdrField,
        FieldCount
    };
    // The columns of the default specification, by position.
    enum Column { Name, Type, Size, Protected, Created, Modified, Fdr, ColumnCount };

    explicit CCatalogModel(QObject* parent = nullptr);

    // The columns a display specification gives, widths and justifications filled from the
    // size list by field number. A specification naming no field keeps the columns as they are.
    void SetSpecification(const std::string& spec, const std::vector<uint16_t>& sizes);
    const std::vector<uint32_t>& Columns() const { return m_columns; }
    int FieldOfColumn(int column) const;

    // Lists the drive's catalog. Between two files a held F4 asks "Abort listing?"; a read
    // error stops with the drive's error text. Returns the number of rows listed.
    int ListDisk(CVirtualDrive* drive, CUserPrompt& prompt);
    void Clear();
    CVirtualDrive* Drive() const { return m_drive; }
    int FdrOfRow(int row) const;
    // A click on a column's header: marks it and orders the rows by that column's text. True
    // when the order is now descending. The header texts are shown without the mark: the view
    // draws the header's sort arrow instead.
    bool SortByColumn(int column);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    // The name cell is edited in place when a rename handler is set.
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    // Renames the file of FDR sector fdr; the list is listed again by the handler.
    std::function<bool(int fdr, const std::string& name)> onRename;

    // The row's icon index: 0 program, 1 DIS/FIX, 2 DIS/VAR, 3 INT/FIX, 4 INT/VAR,
    // 5 INT/FIX or INT/VAR with record length 1.
    static int IconIndex(uint8_t status, uint8_t recordLength);
    static QString CellText(const FileProperties& file, int field);
    static bool IsNumericField(int field);

private:
    CVirtualDrive* m_drive = nullptr;
    std::vector<FileProperties> m_rows;
    std::vector<uint32_t> m_columns;
    std::vector<std::string> m_headers;
    void ResetHeaders();
};

}  // namespace tavik
