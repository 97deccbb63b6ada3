#include "views/MapView.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontDatabase>
#include <QFontInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <algorithm>
#include <cstdlib>

#include "app/Options.h"
#include "app/TreeModel.h"
#include "app/TreeOperations.h"
#include "disk/VirtualDrive.h"
#include "disk/dialogs/FindReplaceDialog.h"
#include "disk/dialogs/SectorListDialog.h"
#include "qt/DialogRunner.h"
#include "qt/QtText.h"
#include "qt/QtUserPrompt.h"

namespace tavik {

namespace {

QColor Colour(const MapColour& c) {
    return QColor(c.red, c.green, c.blue);
}

QFont GridFont() {
    QFont font("Courier New", 10);
    font.setBold(true);  // thin green dots on white are hard to see otherwise
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    if (!QFontInfo(font).fixedPitch()) {
        font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        font.setPointSize(10);
        font.setBold(true);
    }
    return font;
}

}  // namespace

bool CMapDialogs::EditSelection(QWidget* parent, std::string& text) {
    CSectorListDialog dialog("Selected sectors", QString::fromStdString(text), parent);
    if (RunDialog(dialog) != QDialog::Accepted) return false;
    text = dialog.Text().toStdString();
    return true;
}

bool CMapDialogs::FindReplace(QWidget* parent, SearchForm& form, const QString& fileLabel,
                              bool& inside, SearchMode& mode) {
    CFindReplaceDialog dialog(form, fileLabel, inside, parent);
    if (RunDialog(dialog) != QDialog::Accepted) return false;
    form = dialog.Form();
    inside = dialog.Inside();
    mode = dialog.Mode();
    return true;
}

CMapView::CMapView(const PaneContext& context, QWidget* parent)
    : QPlainTextEdit(parent),
      m_tree(context.tree),
      m_options(context.options),
      m_prompt(context.prompt),
      m_clip(context.clip),
      m_disk(context.disk),
      m_dialogs(&m_defaultDialogs) {
    setReadOnly(true);
    setUndoRedoEnabled(false);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setFont(GridFont());
    // The caret stays visible in the read-only grid: it is the current cell.
    setTextInteractionFlags(Qt::TextSelectableByKeyboard);
    setCursorWidth(2);
    connect(this, &QPlainTextEdit::cursorPositionChanged, this, &CMapView::CaretMoved);
}

CMapView::~CMapView() = default;

void CMapView::SetDialogs(CMapDialogs* dialogs) {
    m_dialogs = dialogs ? dialogs : &m_defaultDialogs;
}

int CMapView::PerLine() const {
    const int w = m_options.sectorsPerLine;
    return std::clamp(w, 1, kMaxDiskSectors);
}

bool CMapView::ShowBeyond() const {
    return m_options.showBeyondDiskSize != 0;
}

int CMapView::TextPosition(int sector) const {
    // Each line is one block; its end counts one position.
    return sector + sector / PerLine();
}

void CMapView::Fail(const std::string& text) {
    m_prompt.Message(text, PromptIcon::Error);
}

// ---- Showing the drive ------------------------------------------------------------------

bool CMapView::SetDrive(CVirtualDrive* drive) {
    if (!m_options.advancedView) return false;
    if (!drive) drive = m_drive;
    if (!drive) return false;
    if (drive != m_drive) {
        // Positions, matches and the file belong to the disk they were found on.
        m_search = CSectorSearch{};
        m_current = 0;
    }
    const bool fresh = drive != m_drive;
    m_drive = drive;
    drive->SetPrompt(&m_prompt);
    const int checked = m_map.Fill(*drive);
    if (fresh) {
        const int total = m_map.CellCount(false);
        m_form.last = std::to_string(std::max(0, total - 1));
    }
    WriteGrid();
    if (!checked) Fail(drive->ErrorText());
    return checked != 0;
}

void CMapView::Clear() {
    m_drive = nullptr;
    m_map.Clear();
    m_search = CSectorSearch{};
    m_cells = 0;
    m_current = 0;
    m_redrawing = true;
    clear();
    setExtraSelections({});
    m_redrawing = false;
}

void CMapView::Redraw() {
    SetDrive(nullptr);
}

// ---- What the other panes tell --------------------------------------------------------------

bool CMapView::ShowsCurrentDisk() const {
    return m_drive && m_drive == m_disk.Drive();
}

void CMapView::DiskShown(CTreeItem* item) {
    if (item)
        SetDrive(item->Drive());
    else
        Clear();
}

void CMapView::FilesChanged() {
    // Files changed on the disk shown: their sectors may have changed hands.
    if (ShowsCurrentDisk()) Redraw();
}

void CMapView::SectorsChanged() {
    if (ShowsCurrentDisk()) Redraw();
}

void CMapView::SectorShown(int sector) {
    if (ShowsCurrentDisk()) SetCurrentCell(sector);
}

void CMapView::SectorsMarked(const std::vector<int>& sectors, bool on) {
    if (!ShowsCurrentDisk()) return;
    for (const int s : sectors)
        SelectCell(s, on);
}

void CMapView::FileSelected(int fdr) {
    if (ShowsCurrentDisk()) SelectFile(fdr);
}

void CMapView::WriteGrid() {
    m_redrawing = true;
    const int w = PerLine();
    m_cells = m_map.CellCount(ShowBeyond());
    const int scroll = verticalScrollBar()->value();
    clear();
    QTextCursor cursor(document());
    cursor.beginEditBlock();
    QString run;
    MapColour runColour;
    auto flush = [&] {
        if (run.isEmpty()) return;
        QTextCharFormat format;
        format.setForeground(Colour(runColour));
        cursor.insertText(run, format);
        run.clear();
    };
    for (int s = 0; s < m_cells; ++s) {
        const uint16_t state = m_map.State(s);
        const MapColour colour = CSectorMap::CellColour(s, state);
        if (!(colour == runColour)) {
            flush();
            runColour = colour;
        }
        run += QChar(CSectorMap::CellChar(s, state));
        if ((s + 1) % w == 0 && s + 1 < m_cells) run += '\n';
    }
    flush();
    cursor.endEditBlock();
    m_current = std::clamp(m_current, 0, std::max(0, m_cells - 1));
    verticalScrollBar()->setValue(scroll);
    m_redrawing = false;
    PlaceCaret(m_current);
}

std::string CMapView::GridText() const {
    return m_map.GridText(PerLine(), ShowBeyond());
}

void CMapView::PaintCell(int sector) {
    if (sector < 0 || sector >= m_cells) return;
    const bool was = m_redrawing;
    m_redrawing = true;
    QTextCursor cursor(document());
    cursor.setPosition(TextPosition(sector));
    cursor.setPosition(TextPosition(sector) + 1, QTextCursor::KeepAnchor);
    QTextCharFormat format;
    format.setForeground(Colour(CSectorMap::CellColour(sector, m_map.State(sector))));
    cursor.setCharFormat(format);
    m_redrawing = was;
}

void CMapView::PlaceCaret(int sector) {
    if (m_cells == 0) return;
    const bool was = m_redrawing;
    m_redrawing = true;
    QTextCursor cursor = textCursor();
    cursor.setPosition(TextPosition(std::clamp(sector, 0, m_cells - 1)));
    setTextCursor(cursor);
    ensureCursorVisible();
    m_redrawing = was;
    ShowCurrentCell();
}

void CMapView::ShowCurrentCell() {
    // The current cell stands out on a grey ground, whatever its colour.
    QList<QTextEdit::ExtraSelection> marks;
    if (m_cells > 0) {
        QTextEdit::ExtraSelection mark;
        mark.cursor = QTextCursor(document());
        mark.cursor.setPosition(TextPosition(m_current));
        mark.cursor.setPosition(TextPosition(m_current) + 1, QTextCursor::KeepAnchor);
        mark.format.setBackground(QColor(208, 208, 208));
        marks << mark;
    }
    setExtraSelections(marks);
}

// ---- Cells and the caret -------------------------------------------------------------------

int CMapView::CellAt(const QPoint& point) const {
    if (m_cells == 0) return -1;
    const QTextCursor cursor = cursorForPosition(point);
    const QRect caret = cursorRect(cursor);
    if (point.y() < caret.top() || point.y() > caret.bottom()) return -1;
    int column = cursor.positionInBlock();
    // The nearest boundary may lie after the character the point is on.
    if (point.x() < caret.x()) --column;
    const int cellsInLine = cursor.block().length() - 1;
    if (column < 0 || column >= cellsInLine) return -1;
    const int sector = cursor.blockNumber() * PerLine() + column;
    return sector < m_cells ? sector : -1;
}

QRect CMapView::CellRect(int sector) const {
    if (sector < 0 || sector >= m_cells) return {};
    QTextCursor cursor(document());
    cursor.setPosition(TextPosition(sector));
    const QRect caret = cursorRect(cursor);
    return QRect(caret.x(), caret.y(), fontMetrics().horizontalAdvance('M'), caret.height());
}

void CMapView::CaretMoved() {
    if (m_redrawing || !m_drive || m_cells == 0) return;
    const QTextCursor cursor = textCursor();
    const int w = PerLine();
    const int position = cursor.blockNumber() * (w + 2) + cursor.positionInBlock();
    const int sector = std::min(CSectorMap::CaretSector(position, w), m_cells - 1);
    m_current = sector;
    ShowCurrentCell();
    ShowInEditor(sector);
}

void CMapView::MoveCaretTo(int sector) {
    if (!m_drive || m_cells == 0) return;
    m_current = std::clamp(sector, 0, m_cells - 1);
    PlaceCaret(m_current);
    ShowInEditor(m_current);
}

void CMapView::SetCurrentCell(int sector) {
    if (sector < 0 || sector >= m_cells) return;
    m_current = sector;
    PlaceCaret(sector);
}

void CMapView::ShowInEditor(int sector) {
    m_disk.ShowSector(sector, this);
}

void CMapView::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    if (event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
    // The cell under the pointer is the one meant, whichever half of it was hit.
    const int sector = CellAt(event->position().toPoint());
    if (sector >= 0) MoveCaretTo(sector);
    event->accept();
}

void CMapView::mouseDoubleClickEvent(QMouseEvent* event) {
    mousePressEvent(event);
}

void CMapView::mouseMoveEvent(QMouseEvent* event) {
    event->accept();  // no text selection by dragging: one cell is current
}

void CMapView::keyPressEvent(QKeyEvent* event) {
    const int w = PerLine();
    const int page = std::max(1, viewport()->height() / std::max(1, fontMetrics().height()) - 1);
    int target = -1;
    switch (event->key()) {
        case Qt::Key_Left:
            target = m_current - 1;
            break;
        case Qt::Key_Right:
            target = m_current + 1;
            break;
        case Qt::Key_Up:
            target = m_current - w;
            break;
        case Qt::Key_Down:
            target = m_current + w;
            break;
        case Qt::Key_Home:
            target = event->modifiers() & Qt::ControlModifier ? 0 : m_current - m_current % w;
            break;
        case Qt::Key_End:
            target = event->modifiers() & Qt::ControlModifier
                         ? m_cells - 1
                         : std::min(m_cells - 1, m_current - m_current % w + w - 1);
            break;
        case Qt::Key_PageUp:
            target = m_current - page * w;
            break;
        case Qt::Key_PageDown:
            target = m_current + page * w;
            break;
        default:
            QPlainTextEdit::keyPressEvent(event);
            return;
    }
    if (target < 0 && event->key() != Qt::Key_PageUp) target = m_current;
    if (target >= m_cells && event->key() != Qt::Key_PageDown) target = m_current;
    if (target != m_current || event->key() == Qt::Key_PageUp || event->key() == Qt::Key_PageDown)
        MoveCaretTo(target);
    event->accept();
}

// ---- Commands -----------------------------------------------------------------------------

void CMapView::SelectCell(int sector, bool on) {
    if (sector < 0 || sector >= m_map.Sectors()) return;
    m_map.Select(sector, on);
    PaintCell(sector);
    if (sector < m_cells) {
        m_current = sector;
        PlaceCaret(sector);
    }
}

void CMapView::ToggleSelect() {
    if (!m_drive) return;
    SelectCell(m_current, !m_map.IsSelected(m_current));
}

void CMapView::MarkCurrent(bool used) {
    if (!m_drive || m_cells == 0) return;
    // The sector at the caret, as the caret stands (no click correction).
    const QTextCursor cursor = textCursor();
    const int w = PerLine();
    const int sector = std::min(
        CSectorMap::CaretSector(cursor.blockNumber() * (w + 2) + cursor.positionInBlock(), w),
        m_cells - 1);
    if (!m_drive->MarkSector(sector, !used)) {
        Fail(m_drive->ErrorText());
        return;
    }
    m_current = sector;
    Redraw();
    m_disk.SectorsChanged(this);
}

void CMapView::EditSelection() {
    if (!m_drive) return;
    std::string text = m_map.SelectionText();
    if (!m_dialogs->EditSelection(this, text)) return;
    Redraw();
    for (const int sector : CSectorMap::ParseSelection(text, m_map.Sectors())) {
        m_map.Select(sector, true);
        PaintCell(sector);
    }
}

void CMapView::SelectFile(int fdr) {
    if (!m_drive || fdr <= 0 || fdr >= kMaxDiskSectors) return;
    // Every data sector in file order until the file ends, then the FDR itself.
    for (int k = 0; k < kMaxDiskSectors; ++k) {
        const int sector = m_drive->FileToDiskSector(fdr, k);
        if (sector < 0) {
            Fail(m_drive->ErrorText());
            return;
        }
        if (sector == 0) break;
        SelectCell(sector, true);
    }
    SelectCell(fdr, true);
    // The editor shows the FDR and stays in the file.
    m_disk.SetStayFile(fdr, m_drive->GetFileName(fdr), this);
    m_disk.ShowSector(fdr, this);
}

void CMapView::Paste() {
    CTreeItem* source = m_tree.Find(ClipSourceNumber(m_clip));
    if (!source || !source->Drive()) return;
    if (const int sector = ClipSectorNumber(m_clip); sector >= 0) {
        m_disk.PasteSector(*source->Drive(), sector, this);
    } else if (IsFilesClip(m_clip)) {
        // Only files of the disk the map shows can be selected in it.
        if (source->Drive() != m_drive) return;
        for (const int fdr : ClipFileSectors(m_clip))
            SelectFile(fdr);
    } else if (m_clip.find("> Disk:") != std::string::npos) {
        m_disk.SetTarget(source);
    }
}

void CMapView::Find() {
    if (!m_drive) return;
    // The file to search inside is the editor's stay-in-file file, active or remembered.
    const int file = std::abs(m_disk.StayFile());
    const std::string fileName = m_disk.StayFileName();
    SearchForm form = m_form;
    form.insideFile = file;
    bool inside = m_disk.StayFile() > 0;
    const QString label = file > 0 ? Q(fileName) : QString();
    SearchMode mode = SearchMode::FindNext;
    if (!m_dialogs->FindReplace(this, form, label, inside, mode)) return;
    form.insideFile = inside && file > 0 ? file : 0;
    m_form = form;
    if (file > 0) m_disk.SetStayFile(inside ? file : -file, fileName, this);
    SearchSettings settings;
    std::string message;
    if (!ReadSearchForm(form, settings, message)) {
        Fail(message);
        return;
    }
    m_search.Start(settings);
    RunSearch(mode);
}

void CMapView::RunSearch(SearchMode mode) {
    if (!m_drive) return;
    if (!m_search.Started()) {
        Find();
        return;
    }
    m_drive->SetPrompt(&m_prompt);
    const SearchOutcome out = m_search.Run(*m_drive, m_map, mode);
    WriteGrid();
    if (out.showSector >= 0) {
        ShowInEditor(out.showSector);
        SetCurrentCell(out.showSector);
        if (out.matched) m_disk.ShowMatch(out.markOffset, out.markLength, this);
    }
    // The list shows the rewritten files, and the map its fresh check.
    if (out.rewritten) m_disk.FilesChanged(nullptr);
    if (!out.message.empty())
        m_prompt.Message(out.message, out.message == kNotFoundText ? PromptIcon::Information
                                                                   : PromptIcon::Error);
}

QStringList CMapView::ContextEntries() {
    return {"Mark used", "Mark free", "(Un)Select", "Clear selection"};
}

void CMapView::RunContextEntry(const QString& entry) {
    if (entry == "Mark used")
        MarkCurrent(true);
    else if (entry == "Mark free")
        MarkCurrent(false);
    else if (entry == "(Un)Select")
        ToggleSelect();
    else if (entry == "Clear selection")
        Redraw();
}

void CMapView::contextMenuEvent(QContextMenuEvent* event) {
    const int sector = CellAt(event->pos());
    event->accept();
    if (sector < 0 || !m_drive) return;  // beside the grid: no menu
    MoveCaretTo(sector);
    QMenu menu("Sector context", this);
    for (const QString& entry : ContextEntries())
        menu.addAction(entry);
    if (QAction* chosen = menu.exec(event->globalPos())) RunContextEntry(chosen->text());
}

bool CMapView::HandleCommand(CommandId id) {
    if (!m_drive) return false;
    switch (id) {
        case CommandId::EditCopy:
            QApplication::clipboard()->setText(QString::fromStdString(GridText()));
            return true;
        case CommandId::EditPaste:
            Paste();
            return true;
        case CommandId::EditSelect:
            ToggleSelect();
            return true;
        case CommandId::EditSelection:
            EditSelection();
            return true;
        case CommandId::EditClearSelection:
            Redraw();
            return true;
        case CommandId::EditFind:
            Find();
            return true;
        case CommandId::EditFindNext:
            RunSearch(SearchMode::FindNext);
            return true;
        case CommandId::EditFindAll:
            RunSearch(SearchMode::FindAll);
            return true;
        case CommandId::EditReplace:
            RunSearch(SearchMode::Replace);
            return true;
        case CommandId::EditReplaceAll:
            RunSearch(SearchMode::ReplaceAll);
            return true;
        case CommandId::MarkUsed:
            MarkCurrent(true);
            return true;
        case CommandId::MarkFree:
            MarkCurrent(false);
            return true;
        default:
            return false;
    }
}

bool CMapView::HasHandler(CommandId id) const {
    return id == CommandId::EditCopy || id == CommandId::EditPaste || id == CommandId::EditSelect;
}

bool CMapView::IsEnabledHere(CommandId id, const CommandState&) const {
    if (!m_drive) return false;
    if (id == CommandId::EditPaste) return !m_clip.empty();
    return HasHandler(id);
}

const char* CMapView::CaptionHere(CommandId id, const CommandState&) const {
    if (id != CommandId::EditSelect) return nullptr;
    return m_drive && m_map.IsSelected(m_current) ? "Deselect sector" : "Select sector";
}

}  // namespace tavik
