// The left pane of the lower row: the sector map. Every sector of the current disk is one
// coloured character of a read-only text grid (see CSectorMap); clicking a cell moves the sector
// editor there, and the map selects sectors, marks them used or free in the bitmap and runs the
// find-and-replace engine over the drive.
#pragma once

#include <QPlainTextEdit>
#include <string>

#include "app/Command.h"
#include "app/CurrentDisk.h"
#include "disk/SectorMap.h"
#include "disk/SectorSearch.h"
#include "views/PaneContext.h"

namespace tavik {

class COptions;
class CQtUserPrompt;
class CVirtualDrive;

// The map's two dialogs, replaceable so that tests answer them.
class CMapDialogs {
public:
    virtual ~CMapDialogs() = default;
    // "Selected sectors": false on Cancel.
    virtual bool EditSelection(QWidget* parent, std::string& text);
    // "Find and replace": false on Cancel. inside: whether the search stays in the file.
    virtual bool FindReplace(QWidget* parent, SearchForm& form, const QString& fileLabel,
                             bool& inside, SearchMode& mode);
};

class CMapView : public QPlainTextEdit, public CCommandTarget, public CDiskObserver {
    Q_OBJECT
public:
    explicit CMapView(const PaneContext& context, QWidget* parent = nullptr);
    ~CMapView() override;

    void SetDialogs(CMapDialogs* dialogs);

    // Shows the drive (null: the current one again). Nothing happens while the advanced view
    // is off; false without any drive, or when the disk check fails (its text is shown).
    bool SetDrive(CVirtualDrive* drive);
    void Clear();
    CVirtualDrive* Drive() const { return m_drive; }

    // Writes the grid again from a fresh disk check; every selection is cleared.
    void Redraw();
    // Outside the map's sectors (1600, or all of a larger disk): ignored. The cell becomes the
    // current cell.
    void SelectCell(int sector, bool on);
    // From the editor: moves the caret to the cell without moving the editor again.
    void SetCurrentCell(int sector);
    int CurrentCell() const { return m_current; }
    // Selects the file's data sectors and its FDR; the editor then shows the FDR and stays in
    // the file.
    void SelectFile(int fdr);

    const CSectorMap& Map() const { return m_map; }
    CSectorSearch& Search() { return m_search; }
    bool IsCellSelected(int sector) const { return m_map.IsSelected(sector); }
    // The grid as the map writes it ("\r\n" between lines).
    std::string GridText() const;
    // The sector of the grid cell at a point of the viewport, or -1 beside the grid.
    int CellAt(const QPoint& point) const;
    // The viewport rectangle of a cell.
    QRect CellRect(int sector) const;

    // Moving the caret as the user does: the editor follows.
    void MoveCaretTo(int sector);
    // The commands of the map.
    void ToggleSelect();
    void MarkCurrent(bool used);
    void EditSelection();
    void Find();
    void RunSearch(SearchMode mode);
    void Paste();
    // The "Sector context" menu of a right-click on a cell.
    static QStringList ContextEntries();
    void RunContextEntry(const QString& entry);

    bool HandleCommand(CommandId id) override;
    bool HasHandler(CommandId id) const override;
    bool IsEnabledHere(CommandId id, const CommandState& state) const override;
    const char* CaptionHere(CommandId id, const CommandState& state) const override;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void DiskShown(CTreeItem* item) override;
    void FilesChanged() override;
    void SectorsChanged() override;
    void SectorShown(int sector) override;
    void SectorsMarked(const std::vector<int>& sectors, bool on) override;
    void FileSelected(int fdr) override;
    // Whether the map shows the current disk (events about it concern this map).
    bool ShowsCurrentDisk() const;
    int PerLine() const;
    bool ShowBeyond() const;
    int TextPosition(int sector) const;
    void WriteGrid();
    void PaintCell(int sector);
    void ShowCurrentCell();
    void PlaceCaret(int sector);
    void CaretMoved();
    void ShowInEditor(int sector);
    void Fail(const std::string& text);

    CTreeModel& m_tree;
    const COptions& m_options;
    CQtUserPrompt& m_prompt;
    std::string& m_clip;
    CCurrentDisk& m_disk;
    CVirtualDrive* m_drive = nullptr;
    CMapDialogs* m_dialogs = nullptr;
    CMapDialogs m_defaultDialogs;
    CSectorMap m_map;
    CSectorSearch m_search;
    SearchForm m_form;
    int m_cells = 0;
    int m_current = 0;
    bool m_redrawing = false;
};

}  // namespace tavik
