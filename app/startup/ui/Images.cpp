#include "app/startup/ui/Images.h"

#include "app/Globals.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <cmath>

namespace images {

namespace {

const QColor kInk(40, 62, 110);
const QColor kPaper(250, 250, 246);
const QColor kAccent(33, 93, 198);
const QColor kRed(196, 40, 40);
const QColor kGreen(30, 140, 60);

// Draws on a 24x24 canvas; the result scales to any icon size.
template <typename Draw>
QPixmap canvas(int size, Draw draw)
{
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 24.0, size / 24.0);
    draw(p);
    return pm;
}

void page(QPainter &p, qreal x, qreal y, qreal w, qreal h)
{
    QPainterPath path;
    path.moveTo(x, y);
    path.lineTo(x + w - 5, y);
    path.lineTo(x + w, y + 5);
    path.lineTo(x + w, y + h);
    path.lineTo(x, y + h);
    path.closeSubpath();
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(kPaper);
    p.drawPath(path);
    p.drawLine(QPointF(x + w - 5, y), QPointF(x + w - 5, y + 5));
    p.drawLine(QPointF(x + w - 5, y + 5), QPointF(x + w, y + 5));
}

void lines(QPainter &p, qreal x, qreal y, qreal w, int n)
{
    p.setPen(QPen(kAccent, 1));
    for (int i = 0; i < n; ++i)
        p.drawLine(QPointF(x, y + i * 3), QPointF(x + w, y + i * 3));
}

// Bold letters centred in r, pixels high.
void glyph(QPainter &p, const QRectF &r, int pixels, const QColor &colour, const QString &text)
{
    QFont f = p.font();
    f.setPixelSize(pixels);
    f.setBold(true);
    p.setFont(f);
    p.setPen(colour);
    p.drawText(r, Qt::AlignCenter, text);
}

void drawKey(QPainter &p, const QString &key)
{
    if (key == QLatin1String("New")) {
        page(p, 5, 2, 14, 19);
        p.setPen(QPen(kGreen, 2));
        p.drawLine(QPointF(16, 15), QPointF(16, 22));
        p.drawLine(QPointF(12.5, 18.5), QPointF(19.5, 18.5));
    } else if (key == QLatin1String("Open")) {
        p.setPen(QPen(QColor(150, 110, 20), 1.2));
        p.setBrush(QColor(240, 200, 90));
        p.drawRect(QRectF(2, 7, 18, 13));
        p.setBrush(QColor(250, 220, 120));
        p.drawPolygon(QPolygonF({QPointF(5, 11), QPointF(22, 11), QPointF(19, 20), QPointF(2, 20)}));
    } else if (key == QLatin1String("Save")) {
        p.setPen(QPen(kInk, 1.2));
        p.setBrush(kAccent);
        p.drawRoundedRect(QRectF(3, 3, 18, 18), 2, 2);
        p.setBrush(kPaper);
        p.drawRect(QRectF(7, 3, 10, 7));
        p.setBrush(QColor(210, 210, 210));
        p.drawRect(QRectF(6, 13, 12, 8));
    } else if (key == QLatin1String("Print")) {
        page(p, 7, 2, 10, 9);
        p.setPen(QPen(kInk, 1.2));
        p.setBrush(QColor(200, 200, 205));
        p.drawRoundedRect(QRectF(3, 10, 18, 8), 2, 2);
        p.setBrush(kPaper);
        p.drawRect(QRectF(7, 15, 10, 7));
    } else if (key == QLatin1String("Download")) {
        p.setPen(QPen(kInk, 1.2));
        p.setBrush(QColor(60, 60, 70));
        p.drawRect(QRectF(6, 15, 12, 7));
        for (int i = 0; i < 4; ++i)
            p.drawLine(QPointF(8 + i * 2.7, 22), QPointF(8 + i * 2.7, 23.5));
        p.setPen(QPen(kGreen, 2.4));
        p.drawLine(QPointF(12, 2), QPointF(12, 12));
        p.drawLine(QPointF(8, 8), QPointF(12, 12));
        p.drawLine(QPointF(16, 8), QPointF(12, 12));
    } else if (key == QLatin1String("Compile")) {
        page(p, 2, 2, 12, 16);
        lines(p, 4, 8, 7, 3);
        p.setPen(QPen(kInk, 1.2));
        p.setBrush(QColor(240, 200, 90));
        p.drawEllipse(QPointF(17, 17), 5, 5);
        p.setBrush(kPaper);
        p.drawEllipse(QPointF(17, 17), 2, 2);
    } else if (key == QLatin1String("Cut")) {
        p.setPen(QPen(kInk, 1.6));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(7, 18), 3, 3);
        p.drawEllipse(QPointF(17, 18), 3, 3);
        p.drawLine(QPointF(9, 16), QPointF(16, 3));
        p.drawLine(QPointF(15, 16), QPointF(8, 3));
    } else if (key == QLatin1String("Copy")) {
        page(p, 3, 2, 12, 15);
        page(p, 9, 7, 12, 15);
        lines(p, 11, 14, 7, 3);
    } else if (key == QLatin1String("Paste")) {
        p.setPen(QPen(QColor(120, 80, 30), 1.2));
        p.setBrush(QColor(200, 150, 80));
        p.drawRoundedRect(QRectF(3, 4, 14, 17), 2, 2);
        p.setBrush(QColor(150, 150, 160));
        p.drawRect(QRectF(7, 2, 6, 4));
        page(p, 10, 9, 11, 13);
    } else if (key == QLatin1String("Delete")) {
        p.setPen(QPen(kRed, 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(6, 6), QPointF(18, 18));
        p.drawLine(QPointF(18, 6), QPointF(6, 18));
    } else if (key == QLatin1String("Find")) {
        p.setPen(QPen(kInk, 2));
        p.setBrush(QColor(200, 225, 250));
        p.drawEllipse(QPointF(10, 10), 6, 6);
        p.setPen(QPen(kInk, 3.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(15, 15), QPointF(21, 21));
    } else if (key == QLatin1String("Edit")) {
        page(p, 3, 2, 13, 18);
        lines(p, 5, 8, 8, 3);
        p.setPen(QPen(QColor(200, 120, 20), 3.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(12, 20), QPointF(21, 9));
    } else if (key == QLatin1String("Add")) {
        p.setPen(Qt::NoPen);
        p.setBrush(kGreen);
        p.drawEllipse(QPointF(12, 12), 9, 9);
        p.setPen(QPen(Qt::white, 2.6));
        p.drawLine(QPointF(12, 7), QPointF(12, 17));
        p.drawLine(QPointF(7, 12), QPointF(17, 12));
    } else if (key == QLatin1String("Play")) {
        p.setPen(QPen(kGreen.darker(130), 1));
        p.setBrush(kGreen);
        p.drawPolygon(QPolygonF({QPointF(6, 4), QPointF(20, 12), QPointF(6, 20)}));
    } else if (key == QLatin1String("Record")) {
        p.setPen(QPen(kRed.darker(130), 1));
        p.setBrush(kRed);
        p.drawEllipse(QPointF(12, 12), 7, 7);
    } else if (key == QLatin1String("Stop")) {
        p.setPen(QPen(kInk, 1));
        p.setBrush(QColor(70, 70, 80));
        p.drawRect(QRectF(6, 6, 12, 12));
    } else if (key == QLatin1String("Pause")) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(70, 70, 80));
        p.drawRect(QRectF(6, 5, 4, 14));
        p.drawRect(QRectF(14, 5, 4, 14));
    } else if (key == QLatin1String("Cpanels")) {
        p.setPen(QPen(kInk, 1.2));
        p.setBrush(QColor(225, 228, 235));
        p.drawRoundedRect(QRectF(2, 3, 20, 18), 2, 2);
        p.setPen(QPen(kInk, 1.4));
        for (int i = 0; i < 3; ++i)
            p.drawLine(QPointF(7 + i * 5, 6), QPointF(7 + i * 5, 18));
        p.setBrush(kAccent);
        p.drawRect(QRectF(5, 13, 4, 3));
        p.drawRect(QRectF(10, 8, 4, 3));
        p.drawRect(QRectF(15, 11, 4, 3));
    } else if (key == QLatin1String("Phonetics")) {
        p.setPen(QPen(kInk, 1.2));
        p.setBrush(kPaper);
        p.drawRoundedRect(QRectF(2, 4, 20, 16), 3, 3);
        glyph(p, QRectF(2, 4, 20, 16), 10, kAccent, QStringLiteral("ph"));
    } else if (key == QLatin1String("Help")) {
        p.setPen(Qt::NoPen);
        p.setBrush(kAccent);
        p.drawEllipse(QPointF(12, 12), 9.5, 9.5);
        glyph(p, QRectF(2, 2, 20, 20), 14, Qt::white, QStringLiteral("?"));
    } else if (key == QLatin1String("SoundLib")) {
        p.setPen(QPen(kInk, 1.2));
        p.setBrush(QColor(200, 200, 205));
        p.drawPolygon(QPolygonF({QPointF(3, 9), QPointF(8, 9), QPointF(13, 4), QPointF(13, 20), QPointF(8, 15),
                                 QPointF(3, 15)}));
        p.setPen(QPen(kAccent, 1.6));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(11, 8, 6, 8), -60 * 16, 120 * 16);
        p.drawArc(QRectF(11, 4, 11, 16), -60 * 16, 120 * 16);
    } else if (key == QLatin1String("Dictionary")) {
        p.setPen(QPen(kInk, 1.2));
        p.setBrush(QColor(150, 40, 40));
        p.drawRoundedRect(QRectF(4, 2, 16, 20), 1.5, 1.5);
        p.setBrush(kPaper);
        p.drawRect(QRectF(7, 18, 13, 4));
        p.setPen(QPen(QColor(240, 200, 90), 1.4));
        p.drawLine(QPointF(9, 7), QPointF(16, 7));
        p.drawLine(QPointF(9, 10), QPointF(14, 10));
    } else if (key == QLatin1String("Music")) {
        p.setPen(Qt::NoPen);
        p.setBrush(kInk);
        p.drawEllipse(QPointF(7, 18), 3.5, 2.8);
        p.drawEllipse(QPointF(17, 16), 3.5, 2.8);
        p.setPen(QPen(kInk, 1.6));
        p.drawLine(QPointF(10, 18), QPointF(10, 5));
        p.drawLine(QPointF(20, 16), QPointF(20, 3));
        p.setPen(QPen(kInk, 3));
        p.drawLine(QPointF(10, 5.5), QPointF(20, 3.5));
    } else if (key == QLatin1String("Preferences")) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(110, 115, 130));
        for (int i = 0; i < 8; ++i) {
            p.save();
            p.translate(12, 12);
            p.rotate(i * 45.0);
            p.drawRect(QRectF(-2, -10, 4, 5));
            p.restore();
        }
        p.drawEllipse(QPointF(12, 12), 7, 7);
        p.setBrush(kPaper);
        p.drawEllipse(QPointF(12, 12), 3, 3);
    } else if (key == QLatin1String("Refresh")) {
        p.setPen(QPen(kGreen, 2.4, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(4, 4, 16, 16), 30 * 16, 280 * 16);
        p.setPen(Qt::NoPen);
        p.setBrush(kGreen);
        p.drawPolygon(QPolygonF({QPointF(15, 2), QPointF(21, 8), QPointF(14, 9)}));
    } else if (key == QLatin1String("HideShow")) {
        p.setPen(QPen(kInk, 1.2));
        p.setBrush(kPaper);
        p.drawRect(QRectF(3, 3, 8, 8));
        p.drawRect(QRectF(13, 13, 8, 8));
        p.drawLine(QPointF(5, 7), QPointF(9, 7));
        p.drawLine(QPointF(15, 17), QPointF(19, 17));
        p.drawLine(QPointF(17, 15), QPointF(17, 19));
        p.setPen(QPen(kAccent, 1.2, Qt::DotLine));
        p.drawLine(QPointF(7, 11), QPointF(7, 17));
        p.drawLine(QPointF(7, 17), QPointF(13, 17));
    } else if (key == QLatin1String("Comment") || key == QLatin1String("Uncomment")) {
        page(p, 4, 2, 15, 20);
        lines(p, 10, 9, 6, 4);
        glyph(p, QRectF(5, 6, 5, 12), 12, kGreen, QStringLiteral(";"));
        if (key == QLatin1String("Uncomment")) {
            p.setPen(QPen(kRed, 2, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(4, 19), QPointF(12, 7));
        }
    } else if (key == QLatin1String("Program")) {
        // A chip with its pins and a sound wave across it.
        p.setPen(QPen(kInk, 1.2));
        for (int i = 0; i < 4; ++i) {
            p.drawLine(QPointF(7 + i * 3.4, 1), QPointF(7 + i * 3.4, 4));
            p.drawLine(QPointF(7 + i * 3.4, 20), QPointF(7 + i * 3.4, 23));
        }
        p.setBrush(QColor(24, 44, 92));
        p.drawRoundedRect(QRectF(3, 4, 18, 16), 2, 2);
        p.setPen(QPen(QColor(250, 220, 120), 1.6, Qt::SolidLine, Qt::RoundCap));
        QPainterPath wave;
        wave.moveTo(5, 12);
        for (int x = 0; x <= 14; ++x)
            wave.lineTo(5 + x, 12 - 5.0 * std::sin(x * 0.9) * std::sin(x * 0.22));
        p.drawPath(wave);
    }
}

QIcon drawnIcon(const QString &key)
{
    QIcon icon;
    for (int size : {16, 24, 32, 48})
        icon.addPixmap(canvas(size, [&](QPainter &p) { drawKey(p, key); }));
    return icon;
}

} // namespace

