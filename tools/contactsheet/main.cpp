// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later

// contactsheet OUT.png [SCALE] [PATTERN] [COLUMNS]: renders every picture of the store to one contact sheet,
// in catalogue order, each picture at its size from the size table with its picture name, sign
// code and catalogue name under it. SCALE (default 1) enlarges the sheet; the pictures are rendered
// at that ratio, so they stay sharp. PATTERN, a regular expression, keeps only the picture names
// it matches (e.g. "^A" for the warning signs). COLUMNS (default 8) is the number of pictures per
// row. A missing picture shows as a dashed frame.
// Run with QT_QPA_PLATFORM=offscreen for no display.

#include "signs/picturestore.h"
#include "signs/signcatalog.h"

#include <QGuiApplication>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>

#include <cstdio>

namespace {

constexpr int kCellWidth = 168;
constexpr int kPictureHeight = 112;
constexpr int kTextHeight = 80;
constexpr int kCellHeight = kPictureHeight + kTextHeight;
constexpr int kMargin = 8;

struct Caption {
    QString code;
    QString name;
};

// Code and catalogue text of every picture that has one.
QHash<QString, Caption> captions()
{
    QHash<QString, Caption> out;
    for (SignGroup g : {SignGroup::A, SignGroup::R, SignGroup::I})
        for (int p = SignCatalog::firstPosition(g); p <= SignCatalog::lastPosition(g); ++p)
            out.insert(FiguraPlaca(g, p), {SignCatalog::code(g, p), SignCatalog::name(g, p)});
    for (int p = 1; p <= SignCatalog::markingCount; ++p)
        out.insert(SignCatalog::FiguraFaixa(p), {QString(), SignCatalog::NomeFaixa(p)});
    for (int p = 1; p <= SignCatalog::plateCount; ++p)
        out.insert(SignCatalog::FiguraPlacaCarro(p), {QString(), SignCatalog::NomePlacaCarro(p).trimmed()});
    return out;
}

QFont font(int pixelSize, bool bold)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    return f;
}

void drawCell(QPainter &p, const QRect &cell, const QString &name, const Caption &caption, qreal scale)
{
    p.setPen(QColor(220, 220, 220));
    p.setBrush(Qt::NoBrush);
    p.drawRect(cell.adjusted(0, 0, -1, -1));

    // The picture, centred in the picture area, inside a frame of its size-table size.
    const QSize size = TPictureStore::pictureSize(name);
    const QRect box(cell.left() + (cell.width() - size.width()) / 2,
                    cell.top() + 4 + (kPictureHeight - 8 - size.height()) / 2, size.width(), size.height());
    const QPixmap picture = CarregarFigura(name, scale);
    if (picture.isNull()) {
        p.setPen(QPen(QColor(200, 0, 0), 1, Qt::DashLine));
        p.drawRect(box.adjusted(0, 0, -1, -1));
        p.setFont(font(10, false));
        p.drawText(box, Qt::AlignCenter, QStringLiteral("falta"));
    } else {
        p.setPen(QColor(235, 235, 255));
        p.drawRect(box.adjusted(-1, -1, 0, 0));
        p.drawPixmap(box.topLeft(), picture);
    }

    // Picture name and code on one line, the catalogue text wrapped below.
    QRect text(cell.left() + 4, cell.top() + kPictureHeight, cell.width() - 8, 14);
    p.setPen(Qt::black);
    p.setFont(font(11, true));
    p.drawText(text, Qt::AlignLeft | Qt::AlignVCenter, name);
    p.setPen(QColor(0, 0, 128));
    p.drawText(text, Qt::AlignRight | Qt::AlignVCenter, caption.code);
    text = QRect(text.left(), text.bottom() + 2, text.width(), kTextHeight - 18);
    p.setPen(QColor(40, 40, 40));
    p.setFont(font(10, false));
    p.drawText(text, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, caption.name);
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: contactsheet OUT.png [SCALE] [PATTERN] [COLUMNS]\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    bool scaleOk = true;
    const qreal scale = argc > 2 ? QString::fromLocal8Bit(argv[2]).toDouble(&scaleOk) : 1.0;
    if (!scaleOk || scale <= 0 || scale > 8) {
        std::fprintf(stderr, "contactsheet: SCALE must be a number above 0 and up to 8\n");
        return 2;
    }
    const QRegularExpression pattern(argc > 3 ? QString::fromLocal8Bit(argv[3]) : QString());
    if (!pattern.isValid()) {
        std::fprintf(stderr, "contactsheet: PATTERN is no regular expression\n");
        return 2;
    }

    bool columnsOk = true;
    const int maxColumns = argc > 4 ? QString::fromLocal8Bit(argv[4]).toInt(&columnsOk) : 8;
    if (!columnsOk || maxColumns < 1) {
        std::fprintf(stderr, "contactsheet: COLUMNS must be a whole number above 0\n");
        return 2;
    }

    QStringList names;
    for (const QString &name : TPictureStore::pictureNames())
        if (pattern.match(name).hasMatch())
            names << name;
    if (names.isEmpty()) {
        std::fprintf(stderr, "contactsheet: no picture name matches\n");
        return 2;
    }

    const int columns = std::min<int>(maxColumns, static_cast<int>(names.size()));
    const int rows = static_cast<int>((names.size() + columns - 1) / columns);
    const QSize sheet(2 * kMargin + columns * kCellWidth, 2 * kMargin + rows * kCellHeight);
    QImage image(sheet * scale, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::white);

    const QHash<QString, Caption> texts = captions();
    int missing = 0;
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        for (int i = 0; i < names.size(); ++i) {
            const QRect cell(kMargin + (i % columns) * kCellWidth, kMargin + (i / columns) * kCellHeight,
                             kCellWidth, kCellHeight);
            drawCell(p, cell, names[i], texts.value(names[i]), scale);
            missing += !TPictureStore::Shared().contains(names[i]);
        }
    }
    if (!image.save(out, "PNG")) {
        std::fprintf(stderr, "contactsheet: cannot write %s\n", qPrintable(out));
        return 1;
    }
    std::printf("wrote %s: %lld pictures, %d missing, %d x %d pixels\n", qPrintable(out),
                static_cast<long long>(names.size()), missing, image.width(), image.height());
    return 0;
}
