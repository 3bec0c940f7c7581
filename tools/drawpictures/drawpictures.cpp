// SPDX-License-Identifier: GPL-3.0-or-later
// Draws the program's icons and pictures into resources/. Run by hand when a picture changes:
//   g++ -std=c++20 -fPIC drawpictures.cpp $(pkg-config --cflags --libs Qt6Gui) -o /tmp/drawpictures
//   QT_QPA_PLATFORM=offscreen /tmp/drawpictures ../../resources
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>
#include <functional>

namespace {

using Draw = std::function<void(QPainter&)>;

// Every icon is drawn on a 32 × 32 grid and written at 16 and 32 pixels.
void icon(const QString& dir, const QString& name, const Draw& draw)
{
    QImage big(32, 32, QImage::Format_ARGB32);
    big.fill(Qt::transparent);
    {
        QPainter p(&big);
        p.setRenderHint(QPainter::Antialiasing);
        draw(p);
    }
    big.save(QDir(dir).filePath(QStringLiteral("icons/") + name), "ICO");
}

void arrow(QPainter& p, bool left, bool bar, bool doubled, QColor c = QColor(0, 111, 156))
{
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    auto tri = [&](double x) {
        QPolygonF t;
        if (left)
            t << QPointF(x, 16) << QPointF(x + 11, 6) << QPointF(x + 11, 26);
        else
            t << QPointF(x + 11, 16) << QPointF(x, 6) << QPointF(x, 26);
        p.drawPolygon(t);
    };
    if (doubled) {
        tri(left ? 5 : 6);
        tri(left ? 15 : 16);
    } else {
        tri(left ? 11 : 10);
    }
    if (bar)
        p.drawRect(left ? QRectF(3, 6, 3, 20) : QRectF(26, 6, 3, 20));
}

void sheet(QPainter& p, QRectF r, QColor fill = QColor(255, 255, 245))
{
    p.setPen(QPen(QColor(60, 60, 60), 1.5));
    p.setBrush(fill);
    p.drawRect(r);
    p.setPen(QPen(QColor(120, 140, 170), 1.2));
    for (double y = r.top() + 5; y < r.bottom() - 2; y += 4)
        p.drawLine(QPointF(r.left() + 3, y), QPointF(r.right() - 3, y));
}

void lamp(QPainter& p)
{
    QRadialGradient g(QPointF(16, 12), 11);
    g.setColorAt(0, QColor(255, 255, 200));
    g.setColorAt(1, QColor(250, 200, 30));
    p.setPen(QPen(QColor(150, 110, 0), 1.2));
    p.setBrush(g);
    p.drawEllipse(QPointF(16, 12), 9, 9);
    p.setBrush(QColor(150, 150, 150));
    p.drawRect(QRectF(12, 20, 8, 7));
    p.setPen(QPen(QColor(90, 90, 90), 1));
    p.drawLine(QPointF(12, 23), QPointF(20, 23));
    p.drawLine(QPointF(14, 29), QPointF(18, 29));
}

void printer(QPainter& p)
{
    sheet(p, QRectF(9, 3, 14, 12));
    p.setPen(QPen(QColor(50, 50, 50), 1.5));
    p.setBrush(QColor(0, 111, 156));
    p.drawRoundedRect(QRectF(3, 13, 26, 11), 2, 2);
    sheet(p, QRectF(9, 20, 14, 9));
    p.setBrush(QColor(120, 255, 120));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(25, 17), 1.5, 1.5);
}

