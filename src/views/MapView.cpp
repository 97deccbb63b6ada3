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

}  // namespace tavik
