#include "views/MapView.h"

#include <QFontDatabase>

#include "disk/VirtualDrive.h"

namespace tavik {

CMapView::CMapView(QWidget* parent) : QPlainTextEdit(parent) {
    setReadOnly(true);
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    setLineWrapMode(QPlainTextEdit::NoWrap);
}

void CMapView::SetDrive(CVirtualDrive* drive) {
    m_drive = drive;
    m_selected.assign(m_selected.size(), false);
    clear();
    if (!drive) return;
    // One character per sector: 'X' used in the bitmap, '.' free, 18 to a line.
    if (!drive->ReadVib()) return;
    const uint8_t* vib = drive->VibBuffer();
    const int total = (vib[10] << 8) | vib[11];
    QString text;
    for (int s = 0; s < total && s < 1600; ++s) {
        if (s % 18 == 0) text += QString::asprintf("%s%4d ", s ? "\n" : "", s);
        const bool used = (vib[56 + s / 8] >> (s % 8)) & 1;
        text += used ? QChar('X') : QChar('.');
    }
    setPlainText(text);
}

void CMapView::Clear() {
    m_drive = nullptr;
    clear();
}

bool CMapView::HandleCommand(CommandId) {
    return false;
}

void CMapView::SelectCell(int sector, bool on) {
    if (sector < 0 || sector >= static_cast<int>(m_selected.size())) return;
    m_selected[static_cast<size_t>(sector)] = on;
    m_currentCell = sector;
}

void CMapView::SetCurrentCell(int sector) {
    m_currentCell = sector;
}

void CMapView::Redraw() {
    SetDrive(m_drive);
}

bool CMapView::IsCellSelected(int sector) const {
    return sector >= 0 && sector < static_cast<int>(m_selected.size()) &&
           m_selected[static_cast<size_t>(sector)];
}

}  // namespace tavik
