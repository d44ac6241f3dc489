// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "artwork.h"

#include "common/svgdrawing.h"

#include <QFile>
#include <QResource>

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QWidget>
#include <cstring>

namespace {
QPixmap blank(QSize size, qreal dpr)
{
    QPixmap pm(size * dpr);
    pm.setDevicePixelRatio(dpr);
    pm.fill(Qt::transparent);
    return pm;
}

// A small car seen from the side, in a box of width w whose lower left corner is at (x, y).
void paintCar(QPainter &p, qreal x, qreal y, qreal w, const QColor &body)
{
    const qreal h = w * 0.42;
    QPainterPath car;
    car.moveTo(x, y - h * 0.25);
    car.lineTo(x, y - h * 0.55);
    car.quadTo(x + w * 0.05, y - h * 0.62, x + w * 0.2, y - h * 0.62);
    car.lineTo(x + w * 0.32, y - h);
    car.lineTo(x + w * 0.68, y - h);
    car.lineTo(x + w * 0.82, y - h * 0.62);
    car.quadTo(x + w, y - h * 0.6, x + w, y - h * 0.4);
    car.lineTo(x + w, y - h * 0.25);
    car.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(body);
    p.drawPath(car);
    p.setBrush(QColor(200, 230, 255));
    QPolygonF windows;
    windows << QPointF(x + w * 0.25, y - h * 0.62) << QPointF(x + w * 0.35, y - h * 0.9)
            << QPointF(x + w * 0.65, y - h * 0.9) << QPointF(x + w * 0.76, y - h * 0.62);
    p.drawPolygon(windows);
    p.setBrush(QColor(30, 30, 30));
    p.drawEllipse(QPointF(x + w * 0.24, y - h * 0.25), h * 0.24, h * 0.24);
    p.drawEllipse(QPointF(x + w * 0.76, y - h * 0.25), h * 0.24, h * 0.24);
    p.setBrush(QColor(190, 190, 190));
    p.drawEllipse(QPointF(x + w * 0.24, y - h * 0.25), h * 0.1, h * 0.1);
    p.drawEllipse(QPointF(x + w * 0.76, y - h * 0.25), h * 0.1, h * 0.1);
}

// The night-blue rounded background of the large banners.
void paintSky(QPainter &p, QSize size)
{
    QLinearGradient sky(0, 0, 0, size.height());
    sky.setColorAt(0, QColor(42, 110, 196));
    sky.setColorAt(0.7, QColor(16, 56, 118));
    sky.setColorAt(1, QColor(10, 38, 84));
    p.setPen(QColor(8, 30, 70));
    p.setBrush(sky);
    p.drawRoundedRect(QRectF(0.5, 0.5, size.width() - 1, size.height() - 1), 8, 8);
}

void paintRoad(QPainter &p, const QRectF &r)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 63, 70));
    p.drawRect(r);
    p.setBrush(QColor(255, 204, 0));
    for (int i = 0; r.left() + 4 + 22 * i < r.right(); ++i)
        p.drawRect(QRectF(r.left() + 4 + 22 * i, r.center().y() - 1, 12, 2));
}

void drawText(QPainter &p, const QRectF &r, const QString &text, int pixelSize, bool bold,
              const QColor &color, int flags)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    p.setFont(f);
    p.setPen(QColor(0, 0, 0, 110));
    p.drawText(r.translated(1, 1), flags, text);
    p.setPen(color);
    p.drawText(r, flags, text);
}
} // namespace

namespace {
// The SVG file at path rendered at size, or a null pixmap when it is missing or not a drawing.
QPixmap rendered(const QString &path, QSize size, qreal dpr)
{
    if (!QFile::exists(path))
        return {};
    QPixmap pm = blank(size, dpr);
    QPainter p(&pm);
    const bool drawn = SvgDrawing::render(path, p, QRectF(QPointF(0, 0), QSizeF(size)));
    p.end();
    return drawn ? pm : QPixmap();
}
} // namespace

QPixmap Artwork::glyphPixmap(const QString &name, QSize size, qreal dpr)
{
    return rendered(QStringLiteral(":/glyphs/%1.svg").arg(name), size, dpr);
}

QPixmap Artwork::iconPixmap(int size)
{
    return rendered(QStringLiteral(":/icone.svg"), QSize(size, size), 1.0);
}

QIcon Artwork::windowIcon()
{
    QIcon icon;
    for (int size : kIconSizes) {
        const QPixmap pm = prepared(QStringLiteral("icon-%1").arg(size), 1.0);
        if (pm.isNull())
            return QIcon(QStringLiteral(":/icone.svg"));
        icon.addPixmap(pm);
    }
    return icon;
}

QIcon Artwork::glyph(const QWidget *widget, const char *name, int size)
{
    return glyph(QLatin1String(name), size, widget->devicePixelRatioF());
}

QIcon Artwork::glyph(const QString &name, int size, qreal dpr)
{
    QPixmap pm = size == 32 ? prepared(QStringLiteral("glyph-") + name, dpr) : QPixmap();
    if (pm.isNull())
        pm = glyphPixmap(name, QSize(size, size), dpr);
    return pm.isNull() ? QIcon() : QIcon(pm);
}

