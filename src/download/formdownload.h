// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The download window: the maker's products, downloaded over HTTP and listed from their archive.
// The user picks a product, reads its description and presses " Download"; the archive is fetched
// into the program folder as "temp.zip", copied to the product's archive name, its members listed
// and the name remembered in the settings file, so that the next start lists it again.
// Created once at start-up; closing hides it and its state stays.

#include "common/deferredcontent.h"

#include <QList>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>

class QIODevice;
class QThread;

class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QToolButton;
class QTableView;
class TAdware;
class TGauge;
class TLinkLabel;
class TPanel;
class ZipListModel;
struct ZipListingResult;

// One product of the maker's: its list entry, archive name, description ("\r" starts a new line)
// and the address it is downloaded from.
struct DownloadProduct {
    QString entry;
    QString archive;
    QString description;
    QString url;
};

class TFormDownload : public QWidget {
    Q_OBJECT
public:
    using Construction = WindowConstruction;
    // Deferred construction builds the controls (and lists the last archive) a moment after
    // start-up or when the window is first shown.
    explicit TFormDownload(QWidget *parent = nullptr, Construction construction = Construction::Immediate);
    ~TFormDownload() override;
    // Builds the controls if that has not happened yet.
    void ensureControls() { m_controls.ensure(); }

    // The products offered, in list order.
    static const QList<DownloadProduct> &Products();
    // The address the archives are downloaded from, ending in "/".
    static QString DownloadBase();
    // Test seam: downloads come from base (ending in "/") instead; empty restores the maker's.
    static void setDownloadBase(const QString &base);
    // Copies source to target in blocks of 2048 bytes and gives the target the source's
    // modification time and permissions. The copy is written beside the target under a temporary
    // name and renamed over it only when every byte is written and flushed, so the target is either
    // the old file, untouched, or the whole new one. False when the paths are equal, the source is
    // not a regular file or cannot be read, or any write, flush or the rename fails.
    static bool CopyArchive(const QString &source, const QString &target);
    // Test seam: every block CopyArchive writes goes through writer (returns the bytes written,
    // fewer or -1 on failure). Empty restores the plain write.
    using CopyWriter = std::function<qint64(QIODevice &out, const char *data, qint64 size)>;
    static void setCopyWriter(CopyWriter writer);

    // True for a name that may stand for an archive in the program folder: a plain file name, no
    // folder separators, no "..", no control characters.
    static bool IsPlainArchiveName(const QString &name);

    // Controls, named as the layout names them.
    TPanel *PanelGifAnimate = nullptr;
    QLabel *RxLabel3 = nullptr;       // banner title "Kit Agenda Caseira 2002"; a click opens the help
    QLabel *RxLabel1 = nullptr;       // banner text under it; a click opens the help
    TLinkLabel *LinkLabel1 = nullptr; // link to the maker's site
    TLinkLabel *LinkLabel2 = nullptr; // link to the program's site
    QLabel *LabelTitulo = nullptr;
    QToolButton *SBProdServ = nullptr;
    QLabel *LabelSelecione = nullptr;
    QComboBox *ComboBox1 = nullptr; // the product list
    QLabel *RxLabelInfo = nullptr;
    QProgressBar *ProgressBar1 = nullptr; // the download's progress bar
    TGauge *Gauge1 = nullptr;             // the download's progress in per cent
    QPushButton *BitBtn1 = nullptr;       // " Download": fetches the chosen product's archive
    QLabel *LabelConteudo = nullptr;
    // The archive's members, a report list; its model is a ZipListModel (rows made on demand from
    // a compact listing, so that an archive of millions of members takes little memory).
    QTableView *Lista = nullptr;
    QPushButton *BitBtnAbrirZip = nullptr;
    QPushButton *BitBtn3 = nullptr; // " Enviar E-Mail": a mail to the maker
    QPushButton *BtnFechar = nullptr;
    QLabel *RxLabel4 = nullptr;       // "Acesse nossa home-page...", over LinkLabel3
    TLinkLabel *LinkLabel3 = nullptr; // link to the agenda's site
    TAdware *AdwareDownload = nullptr;

    // The window's state.
    QString SelectedArchive; // archive of the product chosen last
    QString LastArchive;     // archive listed and opened
    QString SavedArchive;    // read from the settings file at creation
    QString IniPath;         // the settings file
    // The archive of the download running, chosen when it started; empty when none runs.
    QString DownloadingArchive;

    // Handlers, one per user event.
    void ComboBox1Change();
    void BitBtn1Click();
    void AdwareDownloadProgress(QObject *Sender, qint32 TotalSize, qint32 Readed);
    void AdwareDownloadImageDone(QObject *Sender, const QString &FileName, qint32 FileSize);
    void BitBtnAbrirZipClick();
    void BitBtn3Click();
    void SBProdServClick();
    void RxLabel1Click();
    void RxLabel3Click();
    void BtnFecharClick();
    // Fills Lista with the members of LastArchive. An archive larger than SyncListLimit is read
    // on a worker thread and Lista filled when it is done (empty until then), so the window stays
    // responsive; a smaller one is listed at once.
    void MostrarZip();
    // True while a listing runs on the worker thread.
    bool Listing() const;
    static constexpr qint64 SyncListLimit = qint64(4) << 20;

protected:
    void setVisible(bool visible) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormCreate();
    void buildBanner();
    void buildControls();

    void showListing(std::shared_ptr<const ZipListingResult> result);

    DeferredContent m_controls;
    ZipListModel *m_listModel = nullptr;
    QThread *m_listThread = nullptr;
    quint64 m_listGeneration = 0;
};