QIcon toolbarImage(const QString &key)
{
    static const QStringList known = {
        QStringLiteral("New"),  QStringLiteral("Open"),    QStringLiteral("Save"),   QStringLiteral("Print"),
        QStringLiteral("Download"), QStringLiteral("Compile"), QStringLiteral("Cut"), QStringLiteral("Copy"),
        QStringLiteral("Paste"), QStringLiteral("Delete"), QStringLiteral("Find"),   QStringLiteral("Edit"),
        QStringLiteral("Add"),  QStringLiteral("Play"),    QStringLiteral("Record"), QStringLiteral("Stop"),
        QStringLiteral("Pause"), QStringLiteral("Cpanels"), QStringLiteral("Phonetics"), QStringLiteral("Help")};
    if (!known.contains(key))
        return QIcon();
    return drawnIcon(key);
}

QIcon menuImage(int index)
{
    const char *k = nullptr;
    switch (index) {
    case 0:
    case 14: k = "New"; break;
    case 1: k = "Open"; break;
    case 2: k = "Paste"; break;
    case 3: k = "Find"; break;
    case 4: k = "Save"; break;
    case 5: k = "Help"; break;
    case 6: k = "Copy"; break;
    case 7: k = "Cut"; break;
    case 8: k = "Delete"; break;
    case 9: k = "Download"; break;
    case 10: k = "Print"; break;
    case 11: k = "SoundLib"; break;
    case 12: k = "Dictionary"; break;
    case 13:
    case 20: k = "Play"; break;
    case 18: k = "Preferences"; break;
    case 21: k = "Record"; break;
    case 22: k = "Compile"; break;
    case 23: k = "Add"; break;
    case 24: k = "Refresh"; break;
    case 27: k = "Edit"; break;
    case 28: k = "Music"; break;
    case 29: k = "HideShow"; break;
    case 32: k = "Comment"; break;
    case 33: k = "Uncomment"; break;
    default: return QIcon();
    }
    return drawnIcon(QLatin1String(k));
}