QPixmap Artwork::paintSmallBanner(qreal dpr)
{
    const QSize size(278, 41);
    QPixmap pm = blank(size, dpr);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, size.height());
    sky.setColorAt(0, QColor(31, 92, 170));
    sky.setColorAt(1, QColor(14, 50, 105));
    p.setPen(QColor(10, 35, 80));
    p.setBrush(sky);
    p.drawRoundedRect(QRectF(0.5, 0.5, size.width() - 1, size.height() - 1), 5, 5);
    paintRoad(p, QRectF(1, 31, 72, 9));
    paintCar(p, 14, 33, 40, QColor(214, 40, 40));
    drawText(p, QRectF(78, 3, 196, 20), QStringLiteral("Baixe nossos programas!"), 13, true,
             QColor(255, 214, 0), Qt::AlignLeft | Qt::AlignVCenter);
    drawText(p, QRectF(78, 22, 196, 16), QStringLiteral("Clique aqui e conheça outros títulos"), 10, false,
             Qt::white, Qt::AlignLeft | Qt::AlignVCenter);
    return pm;
}

QPixmap Artwork::paintLargeBanner(qreal dpr)
{
    const QSize size(477, 100);
    QPixmap pm = blank(size, dpr);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    paintSky(p, size);
    paintRoad(p, QRectF(1, 80, size.width() - 2, 14));
    paintCar(p, 380, 86, 78, QColor(214, 40, 40));
    // A warning sign beside the road.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(120, 120, 120));
    p.drawRect(QRectF(41, 40, 3, 40));
    QPolygonF diamond;
    diamond << QPointF(42.5, 18) << QPointF(61, 36.5) << QPointF(42.5, 55) << QPointF(24, 36.5);
    p.setBrush(QColor(255, 204, 0));
    p.setPen(QPen(Qt::black, 1.5));
    p.drawPolygon(diamond);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawEllipse(QPointF(42.5, 31), 3, 3);
    p.drawRect(QRectF(41, 35, 3, 10));
    drawText(p, QRectF(80, 6, 390, 28), QStringLiteral("Programas da Vitrine Dolmar"), 20, true,
             QColor(255, 214, 0), Qt::AlignLeft | Qt::AlignVCenter);
    drawText(p, QRectF(80, 34, 300, 20), QStringLiteral("Simulados, agenda e utilitários"), 13, false,
             Qt::white, Qt::AlignLeft | Qt::AlignVCenter);
    drawText(p, QRectF(80, 54, 300, 20), QStringLiteral("Clique aqui e faça o download"), 13, true,
             QColor(170, 220, 255), Qt::AlignLeft | Qt::AlignVCenter);
    return pm;
}

QPixmap Artwork::paintExamBanner(qreal dpr)
{
    const QSize size(350, 110);
    QPixmap pm = blank(size, dpr);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    paintSky(p, size);
    paintRoad(p, QRectF(1, 90, size.width() - 2, 14));
    paintCar(p, 250, 96, 74, QColor(214, 40, 40));
    drawText(p, QRectF(14, 8, 326, 26), QStringLiteral("Conheça nossos programas"), 18, true,
             QColor(255, 214, 0), Qt::AlignLeft | Qt::AlignVCenter);
    drawText(p, QRectF(14, 36, 326, 20), QStringLiteral("Simulados, agenda e utilitários"), 13, false,
             Qt::white, Qt::AlignLeft | Qt::AlignVCenter);
    drawText(p, QRectF(14, 58, 230, 20), QStringLiteral("Clique aqui para o download"), 13, true,
             QColor(170, 220, 255), Qt::AlignLeft | Qt::AlignVCenter);
    return pm;
}

QPixmap Artwork::smallBanner(qreal dpr)
{
    QPixmap pm = prepared(QStringLiteral("banner-small"), dpr);
    return pm.isNull() ? paintSmallBanner(dpr) : pm;
}

QPixmap Artwork::largeBanner(qreal dpr)
{
    QPixmap pm = prepared(QStringLiteral("banner-large"), dpr);
    return pm.isNull() ? paintLargeBanner(dpr) : pm;
}

QPixmap Artwork::examBanner(qreal dpr)
{
    QPixmap pm = prepared(QStringLiteral("banner-exam"), dpr);
    return pm.isNull() ? paintExamBanner(dpr) : pm;
}

bool Artwork::writePrepared(const QImage &image, const QString &path)
{
    const QImage img = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QByteArray data("QVIM");
    for (quint32 v : {quint32(img.width()), quint32(img.height())})
        for (int shift = 0; shift < 32; shift += 8)
            data.append(char((v >> shift) & 0xFF));
    for (int y = 0; y < img.height(); ++y)
        data.append(reinterpret_cast<const char *>(img.constScanLine(y)), img.width() * 4);
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

QPixmap Artwork::prepared(const QString &name, qreal dpr)
{
    const int ratio = qRound(dpr);
    if (ratio < 1 || ratio > 2 || !qFuzzyCompare(dpr, qreal(ratio)))
        return {};
    const QResource res(QStringLiteral(":/prepared/%1@%2x.raw").arg(name).arg(ratio));
    const qint64 size = res.size();
    if (!res.isValid() || res.compressionAlgorithm() != QResource::NoCompression || size < 12)
        return {};
    const uchar *data = res.data();
    if (std::memcmp(data, "QVIM", 4) != 0)
        return {};
    auto word = [data](int at) {
        return quint32(data[at]) | quint32(data[at + 1]) << 8 | quint32(data[at + 2]) << 16 |
               quint32(data[at + 3]) << 24;
    };
    const quint32 w = word(4), h = word(8);
    if (w == 0 || h == 0 || w > 4096 || h > 4096 || qint64(w) * h * 4 + 12 != size)
        return {};
    // The image reads the program's own data in place; the pixmap takes a copy.
    const QImage img(data + 12, int(w), int(h), int(w) * 4, QImage::Format_ARGB32_Premultiplied);
    QPixmap pm = QPixmap::fromImage(img);
    pm.setDevicePixelRatio(ratio);
    return pm;
}
