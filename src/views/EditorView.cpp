#include "views/EditorView.h"

#include <QDialog>
#include <QDragEnterEvent>
#include <QFont>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>
#include <QTextCursor>
#include <algorithm>
#include <cstdlib>

#include "app/Options.h"
#include "app/TreeOperations.h"
#include "base/UserPrompt.h"
#include "disk/SectorMoves.h"
#include "disk/VirtualDrive.h"
#include "qt/DialogRunner.h"
#include "qt/QtText.h"
#include "qt/QtUserPrompt.h"
#include "views/DragPayload.h"

namespace tavik {

namespace {

const char* const kNoTarget = "Target disk in undefined. Drag one into sector editor.";
const QColor kDifferent(255, 0, 0);

// The character column of a byte: its code page 1252 character, a space for what does not
// print (so that every byte keeps its one column).
QChar DumpChar(char byte) {
    const QString text = Q(std::string_view(&byte, 1));
    return text.size() == 1 && text[0].isPrint() ? text[0] : QChar(' ');
}

QString DumpLine(const std::string& line) {
    QString text = QString::fromLatin1(line.data(), dump::kCharStart);
    for (int c = dump::kCharStart; c < static_cast<int>(line.size()); ++c)
        text += DumpChar(line[static_cast<size_t>(c)]);
    return text;
}

}  // namespace

CEditorView::CEditorView(const PaneContext& context, QWidget* parent)
    : QPlainTextEdit(parent),
      m_tree(context.tree),
      m_options(context.options),
      m_prompt(context.prompt),
      m_clip(context.clip),
      m_disk(context.disk) {
    m_disk.SetLeaveGuard([this] { return ConfirmLeave(); });
    setReadOnly(true);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    QFont font("Courier New", 10);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    setFont(font);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setTabChangesFocus(true);
    setAcceptDrops(true);
    setUndoRedoEnabled(false);
    connect(this, &QPlainTextEdit::cursorPositionChanged, this, &CEditorView::StatusChanged);
    m_tree.AddObserver(this);
}

CEditorView::~CEditorView() {
    m_disk.SetLeaveGuard(nullptr);
    m_tree.RemoveObserver(this);
}

bool CEditorView::ConfirmLeave() {
    if (!HasUnsavedEdits()) return true;
    const std::string question =
        "Sector " + std::to_string(m_sector) +
        " was changed.\nSave the changes (Yes), discard them (No) or stay (Cancel)?";
    switch (m_prompt.Ask(question, PromptButtons::YesNoCancel)) {
        case PromptAnswer::Yes:
            SaveCommand();
            return !HasUnsavedEdits();
        case PromptAnswer::No: {
            const Caret caret = CaretPosition();
            m_edit.SetBuffer(m_onDisk.data());
            Redraw();
            SetCaretPosition(caret);
            return true;
        }
        default:
            return false;
    }
}

// ---- Drive and sector ---------------------------------------------------------------------

void CEditorView::SetDrive(CVirtualDrive* drive, int itemId) {
    if (drive && drive == m_drive) {
        m_itemId = itemId;
        ShowSector(m_sector);
        return;
    }
    m_drive = drive;
    m_itemId = itemId;
    m_fileSectors.clear();
    m_range = {};
    m_sector = 0;
    if (!drive || !ShowSector(0)) Redraw();
}

void CEditorView::Clear() {
    m_drive = nullptr;
    m_itemId = 0;
    m_fileSectors.clear();
    m_range = {};
    m_sector = 0;
    Redraw();
}

int CEditorView::HighestReadable() const {
    return std::max(kMaxSectors, m_drive ? m_drive->Capacity() : 0);
}

bool CEditorView::ShowSector(int n) {
    if (!m_drive || n < 0 || n > HighestReadable()) return false;
    if (n != m_sector && !ConfirmLeave()) {
        m_disk.ShowSector(m_sector, this);  // the map goes back to the sector kept
        return false;
    }
    Sector data{};
    if (!m_drive->ReadSector(n, data.data())) {
        Fail(m_drive->ErrorText());
        return false;
    }
    m_sector = n;
    m_onDisk = data;
    m_edit.Load(data.data());
    if (m_range.Contains(n)) {
        Sector partner{};
        if (m_range.other->ReadSector(m_range.Counterpart(n), partner.data()))
            m_edit.SetReference(partner.data());
        else
            Fail(m_range.other->ErrorText());
    }
    if (StayFile() != 0) m_filePosition = PositionOfSector(m_fileSectors, std::abs(StayFile()), n);
    Redraw();
    SetCaretPosition({0, dump::kHexStart});
    m_disk.ShowSector(n, this);
    emit StatusChanged();
    return true;
}

bool CEditorView::LoadSector(CVirtualDrive& source, int n, std::string& error) {
    Sector data{};
    if (!source.ReadSector(n, data.data())) {
        error = source.ErrorText();
        return false;
    }
    const Caret caret = CaretPosition();
    m_edit.SetBuffer(data.data());
    Redraw();
    SetCaretPosition(caret);
    return true;
}

void CEditorView::SetStayInFile(int fdr, const std::string& name) {
    m_disk.SetStayFile(m_drive ? fdr : 0, name, this);
    StayFileChanged();
}

void CEditorView::ReadStayFile() {
    const int fdr = std::abs(StayFile());
    if (!m_drive || fdr == 0) {
        m_fileSectors.clear();
        return;
    }
    if (!ReadFileSectors(*m_drive, fdr, m_fileSectors)) Fail(m_drive->ErrorText());
    m_filePosition = PositionOfSector(m_fileSectors, fdr, m_sector);
}

// ---- What the other panes tell ---------------------------------------------------------------

bool CEditorView::ShowsCurrentDisk() const {
    return m_drive && m_drive == m_disk.Drive();
}

void CEditorView::DiskShown(CTreeItem* item) {
    if (!item)
        Clear();
    else if (m_options.advancedView)
        SetDrive(item->Drive(), item->Id());
}

void CEditorView::SectorsChanged() {
    if (ShowsCurrentDisk()) ShowSector(m_sector);
}

void CEditorView::SectorShown(int sector) {
    if (ShowsCurrentDisk()) ShowSector(sector);
}

void CEditorView::SectorPasted(CVirtualDrive& source, int sector) {
    std::string error;
    if (!LoadSector(source, sector, error)) Fail(error);
}

void CEditorView::StayFileChanged() {
    ReadStayFile();
    emit StatusChanged();
}

void CEditorView::TargetChanged() {
    emit StatusChanged();
}

void CEditorView::MatchFound(int offset, int length) {
    if (length <= 0) return;
    QList<QTextEdit::ExtraSelection> marks;
    for (int j = offset; j < offset + length && j < kSectorSize; ++j) {
        const QTextBlock line = document()->findBlockByNumber(j / dump::kBytesPerLine);
        if (!line.isValid()) break;
        const int column = j % dump::kBytesPerLine;
        for (const auto& [at, width] :
             {std::pair{dump::HexColumn(column), 2}, std::pair{dump::CharColumn(column), 1}}) {
            if (at + width > line.length() - 1) continue;
            QTextEdit::ExtraSelection mark;
            mark.cursor = QTextCursor(line);
            mark.cursor.setPosition(line.position() + at);
            mark.cursor.setPosition(line.position() + at + width, QTextCursor::KeepAnchor);
            mark.format.setForeground(Qt::red);
            marks << mark;
        }
    }
    setExtraSelections(marks);
}

// ---- Drawing --------------------------------------------------------------------------------

void CEditorView::Redraw() {
    if (!m_drive) {
        clear();
        return;
    }
    QStringList lines;
    for (int line = 0; line < dump::kLines; ++line)
        lines << DumpLine(m_edit.Line(line));
    setPlainText(lines.join('\n'));
    // The text takes the format last used at the caret: every redraw starts from plain text.
    QTextCursor all(document());
    all.select(QTextCursor::Document);
    all.setCharFormat(QTextCharFormat());
    QTextCharFormat red;
    red.setForeground(kDifferent);
    for (int line = 0; line < dump::kLines; ++line) {
        const int start = document()->findBlockByNumber(line).position();
        for (const auto& [first, last] : m_edit.DifferingRuns(line)) {
            QTextCursor hex(document());
            hex.setPosition(start + dump::HexColumn(first));
            hex.setPosition(start + dump::HexColumn(last) + 2, QTextCursor::KeepAnchor);
            hex.mergeCharFormat(red);
            QTextCursor chars(document());
            chars.setPosition(start + dump::CharColumn(first));
            chars.setPosition(start + dump::CharColumn(last) + 1, QTextCursor::KeepAnchor);
            chars.mergeCharFormat(red);
        }
    }
}

Caret CEditorView::CaretPosition() const {
    const QTextCursor cursor = textCursor();
    return {cursor.blockNumber(), cursor.positionInBlock()};
}

void CEditorView::SetCaretPosition(Caret caret) {
    const QTextBlock block = document()->findBlockByNumber(caret.line);
    if (!block.isValid()) return;
    QTextCursor cursor(block);
    cursor.setPosition(block.position() + std::clamp(caret.column, 0, block.length() - 1));
    setTextCursor(cursor);
}

// ---- Status ------------------------------------------------------------------------------------

QString CEditorView::SectorStatus() const {
    if (!m_drive) return {};
    const int byte = CSectorEditBuffer::ByteAtCaret(CaretPosition());
    return QString::asprintf("%d: %02X", m_sector, m_edit.Bytes()[static_cast<size_t>(byte)]);
}

QString CEditorView::FileStatus() const {
    if (StayFile() == 0) return "No file selected";
    QString text = Q(FileLabel());
    if (m_filePosition == kFdrPosition)
        text += " [FDR]";
    else if (m_filePosition >= 0)
        text += QString::asprintf(" [%d]", m_filePosition);
    return text;
}

QString CEditorView::TargetStatus() const {
    return Target() ? "To " + Q(m_disk.TargetName()) : QString("No target disk");
}

// ---- Typing --------------------------------------------------------------------------------

bool CEditorView::event(QEvent* e) {
    // The main window's shortcuts (Delete, Copy, Paste, track moves, swap) must reach it rather
    // than the text control's own key bindings.
    if (e->type() == QEvent::ShortcutOverride) {
        auto* ke = static_cast<QKeyEvent*>(e);
        const bool ctrl = ke->modifiers() & Qt::ControlModifier;
        const int key = ke->key();
        if (key == Qt::Key_Delete || key == Qt::Key_Insert ||
            (ctrl && (key == Qt::Key_C || key == Qt::Key_V || key == Qt::Key_W ||
                      key == Qt::Key_Left || key == Qt::Key_Right))) {
            e->ignore();
            return false;
        }
    }
    return QPlainTextEdit::event(e);
}

void CEditorView::keyPressEvent(QKeyEvent* e) {
    if (!m_drive) {
        QPlainTextEdit::keyPressEvent(e);
        return;
    }
    if (e->key() == Qt::Key_Delete && e->modifiers() == Qt::NoModifier) {
        DeleteKey();
        return;
    }
    const QString text = e->text();
    const bool command = e->modifiers() & (Qt::ControlModifier | Qt::AltModifier);
    if (!command && text.size() == 1 && text[0].isPrint()) {
        const std::string byte = S(text);
        if (byte.size() != 1 || (byte == "?" && text != "?")) return;  // no code page form
        bool insert = false;
        if (auto* qt = dynamic_cast<CQtUserPrompt*>(&m_prompt))
            insert = qt->InsertMode();
        else
            insert = m_prompt.KeyHeld(PolledKey::Insert);
        Caret caret = CaretPosition();
        m_edit.Type(caret, byte[0], insert);
        // The dump is drawn again from the buffer in every case, so nothing else is typed in.
        Redraw();
        SetCaretPosition(caret);
        emit StatusChanged();
        return;
    }
    // Moving the caret and selecting; the text itself is read-only.
    QPlainTextEdit::keyPressEvent(e);
}

void CEditorView::DeleteKey() {
    const Caret caret = CaretPosition();
    if (!m_edit.DeleteAfter(caret)) return;
    Redraw();
    SetCaretPosition(caret);
    emit StatusChanged();
}

// ---- Commands ------------------------------------------------------------------------------

bool CEditorView::HasHandler(CommandId id) const {
    return id == CommandId::EditCopy || id == CommandId::EditPaste || id == CommandId::DeleteKey;
}

bool CEditorView::IsEnabledHere(CommandId id, const CommandState&) const {
    switch (id) {
        case CommandId::EditCopy:
        case CommandId::DeleteKey:
            return m_drive != nullptr;
        case CommandId::EditPaste:
            return ClipSectorNumber(m_clip) >= 0 || m_clip.find("> Disk: ") != std::string::npos;
        default:
            return false;
    }
}

bool CEditorView::HandleCommand(CommandId id) {
    if (id == CommandId::EditPaste) {
        PasteClip();
        return true;
    }
    if (!m_drive) return false;
    switch (id) {
        case CommandId::EditCopy:
            CopyClip();
            return true;
        case CommandId::DeleteKey:
            DeleteKey();
            return true;
        case CommandId::SectorNext:
            Move(1);
            return true;
        case CommandId::SectorPrevious:
            Move(-1);
            return true;
        case CommandId::SectorNextTrack:
            MoveTrack(1);
            return true;
        case CommandId::SectorPreviousTrack:
            MoveTrack(-1);
            return true;
        case CommandId::SectorStayInFile:
            m_disk.SetStayFile(-StayFile(), FileLabel(), this);
            emit StatusChanged();
            return true;
        case CommandId::SectorRead:
            ReadCommand();
            return true;
        case CommandId::SectorSave:
            SaveCommand();
            return true;
        case CommandId::SectorSaveAs:
            SaveAsCommand();
            return true;
        case CommandId::SectorCompare:
            CompareCommand();
            return true;
        case CommandId::SectorCopy:
            CopyCommand();
            return true;
        case CommandId::SectorMark:
            MarkCommand();
            return true;
        case CommandId::SectorSwapTarget:
            SwapTarget();
            return true;
        default:
            return false;
    }
}

void CEditorView::Fail(const std::string& text) {
    m_prompt.Message(text, PromptIcon::Error);
}

bool CEditorView::Ran(QDialog& dialog) {
    return RunDialog(dialog) != QDialog::Rejected;
}

CVirtualDrive* CEditorView::RequireTarget() {
    if (!Target()) Fail(kNoTarget);
    return Target();
}

void CEditorView::AboutToRemove(CTreeItem* item) {
    // The editor keeps a plain reference to the other side of a comparison: it forgets it
    // before its drive goes.
    bool goes = false;
    if (m_range.other)
        m_tree.ForEach([&](CTreeItem& i) {
            if (!goes && i.Drive() == m_range.other && item->Contains(&i)) goes = true;
        });
    if (goes) m_range = {};
}

// ---- Clips and drops ---------------------------------------------------------------------------

void CEditorView::CopyClip() {
    if (m_itemId > 0)
        m_clip = "<" + std::to_string(m_itemId) + "> Sector: " + std::to_string(m_sector);
}

void CEditorView::PasteClip() {
    CTreeItem* source = m_tree.Find(ClipSourceNumber(m_clip));
    if (!source || !source->Drive()) return;
    if (const int sector = ClipSectorNumber(m_clip); sector >= 0) {
        std::string error;
        if (!LoadSector(*source->Drive(), sector, error)) Fail(error);
    } else if (m_clip.find("> Disk: ") != std::string::npos) {
        MakeTarget(source);
    }
}

void CEditorView::dragEnterEvent(QDragEnterEvent* e) {
    if (e->mimeData()->hasFormat(kTreeItemMime))
        e->acceptProposedAction();
    else
        e->ignore();
}

void CEditorView::dragMoveEvent(QDragMoveEvent* e) {
    if (e->mimeData()->hasFormat(kTreeItemMime))
        e->acceptProposedAction();
    else
        e->ignore();
}

void CEditorView::dropEvent(QDropEvent* e) {
    if (!e->mimeData()->hasFormat(kTreeItemMime)) {
        e->ignore();
        return;
    }
    CTreeItem* item = m_tree.Find(e->mimeData()->data(kTreeItemMime).toInt());
    // Nothing moves: the item only becomes the target.
    e->setDropAction(Qt::IgnoreAction);
    e->accept();
    MakeTarget(item);
}

}  // namespace tavik