QIcon programIcon()
{
    return drawnIcon(QStringLiteral("Program"));
}

QPixmap statusImage(int index)
{
    switch (index) {
    case 2:
        return toolbarImage(QStringLiteral("Download")).pixmap(16, 16);
    case 3:
        return toolbarImage(QStringLiteral("Play")).pixmap(16, 16);
    case 1:
    case 4:
        return canvas(16, [](QPainter &p) {
            p.setPen(Qt::NoPen);
            p.setBrush(kAccent);
            p.drawEllipse(QPointF(12, 12), 9, 9);
            p.setPen(QPen(Qt::white, 2.6, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(12, 11), QPointF(12, 17));
            p.drawPoint(QPointF(12, 7));
        });
    default:
        return QPixmap();
    }
}

QPixmap progressImage(int index)
{
    switch (index) {
    case 1:
        return canvas(32, [](QPainter &p) {
            page(p, 3, 2, 13, 17);
            p.setPen(QPen(kAccent, 1.4));
            QPainterPath wave;
            wave.moveTo(4, 11);
            for (int x = 0; x <= 10; ++x)
                wave.lineTo(4 + x, 11 + ((x % 2) ? -3 : 3) * (x % 3 ? 1 : 0.4));
            p.drawPath(wave);
            p.setPen(QPen(kGreen, 2));
            p.drawLine(QPointF(15, 17), QPointF(21, 17));
            p.drawLine(QPointF(18, 14), QPointF(21, 17));
            p.drawLine(QPointF(18, 20), QPointF(21, 17));
        });
    case 2:
        return canvas(32, [](QPainter &p) { drawKey(p, QStringLiteral("Compile")); });
    case 3:
        return canvas(22, [](QPainter &p) { drawKey(p, QStringLiteral("Download")); });
    case 4:
        return canvas(24, [](QPainter &p) {
            page(p, 4, 2, 15, 20);
            lines(p, 6, 8, 10, 4);
        });
    default:
        return QPixmap();
    }
}

QPixmap splashImage(const QSize &size)
{
    QPixmap pm(size);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, size.width(), size.height());
    g.setColorAt(0, QColor(24, 44, 92));
    g.setColorAt(1, QColor(33, 93, 198));
    p.fillRect(pm.rect(), g);
    // A stylised sound wave behind the name.
    p.setPen(QPen(QColor(255, 255, 255, 60), 3));
    QPainterPath wave;
    const int mid = size.height() * 2 / 3;
    wave.moveTo(0, mid);
    for (int x = 0; x <= size.width(); x += 4) {
        const double a = 18.0 * std::sin(x / 17.0) * std::sin(x / 97.0);
        wave.lineTo(x, mid + a);
    }
    p.drawPath(wave);
    QFont f = p.font();
    f.setPixelSize(size.height() / 5);
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRect(0, size.height() / 8, size.width(), size.height() / 3), Qt::AlignCenter,
               QLatin1String(kAppName));
    return pm;
}

} // namespace images
