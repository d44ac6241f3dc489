// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "picturestore.h"

#include "common/svgdrawing.h"
#include "signs/signcatalog.h"

#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

#include <utility>

namespace {

struct SizeTable {
    QStringList names;
    QHash<QString, QSize> sizes;

    void add(const QString &name, QSize size)
    {
        names << name;
        sizes.insert(name, size);
    }
};

// Sizes in pixels, width × height, by picture family.
SizeTable makeSizeTable()
{
    SizeTable t;
    const auto signs = [&t](SignGroup group, auto sizeAt) {
        for (int p = SignCatalog::firstPosition(group); p <= SignCatalog::lastPosition(group); ++p)
            t.add(FiguraPlaca(group, p), sizeAt(p));
    };
    signs(SignGroup::A, [](int) { return QSize(50, 50); });
    signs(SignGroup::R, [](int) { return QSize(46, 46); });
    signs(SignGroup::I, [](int p) {
        switch (p) {
        case 3:
            return QSize(66, 73); // I-1, highway shield
        case 4:
            return QSize(88, 99); // I-3, highway shield
        case 5:
            return QSize(90, 60); // I-6, direction and distance
        case 6:                   // I-8 and I-9, road closed
        case 7:
            return QSize(50, 71);
        case 8: // I-9A and I-9B, direction of traffic
        case 9:
            return QSize(90, 30);
        case 10:
            return QSize(90, 31); // I-10, place name
        default:
            return QSize(41, 60); // I-11 to I-23, service plates
        }
    });
    for (int p = 1; p <= SignCatalog::markingCount; ++p)
        t.add(SignCatalog::FiguraFaixa(p), QSize(150, 55));
    for (int p = 1; p <= SignCatalog::plateCount; ++p)
        t.add(SignCatalog::FiguraPlacaCarro(p), QSize(150, 52));
    // Question pictures: two marking drawings, two plates, the "Consultar Placas" prompt.
    t.add(QStringLiteral("FX03"), QSize(53, 55));
    t.add(QStringLiteral("FX05"), QSize(53, 55));
    t.add(QStringLiteral("PLEX1"), QSize(100, 35));
    t.add(QStringLiteral("PLEX2"), QSize(100, 35));
    t.add(QStringLiteral("LOCAL"), QSize(65, 33));
    // Question pictures of regulatory signs the catalogue does not hold, drawn at the R size.
    for (const char *name : {"PR5B", "PR8B", "PR35A", "PR35B", "PR37", "PR38", "PR39"})
        t.add(QString::fromLatin1(name), QSize(46, 46));
    // Verdict pictures of the answer sheet.
    for (const char *name : {"BOMBA", "SMILE", "SMILE1", "SMILE2", "MAO", "ROSTO"})
        t.add(QString::fromLatin1(name), QSize(32, 32));
    return t;
}

const SizeTable &sizeTable()
{
    static const SizeTable table = makeSizeTable();
    return table;
}

QString cacheKey(const QString &name, QSize size, qreal ratio)
{
    return QStringLiteral("%1/%2x%3@%4").arg(name).arg(size.width()).arg(size.height()).arg(ratio);
}

} // namespace

TPictureStore::TPictureStore(QString folder) : m_folder(std::move(folder)) {}

TPictureStore &TPictureStore::Shared()
{
    static TPictureStore store;
    return store;
}

const QStringList &TPictureStore::pictureNames()
{
    return sizeTable().names;
}

QSize TPictureStore::pictureSize(const QString &name)
{
    return sizeTable().sizes.value(name);
}

QString TPictureStore::filePath(const QString &name) const
{
    return m_folder + QLatin1Char('/') + name + QStringLiteral(".svg");
}

bool TPictureStore::contains(const QString &name) const
{
    return pictureSize(name).isValid() && QFile::exists(filePath(name));
}

QPixmap TPictureStore::picture(const QString &name, qreal devicePixelRatio)
{
    const QSize size = pictureSize(name);
    return size.isValid() ? picture(name, size, devicePixelRatio) : QPixmap();
}

QPixmap TPictureStore::picture(const QString &name, QSize size, qreal devicePixelRatio)
{
    // A pixmap needs the GUI application; without one there is nothing to show.
    if (size.isEmpty() || !qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return {};
    if (!pictureSize(name).isValid())
        return {};
    const qreal ratio = devicePixelRatio > 0 ? devicePixelRatio : 1.0;
    const QString key = cacheKey(name, size, ratio);
    if (const auto kept = m_rendered.constFind(key); kept != m_rendered.constEnd())
        return kept.value();

    // The shared store outlives the application object: its pictures are released when the
    // application ends, while releasing them is still safe.
    if (m_rendered.isEmpty() && this == &Shared())
        qAddPostRoutine(&TPictureStore::releaseShared);

    QPixmap rendered;
    const QString path = filePath(name);
    if (QFile::exists(path)) {
        rendered = QPixmap(QSize(qRound(size.width() * ratio), qRound(size.height() * ratio)));
        rendered.setDevicePixelRatio(ratio);
        rendered.fill(Qt::transparent);
        QPainter painter(&rendered);
        if (!SvgDrawing::render(path, painter, QRectF(QPointF(0, 0), QSizeF(size)))) {
            painter.end();
            rendered = QPixmap();
        }
    }
    m_rendered.insert(key, rendered);
    return rendered;
}

void TPictureStore::releaseShared()
{
    Shared().m_rendered.clear();
}

qreal TPictureStore::screenRatio()
{
    const QScreen *screen = qobject_cast<QGuiApplication *>(QCoreApplication::instance())
                                ? QGuiApplication::primaryScreen()
                                : nullptr;
    return screen ? screen->devicePixelRatio() : 1.0;
}

QPixmap CarregarFigura(const QString &name)
{
    return CarregarFigura(name, TPictureStore::screenRatio());
}

QPixmap CarregarFigura(const QString &name, qreal devicePixelRatio)
{
    return TPictureStore::Shared().picture(name, devicePixelRatio);
}
