#include "qt/Icons.h"

#include <QBitmap>
#include <QPainter>
#include <QPainterPath>
#include <map>

namespace tavik {

namespace {

const QColor kMagenta(255, 0, 255);
const QColor kInk(40, 40, 48);
const QColor kFolder(236, 190, 70);
const QColor kFolderDark(176, 128, 30);
const QColor kDisk(52, 92, 170);
const QColor kDiskDark(28, 52, 110);
const QColor kRed(200, 40, 40);
const QColor kGreen(40, 150, 60);

// A 16 x 16 drawing surface; every icon is drawn in this coordinate system.
class CIconCanvas {
public:
    explicit CIconCanvas(QPainter& p, int x = 0) : m_p(p) {
        m_p.save();
        m_p.translate(x, 0);
        m_p.setRenderHint(QPainter::Antialiasing, true);
    }
    ~CIconCanvas() { m_p.restore(); }
    QPainter& operator*() { return m_p; }
    QPainter* operator->() { return &m_p; }

private:
    QPainter& m_p;
};

void Folder(QPainter& p, const QColor& body, const QColor& edge, bool dashed = false) {
    QPen pen(edge, 1);
    if (dashed) pen.setStyle(Qt::DashLine);
    p.setPen(pen);
    p.setBrush(body.darker(110));
    p.drawRect(QRectF(1.5, 3.5, 5, 2));
    p.setBrush(body);
    p.drawRect(QRectF(1.5, 4.5, 13, 9));
}

void Floppy(QPainter& p, const QColor& body, const QColor& edge, double x = 1.5, double y = 1.5,
            double s = 13) {
    p.setPen(QPen(edge, 1));
    p.setBrush(body);
    QPainterPath path;
    path.moveTo(x, y);
    path.lineTo(x + s - 2, y);
    path.lineTo(x + s, y + 2);
    path.lineTo(x + s, y + s);
    path.lineTo(x, y + s);
    path.closeSubpath();
    p.drawPath(path);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(220, 220, 225));
    p.drawRect(QRectF(x + s * 0.25, y + 0.5, s * 0.5, s * 0.32));  // shutter
    p.setBrush(Qt::white);
    p.drawRect(QRectF(x + s * 0.18, y + s * 0.55, s * 0.64, s * 0.4));  // label
    p.setPen(QPen(QColor(150, 150, 160), 0.6));
    p.drawLine(QPointF(x + s * 0.26, y + s * 0.7), QPointF(x + s * 0.74, y + s * 0.7));
    p.drawLine(QPointF(x + s * 0.26, y + s * 0.84), QPointF(x + s * 0.74, y + s * 0.84));
}

void Letter(QPainter& p, const QString& text, const QRectF& r, const QColor& c, int px = 7) {
    QFont f("Sans");
    f.setPixelSize(px);
    f.setBold(true);
    p.setFont(f);
    p.setPen(c);
    p.drawText(r, Qt::AlignCenter, text);
}

void Monitor(QPainter& p, const QColor& screen) {
    p.setPen(QPen(kInk, 1));
    p.setBrush(QColor(210, 210, 215));
    p.drawRoundedRect(QRectF(1.5, 1.5, 13, 10), 1.5, 1.5);
    p.setBrush(screen);
    p.drawRect(QRectF(3.5, 3.5, 9, 6));
    p.setBrush(QColor(170, 170, 175));
    p.drawRect(QRectF(5.5, 11.5, 5, 1.5));
    p.drawRect(QRectF(3.5, 13.5, 9, 1.5));
}

void Console(QPainter& p, bool active) {
    // A home computer: a flat box with a keyboard and a power light.
    p.setPen(QPen(kInk, 1));
    p.setBrush(QColor(60, 60, 66));
    p.drawRoundedRect(QRectF(0.5, 5.5, 15, 8), 1.5, 1.5);
    p.setBrush(QColor(196, 196, 200));
    p.drawRect(QRectF(0.5, 5.5, 15, 2.5));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(235, 235, 235));
    for (int row = 0; row < 2; ++row)
        for (int col = 0; col < 5; ++col)
            p.drawRect(QRectF(2 + col * 2.2, 9 + row * 2, 1.6, 1.4));
    p.setBrush(active ? QColor(60, 230, 60) : QColor(120, 40, 40));
    p.drawEllipse(QRectF(12.3, 9.2, 2.2, 2.2));
}

