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

#include "app/TreeOperations.h"
#include "base/UserPrompt.h"
#include "disk/SectorMoves.h"
#include "disk/VirtualDrive.h"
#include "qt/QtUserPrompt.h"
#include "views/MapView.h"
#include "qt/QtText.h"
#include "qt/DialogRunner.h"

namespace tavik {

namespace {

// The drive tree's drag format: the dragged item's number.
const char* const kItemMime = "application/x-tavik-tree-item";
const char* const kNoTarget = "Target disk in undefined. Drag one into sector editor.";
const QColor kDifferent(255, 0, 0);

std::string TrimmedName(const std::string& name) {
    const size_t end = name.find_last_not_of(' ');
    return end == std::string::npos ? std::string() : name.substr(0, end + 1);
}

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

CEditorView::CEditorView(QWidget* parent) : QPlainTextEdit(parent) {
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
}

CEditorView::~CEditorView() {
    if (m_tree) m_tree->RemoveObserver(this);
}

void CEditorView::SetTree(CTreeModel* tree, std::function<void(CTreeItem*)> selectInTree) {
    if (m_tree) m_tree->RemoveObserver(this);
    m_tree = tree;
    m_selectInTree = std::move(selectInTree);
    if (m_tree) m_tree->AddObserver(this);
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
    m_file = 0;
    m_fileLabel.clear();
    m_fileSectors.clear();
    m_range = {};
    m_sector = 0;
    if (!drive || !ShowSector(0)) Redraw();
}

void CEditorView::Clear() {
    m_drive = nullptr;
    m_itemId = 0;
    m_file = 0;
    m_fileLabel.clear();
    m_fileSectors.clear();
    m_range = {};
    m_sector = 0;
    Redraw();
}

bool CEditorView::ShowSector(int n) {
    if (!m_drive || n < 0 || n > kHighestReadable) return false;
    Sector data{};
    if (!m_drive->ReadSector(n, data.data())) {
        Fail(m_drive->ErrorText());
        return false;
    }
    m_sector = n;
    m_edit.Load(data.data());
    if (m_range.Contains(n)) {
        Sector partner{};
        if (m_range.other->ReadSector(m_range.Counterpart(n), partner.data()))
            m_edit.SetReference(partner.data());
        else
            Fail(m_range.other->ErrorText());
    }
    if (m_file != 0) m_filePosition = PositionOfSector(m_fileSectors, std::abs(m_file), n);
    Redraw();
    SetCaretPosition({0, dump::kHexStart});
    if (MapShowsDrive()) m_map->SetCurrentCell(n);
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
    if (!m_drive || fdr == 0) {
        m_file = 0;
        m_fileLabel.clear();
        m_fileSectors.clear();
    } else {
        m_file = fdr;
        m_fileLabel = TrimmedName(name);
        if (!ReadFileSectors(*m_drive, std::abs(fdr), m_fileSectors)) Fail(m_drive->ErrorText());
        m_filePosition = PositionOfSector(m_fileSectors, std::abs(fdr), m_sector);
    }
    emit StatusChanged();
}

bool CEditorView::MapShowsDrive() const {
    return m_map && m_drive && m_map->Drive() == m_drive;
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
    if (m_file == 0) return "No file selected";
    QString text = Q(m_fileLabel);
    if (m_filePosition == kFdrPosition)
        text += " [FDR]";
    else if (m_filePosition >= 0)
        text += QString::asprintf(" [%d]", m_filePosition);
    return text;
}

QString CEditorView::TargetStatus() const {
    return m_target ? "To " + m_targetName : QString("No target disk");
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
        if (auto* qt = dynamic_cast<CQtUserPrompt*>(m_prompt))
            insert = qt->InsertMode();
        else if (m_prompt)
            insert = m_prompt->KeyHeld(PolledKey::Insert);
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
            return m_clip && m_tree &&
                   (ClipSectorNumber(*m_clip) >= 0 ||
                    m_clip->find("> Disk: ") != std::string::npos);
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
            m_file = -m_file;
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
    if (m_prompt) m_prompt->Message(text, PromptIcon::Error);
}

bool CEditorView::Ran(QDialog& dialog) {
    return RunDialog(dialog) != QDialog::Rejected;
}

CVirtualDrive* CEditorView::RequireTarget() {
    if (!m_target) Fail(kNoTarget);
    return m_target;
}

void CEditorView::AboutToRemove(CTreeItem* item) {
    // The editor keeps plain references to its target and to the other side of a comparison:
    // it forgets them before their drives go.
    auto goes = [&](CVirtualDrive* drive) {
        bool found = false;
        if (drive)
            m_tree->ForEach([&](CTreeItem& i) {
                if (!found && i.Drive() == drive && item->Contains(&i)) found = true;
            });
        return found;
    };
    if (goes(m_target)) {
        m_target = nullptr;
        m_targetName.clear();
        emit StatusChanged();
    }
    if (goes(m_range.other)) m_range = {};
}

// ---- Clips and drops ---------------------------------------------------------------------------

void CEditorView::CopyClip() {
    if (m_clip && m_itemId > 0)
        *m_clip = "<" + std::to_string(m_itemId) + "> Sector: " + std::to_string(m_sector);
}

void CEditorView::PasteClip() {
    if (!m_clip || !m_tree) return;
    CTreeItem* source = m_tree->Find(ClipSourceNumber(*m_clip));
    if (!source || !source->Drive()) return;
    if (const int sector = ClipSectorNumber(*m_clip); sector >= 0) {
        std::string error;
        if (!LoadSector(*source->Drive(), sector, error)) Fail(error);
    } else if (m_clip->find("> Disk: ") != std::string::npos) {
        MakeTarget(source);
    }
}

void CEditorView::dragEnterEvent(QDragEnterEvent* e) {
    if (e->mimeData()->hasFormat(kItemMime))
        e->acceptProposedAction();
    else
        e->ignore();
}

void CEditorView::dragMoveEvent(QDragMoveEvent* e) {
    if (e->mimeData()->hasFormat(kItemMime))
        e->acceptProposedAction();
    else
        e->ignore();
}

void CEditorView::dropEvent(QDropEvent* e) {
    if (!e->mimeData()->hasFormat(kItemMime) || !m_tree) {
        e->ignore();
        return;
    }
    CTreeItem* item = m_tree->Find(e->mimeData()->data(kItemMime).toInt());
    // Nothing moves: the item only becomes the target.
    e->setDropAction(Qt::IgnoreAction);
    e->accept();
    MakeTarget(item);
}

}  // namespace tavik
