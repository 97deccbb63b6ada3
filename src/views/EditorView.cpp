#include "views/EditorView.h"

#include <QFontDatabase>
#include <algorithm>

#include "disk/VirtualDrive.h"

namespace tavik {

CEditorView::CEditorView(QWidget* parent) : QPlainTextEdit(parent) {
    setReadOnly(true);
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    setLineWrapMode(QPlainTextEdit::NoWrap);
}

void CEditorView::SetDrive(CVirtualDrive* drive, int itemId) {
    m_drive = drive;
    m_itemId = itemId;
    m_stayInFile = false;
    ShowSector(0);
}

void CEditorView::Clear() {
    m_drive = nullptr;
    m_stayInFile = false;
    m_sector = 0;
    clear();
}

void CEditorView::ShowSector(int n) {
    clear();
    m_sector = n;
    if (!m_drive) return;
    uint8_t buffer[kSectorSize];
    if (!m_drive->ReadSector(n, buffer)) {
        setPlainText(QString::fromStdString(m_drive->ErrorText()));
        return;
    }
    std::copy(buffer, buffer + kSectorSize, m_buffer.begin());
    ShowBuffer();
}

bool CEditorView::LoadSector(CVirtualDrive& source, int n, std::string& error) {
    uint8_t buffer[kSectorSize];
    if (!source.ReadSector(n, buffer)) {
        error = source.ErrorText();
        return false;
    }
    std::copy(buffer, buffer + kSectorSize, m_buffer.begin());
    ShowBuffer();
    return true;
}

void CEditorView::ShowBuffer() {
    const uint8_t* buffer = m_buffer.data();
    QString text;
    for (int line = 0; line < 16; ++line) {
        text += QString::asprintf("%02X: ", line * 16);
        QString chars;
        for (int i = 0; i < 16; ++i) {
            const uint8_t b = buffer[line * 16 + i];
            text += QString::asprintf("%02X ", b);
            chars += b >= 0x20 && b < 0x7F ? QChar(b) : QChar('.');
        }
        text += ' ' + chars + '\n';
    }
    setPlainText(text);
}

bool CEditorView::HandleCommand(CommandId id) {
    if (!m_drive) return false;
    switch (id) {
        case CommandId::EditCopy:
            if (m_clip && m_itemId > 0)
                *m_clip = "<" + std::to_string(m_itemId) + "> Sector: " + std::to_string(m_sector);
            return true;
        case CommandId::SectorNext:
            if (m_sector + 1 < kMaxSectors) ShowSector(m_sector + 1);
            return true;
        case CommandId::SectorPrevious:
            if (m_sector > 0) ShowSector(m_sector - 1);
            return true;
        default:
            return false;
    }
}

}  // namespace tavik