void Cylinder(QPainter& p, const QColor& body) {
    p.setPen(QPen(kInk, 1));
    p.setBrush(body);
    p.drawRect(QRectF(2.5, 3.5, 11, 9));
    p.setPen(Qt::NoPen);
    p.drawRect(QRectF(3, 3, 10, 10));
    p.setPen(QPen(kInk, 1));
    p.drawEllipse(QRectF(2.5, 10.5, 11, 4));
    p.setPen(Qt::NoPen);
    p.drawRect(QRectF(3, 3.5, 10, 9));
    p.setPen(QPen(kInk, 1));
    p.drawLine(QPointF(2.5, 3.5), QPointF(2.5, 12.5));
    p.drawLine(QPointF(13.5, 3.5), QPointF(13.5, 12.5));
    p.setBrush(body.lighter(130));
    p.drawEllipse(QRectF(2.5, 1.5, 11, 4));
}

void Magnifier(QPainter& p, double x, double y) {
    p.setPen(QPen(kInk, 1.3));
    p.setBrush(QColor(200, 230, 255, 200));
    p.drawEllipse(QRectF(x, y, 6, 6));
    p.setPen(QPen(kInk, 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(x + 5.4, y + 5.4), QPointF(x + 8, y + 8));
}

void Page(QPainter& p, double x, double y, double w = 10, double h = 13) {
    p.setPen(QPen(kInk, 1));
    p.setBrush(Qt::white);
    QPainterPath path;
    path.moveTo(x, y);
    path.lineTo(x + w - 3, y);
    path.lineTo(x + w, y + 3);
    path.lineTo(x + w, y + h);
    path.lineTo(x, y + h);
    path.closeSubpath();
    p.drawPath(path);
    p.setPen(QPen(QColor(150, 150, 160), 0.8));
    for (double ly = y + 4; ly < y + h - 1; ly += 2)
        p.drawLine(QPointF(x + 2, ly), QPointF(x + w - 2, ly));
}

void Arrow(QPainter& p, double x0, double x1, double y, const QColor& c, bool twin = false) {
    // A horizontal arrow from x0 to x1 (either direction), optionally with a second head.
    p.setPen(QPen(c, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(QPointF(x0, y), QPointF(x1, y));
    const double d = x1 > x0 ? -1 : 1;
    auto head = [&](double tip) {
        QPolygonF h;
        h << QPointF(tip, y) << QPointF(tip + d * 4, y - 3.5) << QPointF(tip + d * 4, y + 3.5);
        p.setBrush(c);
        p.setPen(QPen(c, 1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolygon(h);
        p.setPen(QPen(c, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    };
    head(x1);
    if (twin) head(x1 + d * 4);
}

void VerticalArrow(QPainter& p, double x, double y0, double y1, const QColor& c) {
    p.setPen(QPen(c, 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(x, y0), QPointF(x, y1));
    const double d = y1 > y0 ? -1 : 1;
    QPolygonF h;
    h << QPointF(x, y1) << QPointF(x - 3.5, y1 + d * 4) << QPointF(x + 3.5, y1 + d * 4);
    p.setBrush(c);
    p.setPen(QPen(c, 1));
    p.drawPolygon(h);
}

void DrawTreeIcon(QPainter& p, int kind) {
    switch (kind) {
        case 0:  // PC
            Monitor(p, QColor(70, 120, 200));
            break;
        case 1:
        case 2:  // TI-99/4A, before and after a scan
            Console(p, kind == 2);
            break;
        case 3:
        case 4:  // emulator
            Monitor(p, kind == 4 ? QColor(60, 170, 80) : QColor(90, 90, 100));
            Letter(p, "Z", QRectF(3.5, 3, 9, 7), Qt::white, 7);
            break;
        case 5:
        case 6:  // database closed / open
            Cylinder(p, kind == 6 ? QColor(236, 190, 70) : QColor(170, 170, 176));
            break;
        case 7: {  // device card
            p.setPen(QPen(QColor(20, 80, 30), 1));
            p.setBrush(QColor(60, 150, 80));
            p.drawRect(QRectF(1.5, 2.5, 13, 9));
            p.setBrush(QColor(220, 180, 60));
            for (int i = 0; i < 5; ++i)
                p.drawRect(QRectF(3 + i * 2.2, 11.5, 1.4, 2.5));
            p.setBrush(kInk);
            p.drawRect(QRectF(4.5, 5, 4, 3));
            break;
        }
        case 8:
            Folder(p, kFolder, kFolderDark);
            break;
        case 9:
            Folder(p, QColor(225, 225, 228), QColor(120, 120, 128), true);
            break;
        case 10:
            Floppy(p, kDisk, kDiskDark);
            break;
        case 11:  // track image: a disk with track rings
            Floppy(p, QColor(130, 60, 150), QColor(80, 30, 100));
            p.setPen(QPen(QColor(130, 60, 150), 0.7));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(QRectF(6, 9.8, 4, 3.6));
            break;
        case 12:  // emulator drive
            Floppy(p, kGreen, QColor(20, 90, 30));
            Letter(p, "Z", QRectF(4, 8.5, 8, 6), kInk, 6);
            break;
        case 13: {  // drive of the cabled TI-99/4A: a drive unit with a slot
            p.setPen(QPen(kInk, 1));
            p.setBrush(QColor(200, 200, 205));
            p.drawRect(QRectF(0.5, 4.5, 15, 8));
            p.setBrush(kInk);
            p.drawRect(QRectF(2.5, 7.5, 9, 1.5));
            p.setBrush(QColor(230, 60, 50));
            p.setPen(Qt::NoPen);
            p.drawEllipse(QRectF(12.5, 9.5, 2, 2));
            break;
        }
        case 14:  // disk query
            Floppy(p, kDisk, kDiskDark, 0.5, 0.5, 11);
            Magnifier(p, 7, 7);
            break;
        case 15:  // file query
            Page(p, 1.5, 0.5, 9, 12);
            Magnifier(p, 7, 7);
            break;
        case 16:  // free SQL
            p.setPen(QPen(kInk, 1));
            p.setBrush(QColor(255, 250, 220));
            p.drawRect(QRectF(0.5, 3.5, 15, 9));
            Letter(p, "SQL", QRectF(0.5, 3.5, 15, 9), QColor(120, 40, 140), 6);
            break;
        case 17:  // saved queries
            Page(p, 4.5, 0.5, 9, 11);
            Page(p, 2.5, 2.5, 9, 11);
            Page(p, 0.5, 4.5, 9, 11);
            break;
        case 18:  // parameters
            Page(p, 2.5, 1.5, 11, 13);
            Letter(p, "=", QRectF(2.5, 4, 11, 9), QColor(120, 40, 140), 10);
            break;
        case 19:  // Archiver file: a folder tied with a band
            Folder(p, QColor(200, 160, 110), QColor(110, 80, 40));
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(150, 40, 40));
            p.drawRect(QRectF(6.5, 3, 3, 11.5));
            p.setBrush(QColor(240, 220, 120));
            p.drawRect(QRectF(6.5, 7.5, 3, 2));
            break;
        default:  // unused places of the strip
            p.setPen(QPen(QColor(160, 160, 168), 1, Qt::DotLine));
            p.setBrush(Qt::NoBrush);
            p.drawRect(QRectF(2.5, 2.5, 11, 11));
            break;
    }
}

void DrawCommandIcon(QPainter& p, CommandId id) {
    using C = CommandId;
    switch (id) {
        case C::NewPcFile:
            Floppy(p, kDisk, kDiskDark, 0.5, 2.5, 12);
            p.setPen(QPen(QColor(230, 160, 0), 1.6));
            p.drawLine(QPointF(13, 0.5), QPointF(13, 6.5));
            p.drawLine(QPointF(10, 3.5), QPointF(16, 3.5));
            break;
        case C::MountPcFile:
            Floppy(p, kDisk, kDiskDark, 4.5, 3.5, 11);
            Arrow(p, 0.5, 6, 3.5, kGreen);
            break;
        case C::DummyFolder:
            Folder(p, QColor(225, 225, 228), QColor(120, 120, 128), true);
            p.setPen(QPen(QColor(230, 160, 0), 1.6));
            p.drawLine(QPointF(12.5, 0.5), QPointF(12.5, 5.5));
            p.drawLine(QPointF(10, 3), QPointF(15, 3));
            break;
        case C::FileProtect:  // padlock
            p.setPen(QPen(kInk, 1.6));
            p.setBrush(Qt::NoBrush);
            p.drawArc(QRectF(4, 1.5, 8, 9), 0, 180 * 16);
            p.drawLine(QPointF(4, 6), QPointF(4, 8));
            p.drawLine(QPointF(12, 6), QPointF(12, 8));
            p.setPen(QPen(QColor(140, 100, 10), 1));
            p.setBrush(QColor(236, 190, 70));
            p.drawRoundedRect(QRectF(2.5, 7.5, 11, 7.5), 1, 1);
            p.setBrush(kInk);
            p.drawEllipse(QRectF(7, 9.5, 2, 2));
            break;
        case C::FileDelete:
            p.setPen(QPen(kRed, 2.6, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(3, 3), QPointF(13, 13));
            p.drawLine(QPointF(13, 3), QPointF(3, 13));
            break;
        case C::FileExport:
            Page(p, 0.5, 0.5, 9, 12);
            Arrow(p, 6, 15, 11, kGreen);
            break;
        case C::FileImport:
            Page(p, 6.5, 0.5, 9, 12);
            Arrow(p, 15, 1, 11, kDisk);
            break;
        case C::EditSelect: {  // a selection rectangle with a pointer
            p.setPen(QPen(kDisk, 1, Qt::DashLine));
            p.setBrush(QColor(52, 92, 170, 50));
            p.drawRect(QRectF(0.5, 0.5, 11, 9));
            QPolygonF arrow;
            arrow << QPointF(7, 6) << QPointF(7, 15) << QPointF(9.3, 12.6) << QPointF(11, 15.5)
                  << QPointF(12.6, 14.7) << QPointF(11, 12) << QPointF(14, 11.6);
            p.setPen(QPen(kInk, 1));
            p.setBrush(Qt::white);
            p.drawPolygon(arrow);
            break;
        }
        case C::EditClearSelection: {  // an eraser
            p.setPen(QPen(kInk, 1));
            QPolygonF eraser;
            eraser << QPointF(1.5, 10.5) << QPointF(8.5, 3.5) << QPointF(14.5, 9.5)
                   << QPointF(9.5, 14.5) << QPointF(5.5, 14.5);
            p.setBrush(QColor(240, 140, 160));
            p.drawPolygon(eraser);
            p.setBrush(QColor(120, 150, 220));
            QPolygonF band;
            band << QPointF(5, 7) << QPointF(11, 13) << QPointF(9.5, 14.5) << QPointF(5.5, 14.5)
                 << QPointF(1.5, 10.5);
            p.drawPolygon(band);
            break;
        }
        case C::SectorSwapTarget:
            Arrow(p, 2, 14, 4.5, kDisk);
            Arrow(p, 14, 2, 11.5, kGreen);
            break;
        case C::SectorPreviousTrack:
            Arrow(p, 15, 5, 8, kInk, true);
            break;
        case C::SectorPrevious:
            Arrow(p, 14, 2, 8, kInk);
            break;
        case C::SectorNext:
            Arrow(p, 2, 14, 8, kInk);
            break;
        case C::SectorNextTrack:
            Arrow(p, 1, 11, 8, kInk, true);
            break;
        case C::SectorSave:  // a sector written down to the disk
            Floppy(p, kDisk, kDiskDark, 2.5, 4.5, 11);
            VerticalArrow(p, 8, 0, 5, kRed);
            break;
        case C::SectorStayInFile:  // a pin in a page
            Page(p, 2.5, 2.5, 11, 13);
            p.setPen(QPen(kInk, 1));
            p.setBrush(kRed);
            p.drawEllipse(QRectF(5, 0.5, 6, 6));
            p.setPen(QPen(kInk, 1.4));
            p.drawLine(QPointF(8, 6.5), QPointF(8, 11));
            break;
        case C::MarkUsed: {  // a grid with one sector filled
            p.setPen(QPen(QColor(120, 120, 128), 1));
            p.setBrush(Qt::white);
            for (int r = 0; r < 3; ++r)
                for (int c = 0; c < 3; ++c)
                    p.drawRect(QRectF(1.5 + c * 4.5, 1.5 + r * 4.5, 4, 4));
            p.setBrush(kRed);
            p.drawRect(QRectF(6, 6, 4, 4));
            break;
        }
        case C::EditFind:
            Magnifier(p, 1.5, 1.5);
            break;
        case C::EditFindNext:
            Magnifier(p, 0.5, 0.5);
            Arrow(p, 8, 15, 13, kGreen);
            break;
        case C::EditFindAll:
            Magnifier(p, 0.5, 0.5);
            Letter(p, "*", QRectF(8, 8, 8, 8), kRed, 11);
            break;
        case C::EditCopy:
            Page(p, 0.5, 0.5, 9, 11);
            Page(p, 6.5, 4.5, 9, 11);
            break;
        case C::EditPaste:
            p.setPen(QPen(QColor(110, 70, 20), 1));
            p.setBrush(QColor(190, 140, 70));
            p.drawRoundedRect(QRectF(1.5, 2.5, 10, 12), 1, 1);
            p.setBrush(QColor(200, 200, 205));
            p.drawRect(QRectF(4, 1, 5, 3));
            Page(p, 6.5, 5.5, 9, 10);
            break;
        default:
            break;
    }
}

QIcon Cached(std::map<int, QIcon>& cache, int key, const std::function<void(QPainter&)>& draw) {
    auto it = cache.find(key);
    if (it != cache.end()) return it->second;
    QPixmap pm(kIconSize, kIconSize);
    pm.fill(Qt::transparent);
    {
        QPainter p(&pm);
        CIconCanvas canvas(p);
        draw(p);
    }
    QIcon icon(pm);
    cache[key] = icon;
    return icon;
}

}  // namespace

QPixmap TreeIconStrip() {
    QPixmap strip(kIconSize * kTreeIconCount, kIconSize);
    strip.fill(kMagenta);
    QPainter p(&strip);
    for (int kind = 0; kind < kTreeIconCount; ++kind) {
        CIconCanvas canvas(p, kind * kIconSize);
        // Antialiased edges over magenta would leave pink fringes: draw the edges crisp.
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setRenderHint(QPainter::TextAntialiasing, false);
        DrawTreeIcon(p, kind);
    }
    return strip;
}

QIcon TreeIcon(int kind) {
    static std::map<int, QIcon> cache;
    if (kind < 0 || kind >= kTreeIconCount) return {};
    auto it = cache.find(kind);
    if (it != cache.end()) return it->second;
    static const QPixmap strip = TreeIconStrip();
    QPixmap one = strip.copy(kind * kIconSize, 0, kIconSize, kIconSize);
    one.setMask(one.createMaskFromColor(kMagenta, Qt::MaskInColor));
    QIcon icon(one);
    cache[kind] = icon;
    return icon;
}

QIcon CommandIcon(CommandId id) {
    static std::map<int, QIcon> cache;
    return Cached(cache, static_cast<int>(id), [id](QPainter& p) { DrawCommandIcon(p, id); });
}

QIcon CatalogIcon(int index) {
    static std::map<int, QIcon> cache;
    return Cached(cache, index, [index](QPainter& p) {
        static const char* const kLetters[] = {"P", "DF", "DV", "IF", "IV", "I1"};
        static const QColor kColours[] = {QColor(200, 60, 40),  QColor(52, 92, 170),
                                          QColor(40, 140, 160), QColor(120, 60, 150),
                                          QColor(150, 80, 170), QColor(110, 110, 120)};
        const int i = index >= 0 && index < 6 ? index : 0;
        Page(p, 1.5, 0.5, 13, 15);
        p.setPen(Qt::NoPen);
        p.setBrush(kColours[i]);
        p.drawRoundedRect(QRectF(2.5, 6, 11, 7), 1, 1);
        Letter(p, kLetters[i], QRectF(2.5, 6, 11, 7), Qt::white, 6);
    });
}

QIcon PcFileKindIcon(int kind) {
    static std::map<int, QIcon> cache;
    return Cached(cache, kind, [kind](QPainter& p) {
        switch (kind) {
            case 0:
                Folder(p, kFolder, kFolderDark);
                break;
            case 1:
                Floppy(p, kDisk, kDiskDark);
                break;
            case 2:
            case 3:
                Floppy(p, QColor(130, 60, 150), QColor(80, 30, 100));
                break;
            case 7:
            case 8:
                Page(p, 2.5, 0.5, 11, 15);
                p.setPen(Qt::NoPen);
                p.setBrush(kind == 7 ? QColor(40, 140, 160) : kDisk);
                p.drawRoundedRect(QRectF(3.5, 6, 9, 6), 1, 1);
                Letter(p, "TI", QRectF(3.5, 6, 9, 6), Qt::white, 6);
                break;
            default:
                Page(p, 2.5, 0.5, 11, 15);
                break;
        }
    });
}

}  // namespace tavik