void cross(QPainter& p, QColor c)
{
    p.setPen(QPen(c, 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(8, 8), QPointF(24, 24));
    p.drawLine(QPointF(24, 8), QPointF(8, 24));
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir(dir).mkpath(QStringLiteral("icons"));
    QDir(dir).mkpath(QStringLiteral("pictures"));

    // The application icon: a green cross on a certificate sheet.
    icon(dir, QStringLiteral("vetcert.ico"), [](QPainter& p) {
        sheet(p, QRectF(4, 2, 22, 28));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 128, 64));
        p.drawEllipse(QPointF(21, 23), 8, 8);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(19.5, 18, 3, 10));
        p.drawRect(QRectF(16, 21.5, 10, 3));
    });
    icon(dir, QStringLiteral("PRNFONT.ICO"), printer);
    icon(dir, QStringLiteral("EXIT.ICO"), [](QPainter& p) {
        p.setPen(QPen(QColor(80, 50, 20), 1.5));
        p.setBrush(QColor(170, 110, 60));
        p.drawRect(QRectF(4, 3, 14, 26));
        p.setBrush(QColor(250, 220, 0));
        p.drawEllipse(QPointF(15, 16), 1.5, 1.5);
        p.setPen(QPen(QColor(200, 30, 30), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawLine(QPointF(17, 16), QPointF(29, 16));
        p.drawPolyline(QPolygonF() << QPointF(24, 11) << QPointF(29, 16) << QPointF(24, 21));
    });
    icon(dir, QStringLiteral("adr1.ico"), [](QPainter& p) {
        // A card index: the register of certificates.
        p.setPen(QPen(QColor(40, 40, 40), 1.5));
        p.setBrush(QColor(0, 128, 64));
        p.drawRoundedRect(QRectF(3, 12, 26, 16), 2, 2);
        sheet(p, QRectF(7, 3, 18, 14));
        p.setBrush(QColor(230, 230, 230));
        p.drawRect(QRectF(12, 18, 8, 3));
    });
    icon(dir, QStringLiteral("Sch-ord.ico"), [](QPainter& p) {
        // A ruler over a sheet: fine tuning of the print positions.
        sheet(p, QRectF(3, 3, 20, 26));
        p.save();
        p.translate(17, 18);
        p.rotate(-35);
        p.setPen(QPen(QColor(90, 60, 0), 1));
        p.setBrush(QColor(255, 210, 80));
        p.drawRect(QRectF(-14, -4, 28, 8));
        for (int i = -12; i <= 12; i += 3)
            p.drawLine(QPointF(i, -4), QPointF(i, i % 2 ? -1 : 0));
        p.restore();
    });
    icon(dir, QStringLiteral("lampa.ico"), lamp);
    icon(dir, QStringLiteral("calendarn.ico"), [](QPainter& p) {
        p.setPen(QPen(QColor(60, 60, 60), 1.5));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4, 6, 24, 22));
        p.setBrush(QColor(200, 30, 30));
        p.drawRect(QRectF(4, 6, 24, 6));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(60, 60, 60));
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 4; ++c)
                p.drawRect(QRectF(7 + c * 5.5, 15 + r * 4.5, 3, 2.5));
    });
    // Navigation: first, prior page, prior, locate, next, next page, last, select, insert, change, delete, history.
    icon(dir, QStringLiteral("1n.ico"), [](QPainter& p) { arrow(p, true, true, false); });
    icon(dir, QStringLiteral("2n.ico"), [](QPainter& p) { arrow(p, true, false, true); });
    icon(dir, QStringLiteral("3n.ico"), [](QPainter& p) { arrow(p, true, false, false); });
    icon(dir, QStringLiteral("5n.ico"), [](QPainter& p) { arrow(p, false, false, false); });
    icon(dir, QStringLiteral("6n.ico"), [](QPainter& p) { arrow(p, false, false, true); });
    icon(dir, QStringLiteral("7n.ico"), [](QPainter& p) { arrow(p, false, true, false); });
    icon(dir, QStringLiteral("13n.ico"), [](QPainter& p) {
        p.setPen(QPen(QColor(0, 111, 156), 3));
        p.setBrush(QColor(220, 240, 255));
        p.drawEllipse(QPointF(13, 13), 8, 8);
        p.setPen(QPen(QColor(90, 60, 0), 4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(19, 19), QPointF(28, 28));
    });
    icon(dir, QStringLiteral("8n.ico"), [](QPainter& p) {
        p.setPen(QPen(QColor(0, 128, 64), 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(QPolygonF() << QPointF(6, 17) << QPointF(13, 24) << QPointF(26, 8));
    });
    icon(dir, QStringLiteral("9n.ico"), [](QPainter& p) {
        sheet(p, QRectF(4, 3, 18, 24));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 128, 64));
        p.drawEllipse(QPointF(23, 23), 7, 7);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(21.8, 18.5, 2.4, 9));
        p.drawRect(QRectF(18.5, 21.8, 9, 2.4));
    });
    icon(dir, QStringLiteral("10n.ico"), [](QPainter& p) {
        sheet(p, QRectF(4, 3, 18, 24));
        p.save();
        p.translate(20, 18);
        p.rotate(45);
        p.setPen(QPen(QColor(60, 40, 0), 1));
        p.setBrush(QColor(250, 190, 40));
        p.drawRect(QRectF(-3, -13, 6, 20));
        p.setBrush(QColor(60, 40, 0));
        p.drawPolygon(QPolygonF() << QPointF(-3, 7) << QPointF(3, 7) << QPointF(0, 12));
        p.restore();
    });
    icon(dir, QStringLiteral("11n.ico"), [](QPainter& p) {
        sheet(p, QRectF(4, 3, 18, 24));
        cross(p, QColor(200, 30, 30));
    });
    icon(dir, QStringLiteral("12n.ico"), [](QPainter& p) {
        // The previous value: a curved arrow back over a field.
        p.setPen(QPen(QColor(60, 60, 60), 1.5));
        p.setBrush(QColor(255, 255, 189));
        p.drawRect(QRectF(3, 18, 26, 10));
        p.setPen(QPen(QColor(0, 111, 156), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        QPainterPath path(QPointF(24, 14));
        path.cubicTo(QPointF(24, 3), QPointF(10, 3), QPointF(9, 11));
        p.drawPath(path);
        p.drawPolyline(QPolygonF() << QPointF(5, 8) << QPointF(9, 12) << QPointF(13, 8));
    });
    icon(dir, QStringLiteral("edit-cut.ico"), [](QPainter& p) {
        p.setPen(QPen(QColor(60, 60, 60), 2));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(9, 24), 4, 4);
        p.drawEllipse(QPointF(23, 24), 4, 4);
        p.drawLine(QPointF(11, 21), QPointF(22, 4));
        p.drawLine(QPointF(21, 21), QPointF(10, 4));
    });
    icon(dir, QStringLiteral("edit-copy.ico"), [](QPainter& p) {
        sheet(p, QRectF(3, 3, 16, 20));
        sheet(p, QRectF(12, 9, 16, 20));
    });
    icon(dir, QStringLiteral("edit-paste.ico"), [](QPainter& p) {
        p.setPen(QPen(QColor(80, 50, 20), 1.5));
        p.setBrush(QColor(190, 130, 70));
        p.drawRoundedRect(QRectF(4, 5, 20, 25), 2, 2);
        p.setBrush(QColor(180, 180, 180));
        p.drawRect(QRectF(10, 2, 8, 5));
        sheet(p, QRectF(13, 12, 15, 17));
    });

    // Wallpaper of the about window: a light lilac pattern of small crosses.
    {
        QImage img(64, 64, QImage::Format_RGB32);
        img.fill(QColor(255, 225, 255));
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(246, 208, 246), 2));
        for (int y = 8; y < 64; y += 32)
            for (int x = 8; x < 64; x += 32) {
                const int dx = (y / 32) % 2 ? 16 : 0;
                p.drawLine(QPointF(x + dx - 4, y), QPointF(x + dx + 4, y));
                p.drawLine(QPointF(x + dx, y - 4), QPointF(x + dx, y + 4));
            }
        p.end();
        img.save(QDir(dir).filePath(QStringLiteral("pictures/color1.jpg")), "JPG", 92);
    }
    // The about window's picture: a certificate blank with its seal.
    {
        const int w = 188, h = 236;
        QImage img(w, h, QImage::Format_RGB32);
        img.fill(QColor(255, 225, 255));
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(120, 120, 120), 1));
        p.setBrush(QColor(235, 235, 235));
        p.drawRect(QRectF(22, 16, 150, 206));  // shadow
        p.setBrush(QColor(255, 253, 240));
        p.setPen(QPen(QColor(0, 128, 64), 2));
        p.drawRect(QRectF(16, 10, 150, 206));
        p.setPen(QPen(QColor(0, 128, 64), 1));
        p.drawRect(QRectF(21, 15, 140, 196));
        QFont f(QStringLiteral("Liberation Sans"));
        f.setPixelSize(9);
        f.setBold(true);
        p.setFont(f);
        p.setPen(QColor(0, 128, 64));
        p.drawText(QRectF(21, 22, 140, 12), Qt::AlignCenter, QStringLiteral("ВЕТЕРИНАРНОЕ"));
        p.drawText(QRectF(21, 32, 140, 12), Qt::AlignCenter, QStringLiteral("УДОСТОВЕРЕНИЕ"));
        p.setPen(QPen(QColor(150, 160, 190), 1));
        for (int y = 56; y < 180; y += 9)
            p.drawLine(QPointF(30, y), QPointF(y % 2 ? 150 : 135, y));
        // The typed values in dark blue, as the program prints them.
        p.setPen(QPen(QColor(2, 44, 81), 1.6));
        for (int y = 54; y < 120; y += 18)
            p.drawLine(QPointF(60, y), QPointF(120 - (y % 27), y));
        // The round seal.
        p.setPen(QPen(QColor(40, 70, 200, 200), 2));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(128, 182), 22, 22);
        p.drawEllipse(QPointF(128, 182), 15, 15);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(40, 70, 200, 180));
        p.drawRect(QRectF(125.5, 173, 5, 18));
        p.drawRect(QRectF(119, 179.5, 18, 5));
        // The signature.
        p.setPen(QPen(QColor(20, 20, 80), 1.3));
        QPainterPath sig(QPointF(36, 195));
        sig.cubicTo(QPointF(46, 178), QPointF(50, 205), QPointF(60, 188));
        sig.cubicTo(QPointF(66, 180), QPointF(70, 200), QPointF(86, 190));
        p.drawPath(sig);
        p.end();
        img.save(QDir(dir).filePath(QStringLiteral("pictures/Regud_zast.jpg")), "JPG", 92);
    }
    return 0;
}
