// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The picture store: the named pictures carried inside the program, one SVG file per picture name
// (":/pictures/A0.svg" for "A0"; names are upper case). A picture is shown at its family's size
// from the size table below and rendered for the screen's device pixel ratio, so it stays crisp on
// a high-dpi screen. Each picture is rendered at most once per name, size and ratio and then kept.

#include <QHash>
#include <QPixmap>
#include <QSize>
#include <QString>
#include <QStringList>

class TPictureStore {
public:
    // A store of the files "<folder>/<NAME>.svg". The program's store is Shared(), on ":/pictures";
    // tests make stores on folders of their own.
    explicit TPictureStore(QString folder = QStringLiteral(":/pictures"));
    TPictureStore(const TPictureStore &) = delete;
    TPictureStore &operator=(const TPictureStore &) = delete;

    // The store on the pictures compiled into the program.
    static TPictureStore &Shared();

    // Every picture name the catalogue and the question bank can ask for, in catalogue order:
    // A0–A61, R0–R40, I3–I23, FAIXA1–7, PLC1–6, FX03, FX05, PLEX1, PLEX2, LOCAL and the six
    // verdict pictures BOMBA, SMILE, SMILE1, SMILE2, MAO, ROSTO.
    static const QStringList &pictureNames();
    // The size table: the width and height in pixels at which the named picture is shown, which its
    // SVG's own width and height must equal; an invalid size for a name that is no picture name.
    static QSize pictureSize(const QString &name);

    // The file that holds the named picture (whether it exists or not).
    QString filePath(const QString &name) const;
    // True when the name is a picture name and its file is present.
    bool contains(const QString &name) const;

    // The named picture at its size from the size table, for a screen of the given device pixel
    // ratio: a pixmap of size × ratio device pixels whose device pixel ratio is `devicePixelRatio`.
    // An empty picture (QPixmap()) for an empty or unknown name, a missing file or a file that is no
    // valid SVG. A ratio that is not positive counts as 1.
    QPixmap picture(const QString &name, qreal devicePixelRatio);
    // The same at an explicit size in device-independent pixels (an empty picture for an empty size).
    QPixmap picture(const QString &name, QSize size, qreal devicePixelRatio);

    // The device pixel ratio of the primary screen; 1 when there is no screen.
    static qreal screenRatio();

private:
    static void releaseShared();

    QString m_folder;
    QHash<QString, QPixmap> m_rendered; // by name, size and ratio; empty pictures are kept too
};

// The named picture from the program's store at its size, rendered for the primary screen; an empty
// picture (QPixmap()) when the store has no picture of that name, an empty name included.
QPixmap CarregarFigura(const QString &name);
// The same rendered for a screen of the given device pixel ratio.
QPixmap CarregarFigura(const QString &name, qreal devicePixelRatio);
