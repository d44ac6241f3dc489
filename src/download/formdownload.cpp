// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "formdownload.h"

#include "common/desktop.h"
#include "common/dialogs.h"
#include "common/errordisplay.h"
#include "common/errors.h"
#include "common/hints.h"
#include "common/maker.h"
#include "common/programfolder.h"
#include "common/safefile.h"
#include "common/settingsfile.h"
#include "common/windowkit.h"
#include "controls/artwork.h"
#include "controls/gauge.h"
#include "controls/panel.h"
#include "download/adware.h"
#include "download/linklabel.h"
#include "download/zip.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSaveFile>
#include <QScreen>
#include <QStyleOptionViewItem>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QThread>
#include <QToolButton>
#include <algorithm>
#include <array>
#include <optional>

// What a listing gives: the rows, or the message that the archive could not be read.
struct ZipListingResult {
    ZipListing rows;
    bool failed = false;
};

// The rows of Lista, made on demand from the compact listing: "Nome" the file part of the name,
// "Tamanho" the uncompressed size (right-aligned), "Data" the short date and long time.
class ZipListModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    void setListing(std::shared_ptr<const ZipListingResult> listing)
    {
        beginResetModel();
        m_listing = std::move(listing);
        // The locale's formats and the time zone as they are now, looked up once per listing.
        m_dates.emplace(ZipDateFormat::Style::Locale, QLocale());
        endResetModel();
    }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return parent.isValid() || !m_listing ? 0 : static_cast<int>(m_listing->rows.count());
    }
    int columnCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : 3;
    }

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid() || !m_listing || index.row() >= m_listing->rows.count())
            return {};
        if (role == Qt::TextAlignmentRole && index.column() == 1)
            return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
        if (role != Qt::DisplayRole)
            return {};
        const ZipListing &rows = m_listing->rows;
        switch (index.column()) {
        case 0:
            return rows.name(index.row());
        case 1:
            return QString::number(rows.uncompressedSize(index.row()));
        default:
            return m_dates->text(rows.dateTime(index.row()));
        }
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || section < 0 || section > 2)
            return {};
        if (role == Qt::TextAlignmentRole && section == 1)
            return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
        if (role != Qt::DisplayRole)
            return {};
        static const char *const names[] = {"Nome", "Tamanho", "Data"};
        return QString::fromLatin1(names[section]);
    }

private:
    std::shared_ptr<const ZipListingResult> m_listing;
    std::optional<ZipDateFormat> m_dates;
};

namespace {
const QColor kFace(212, 208, 200);
// 0xC08000 in blue-green-red order.
const QColor kBannerBlue(0x00, 0x80, 0xC0);
const QString kIniSection = QStringLiteral("Arquivos");
const QString kIniKey = QStringLiteral("Ultimo Arquivo");
const QString kTempArchive = QStringLiteral("temp.zip");
// The application's title, the subject of the mail to the maker.
const QString kApplicationTitle = QStringLiteral("Prova de Legislação de Trânsito");
const QString kInfoStart = QStringLiteral("Informações sobre o arquivo selecionado.\n"
                                          "Informações sobre o arquivo selecionado.\n"
                                          "Informações sobre o arquivo selecionado.");
constexpr qint64 kCopyBlock = 2048;

QString http(const QString &address)
{
    return QStringLiteral("http://") + address;
}

TLinkLabel *link(QWidget *parent, const char *name, const QString &address, QRect geometry, bool bold = false)
{
    auto *l = WindowKit::make<TLinkLabel>(parent, name);
    l->setFont([&] {
        QFont f = WindowKit::font(11, bold);
        f.setUnderline(true);
        return f;
    }());
    l->setText(address);
    l->setLinkTo(http(address));
    l->setGeometry(geometry);
    return l;
}

// Draws a row's cells as a report list does: the chosen row highlighted, no cell framed.
class RowDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        option->state &= ~QStyle::State_HasFocus;
    }
};

// The height of a row of one line of text in view, as an item view measures its items.
int listRowHeight(QAbstractItemView *view)
{
    QStyleOptionViewItem option;
    option.initFrom(view);
    option.font = view->font();
    option.fontMetrics = QFontMetrics(view->font());
    option.features = QStyleOptionViewItem::HasDisplay;
    option.text = QStringLiteral("0");
    option.displayAlignment = Qt::AlignLeft | Qt::AlignVCenter;
    return view->style()->sizeFromContents(QStyle::CT_ItemViewItem, &option, QSize(), view).height();
}

// "\r" starts a new line of a label.
QString labelText(QString text)
{
    return text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
}
} // namespace

const QList<DownloadProduct> &TFormDownload::Products()
{
    static const QList<DownloadProduct> products = [] {
        const QList<std::array<QString, 3>> rows{
            {QStringLiteral("Agenda Caseira - Contas e Lembretes"), QStringLiteral("agcasa.zip"),
             QStringLiteral(
                 "Controle de contas da casa + lembretes de vencimento.\rOrganize o orçamento da família!")},
            {QStringLiteral("Quelvado Prova Simulada"), QStringLiteral("quelvado.zip"),
             QStringLiteral(
                 "Teste seus conhecimentos antes de fazer a prova do Detran.\rTodas as matérias do exame.")},
            {QStringLiteral("Caderno de Poemas"), QStringLiteral("cpoemas.zip"),
             QStringLiteral("Mais de mil poemas e trovas.\rCom índice por autor e por tema")},
            {QStringLiteral("Horta em Casa"), QStringLiteral("horta.zip"),
             QStringLiteral("Aprenda a cultivar temperos e verduras.")},
            {QStringLiteral("Charadas e Enigmas"), QStringLiteral("charadas.zip"),
             QStringLiteral("Passatempo para toda a família.\rCentenas de charadas. Grátis!")},
            {QStringLiteral("Oficina de Bicicletas"), QStringLiteral("ofbike.zip"),
             QStringLiteral("Organize os consertos e as peças da sua oficina.\rPrograma para Controle de "
                            "Ordens de Serviço")},
            {QStringLiteral("Curso de Desenho Técnico"), QStringLiteral("cdesenho.zip"),
             QStringLiteral("Apostila de desenho técnico.\rExercícios passo a passo com régua e compasso.")},
            {QStringLiteral("Diário de Leituras"), QStringLiteral("dleitura.zip"),
             QStringLiteral(
                 "Anote os livros que você leu e o que achou deles.\rTudo guardado em um único arquivo.")},
            {QStringLiteral("Calculadora do Pedreiro"), QStringLiteral("calcpedr.zip"),
             QStringLiteral("Calcule tijolos, cimento e areia para a sua obra. Simples e rápido.")},
            {QStringLiteral("Cartões de Aniversário"), QStringLiteral("aniver.zip"),
             QStringLiteral(
                 "Mensagens e cartões para imprimir.\rUma lembrança especial para quem você gosta!")},
        };
        QList<DownloadProduct> out;
        for (const auto &row : rows)
            out << DownloadProduct{row[0], row[1], row[2], DownloadBase() + row[1]};
        return out;
    }();
    return products;
}

namespace {
QString &downloadBase()
{
    static QString base;
    return base;
}
} // namespace

QString TFormDownload::DownloadBase()
{
    return downloadBase().isEmpty() ? http(Maker::site) + QLatin1Char('/') : downloadBase();
}

void TFormDownload::setDownloadBase(const QString &base)
{
    downloadBase() = base;
}

namespace {
TFormDownload::CopyWriter &copyWriter()
{
    static TFormDownload::CopyWriter writer;
    return writer;
}
} // namespace

void TFormDownload::setCopyWriter(CopyWriter writer)
{
    copyWriter() = std::move(writer);
}

bool TFormDownload::CopyArchive(const QString &source, const QString &target)
{
    if (source == target)
        return false;
    // Only a regular file is read: a FIFO or device under the name would block or never end.
    if (SafeFile::check(source, TZip::MaxArchiveSize) != SafeFile::Status::Ok)
        return false;
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    qint64 remaining = in.size();
    // Unbuffered, so that a failed write (a full disk) is seen at that write: QSaveFile's commit
    // does not notice one that failed in its buffer.
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    const CopyWriter &writer = copyWriter();
    char block[kCopyBlock];
    bool ok = true;
    while (ok && remaining > 0) {
        const qint64 got = in.read(block, qMin(remaining, kCopyBlock));
        if (got <= 0) {
            ok = false; // the source ended early or failed: no whole copy
            break;
        }
        const qint64 put = writer ? writer(out, block, got) : out.write(block, got);
        ok = put == got;
        remaining -= got;
    }
    // The date is given after the last write, to the finished copy.
    ok = ok && out.flush() && out.error() == QFileDevice::NoError;
    if (ok)
        out.setFileTime(in.fileTime(QFileDevice::FileModificationTime), QFileDevice::FileModificationTime);
    if (!ok) {
        out.cancelWriting();
        out.commit(); // discards the temporary copy
        return false;
    }
    if (!out.commit())
        return false;
    QFile::setPermissions(target, in.permissions());
    return true;
}

bool TFormDownload::IsPlainArchiveName(const QString &name)
{
    if (name.isEmpty() || name.contains(QLatin1String("..")))
        return false;
    return std::ranges::none_of(name, [](QChar c) {
        return c == QLatin1Char('/') || c == QLatin1Char('\\') || c == QLatin1Char(':') ||
               c.unicode() < 0x20 || c.unicode() == 0x7F;
    });
}

TFormDownload::TFormDownload(QWidget *parent, Construction construction) : QWidget(parent)
{
    setObjectName(QStringLiteral("FormDownload"));
    WindowKit::fixedWindow(this, QSize(398, 433), WindowKit::Border::Dialog);
    setWindowTitle(QStringLiteral("Download de Produtos - A Vitrine Dolmar"));
    setFont(WindowKit::font(12));
    WindowKit::fillBackground(this, kFace);

    // Centred on the screen.
    const QScreen *screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
    move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);

    AdwareDownload = new TAdware(this);
    AdwareDownload->setObjectName(QStringLiteral("AdwareDownload"));
    AdwareDownload->setBinaryData(true);
    AdwareDownload->setUseCache(false);
    AdwareDownload->setWaitThread(false);
    AdwareDownload->setAcceptTypes(QStringLiteral("*/*"));
    connect(AdwareDownload, &TAdware::OnProgress, this, [this](QObject *sender, qint32 total, qint32 readed) {
        guarded([&] { AdwareDownloadProgress(sender, total, readed); });
    });
    connect(AdwareDownload, &TAdware::OnImageDone, this,
            [this](QObject *sender, const QString &fileName, qint32 fileSize) {
                guarded([&] { AdwareDownloadImageDone(sender, fileName, fileSize); });
            });

    // The settings are read and the last archive listed once the controls exist.
    m_controls.start(this, construction, [this] {
        buildBanner();
        buildControls();
        guarded([this] { FormCreate(); });
    });

    // The window sees Esc before its controls while it is the active window.
    qApp->installEventFilter(this);
}

TFormDownload::~TFormDownload()
{
    qApp->removeEventFilter(this);
    if (m_listThread) {
        m_listThread->wait();
        delete m_listThread;
    }
}

void TFormDownload::buildBanner()
{
    PanelGifAnimate = WindowKit::make<TPanel>(this, "PanelGifAnimate", QRect(0, 0, 398, 88));
    PanelGifAnimate->setColor(Qt::white);
    PanelGifAnimate->setBevelInner(TPanel::bvLowered);

    RxLabel3 = WindowKit::make<QLabel>(PanelGifAnimate, "RxLabel3", QRect(6, 5, 386, 22));
    RxLabel3->setText(QStringLiteral("Kit Agenda Caseira 2002"));
    RxLabel3->setFont(WindowKit::font(15, true));
    RxLabel3->setAlignment(Qt::AlignCenter);
    WindowKit::setTextColour(RxLabel3, Qt::white);
    WindowKit::fillBackground(RxLabel3, kBannerBlue);

    RxLabel1 = WindowKit::make<QLabel>(PanelGifAnimate, "RxLabel1", QRect(6, 29, 386, 54));
    RxLabel1->setText(QStringLiteral("Controle as contas da casa e nunca mais esqueça um vencimento.\n"
                                     "Lembretes de aniversários, compromissos e pagamentos.\n"
                                     "Relatórios mensais do orçamento da família.\n"
                                     "Clique aqui e saiba mais!"));
    RxLabel1->setFont(WindowKit::font(11));
    RxLabel1->setAlignment(Qt::AlignCenter);
    WindowKit::setTextColour(RxLabel1, QColor(0, 0, 128));
    WindowKit::fillBackground(RxLabel1, Qt::white);

    // A click on the banner counts wherever the button is let go.
    WindowKit::onClick(
        RxLabel3, [this] { RxLabel3Click(); }, WindowKit::Release::Anywhere);
    WindowKit::onClick(
        RxLabel1, [this] { RxLabel1Click(); }, WindowKit::Release::Anywhere);
}

void TFormDownload::buildControls()
{
    LinkLabel1 = link(this, "LinkLabel1", Maker::site, QRect(10, 92, 185, 16));
    LinkLabel2 = link(this, "LinkLabel2", Maker::productSite, QRect(210, 92, 180, 16));
    LinkLabel2->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    LabelTitulo = WindowKit::make<QLabel>(this, "LabelTitulo", QRect(8, 115, 260, 20));
    LabelTitulo->setText(QStringLiteral("DOWNLOAD DOS PROGRAMAS"));
    LabelTitulo->setFont(WindowKit::font(14, true));
    SBProdServ =
        WindowKit::button<QToolButton>(this, "SBProdServ", QRect(306, 112, 84, 24), QStringLiteral("Ajuda"));
    SBProdServ->setIcon(Artwork::glyph(this, "ajuda", 16));
    SBProdServ->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    SBProdServ->setAutoRaise(true);
    Hints::set(SBProdServ, QStringLiteral("Como fazer o download dos programas"));
    connect(SBProdServ, &QToolButton::clicked, this, guard([this] { SBProdServClick(); }));

    LabelSelecione = WindowKit::make<QLabel>(this, "LabelSelecione", QRect(8, 141, 126, 20));
    LabelSelecione->setText(QStringLiteral("Selecione o arquivo :"));
    ComboBox1 = WindowKit::make<QComboBox>(this, "ComboBox1", QRect(134, 140, 256, 22));
    ComboBox1->setAccessibleName(QStringLiteral("Produto"));
    ComboBox1->setEditable(false);
    ComboBox1->setMaxVisibleItems(10);
    for (const DownloadProduct &p : Products())
        ComboBox1->addItem(p.entry);
    ComboBox1->setCurrentIndex(-1);
    connect(ComboBox1, &QComboBox::activated, this, guard([this] { ComboBox1Change(); }));

    RxLabelInfo = WindowKit::make<QLabel>(this, "RxLabelInfo", QRect(8, 167, 382, 48));
    RxLabelInfo->setText(kInfoStart);
    RxLabelInfo->setFont(WindowKit::font(11, true));
    RxLabelInfo->setAlignment(Qt::AlignCenter);
    RxLabelInfo->setWordWrap(true);
    WindowKit::setTextColour(RxLabelInfo, QColor(0, 255, 0));
    WindowKit::fillBackground(RxLabelInfo, Qt::black);

    ProgressBar1 = WindowKit::make<QProgressBar>(this, "ProgressBar1", QRect(8, 224, 226, 18));
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);

    Gauge1 = WindowKit::make<TGauge>(this, "Gauge1", QRect(240, 224, 54, 18));
    Gauge1->setBackColor(0xC0C0C0);
    Gauge1->setForeColor(0x800000); // navy in blue-green-red order

    BitBtn1 = WindowKit::button(this, "BitBtn1", QRect(300, 220, 90, 26), QStringLiteral(" Download"),
                                Artwork::glyph(this, "download", 20), 20);
    connect(BitBtn1, &QPushButton::clicked, this, guard([this] { BitBtn1Click(); }));

    LabelConteudo = WindowKit::make<QLabel>(this, "LabelConteudo", QRect(8, 250, 382, 16));
    LabelConteudo->setText(QStringLiteral("Conteúdo do arquivo .ZIP copiado da Internet :"));
    // A report list: a header of three columns over rows of one line each. A table view drawn as
    // one, because it keeps nothing per row (a tree view lays out every row on the window's
    // thread, a stall with millions of members).
    Lista = WindowKit::make<QTableView>(this, "Lista", QRect(8, 267, 382, 104));
    Lista->setAccessibleName(QStringLiteral("Conteúdo do arquivo"));
    Lista->setFont(WindowKit::font(10));
    m_listModel = new ZipListModel(Lista);
    Lista->setModel(m_listModel);
    Lista->setShowGrid(false);
    Lista->setWordWrap(false);
    Lista->setTabKeyNavigation(false);
    Lista->setCornerButtonEnabled(false);
    Lista->verticalHeader()->hide();
    Lista->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    Lista->verticalHeader()->setMinimumSectionSize(1);
    Lista->verticalHeader()->setDefaultSectionSize(listRowHeight(Lista));
    QHeaderView *header = Lista->horizontalHeader();
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setHighlightSections(false);
    header->setSectionsClickable(false);
    header->setStretchLastSection(false);
    Lista->setColumnWidth(0, 180);
    Lista->setColumnWidth(1, 70);
    Lista->setColumnWidth(2, 122);
    Lista->setSelectionBehavior(QAbstractItemView::SelectRows);
    Lista->setSelectionMode(QAbstractItemView::SingleSelection);
    Lista->setFocusPolicy(Qt::ClickFocus);
    // As a report list scrolls and shows its chosen row: by the pixel sideways, the whole row
    // highlighted without a frame around one cell.
    Lista->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    Lista->setItemDelegate(new RowDelegate(Lista));

    BitBtnAbrirZip =
        WindowKit::button(this, "BitBtnAbrirZip", QRect(8, 376, 124, 26), QStringLiteral(" Abrir arquivo"),
                          Artwork::glyph(this, "abrir", 20), 20);
    BitBtnAbrirZip->setEnabled(false);
    connect(BitBtnAbrirZip, &QPushButton::clicked, this, guard([this] { BitBtnAbrirZipClick(); }));
    BitBtn3 = WindowKit::button(this, "BitBtn3", QRect(137, 376, 124, 26), QStringLiteral(" Enviar E-Mail"),
                                Artwork::glyph(this, "email", 20), 20);
    Hints::set(BitBtn3, QStringLiteral("Para informações sobre os softwares envie-nos um E-MAIL"));
    connect(BitBtn3, &QPushButton::clicked, this, guard([this] { BitBtn3Click(); }));
    BtnFechar = WindowKit::button(this, "BtnFechar", QRect(266, 376, 124, 26), QStringLiteral(" Fechar"),
                                  Artwork::glyph(this, "fechar", 20), 20);
    for (QPushButton *b : {BitBtn1, BitBtnAbrirZip, BitBtn3, BtnFechar})
        b->setAutoDefault(false);
    connect(BtnFechar, &QPushButton::clicked, this, guard([this] { BtnFecharClick(); }));

    RxLabel4 = WindowKit::make<QLabel>(this, "RxLabel4", QRect(8, 405, 382, 14));
    RxLabel4->setText(QStringLiteral("Acesse nossa home-page exclusiva para Agenda Caseira:"));
    RxLabel4->setFont(WindowKit::font(11));
    RxLabel4->setAlignment(Qt::AlignCenter);
    LinkLabel3 = link(this, "LinkLabel3", Maker::agendaSite, QRect(8, 418, 382, 15), true);
    LinkLabel3->setAlignment(Qt::AlignCenter);

    QWidget::setTabOrder(ComboBox1, BitBtn1);
    QWidget::setTabOrder(BitBtn1, BitBtnAbrirZip);
    QWidget::setTabOrder(BitBtnAbrirZip, BitBtn3);
    QWidget::setTabOrder(BitBtn3, BtnFechar);
    QWidget::setTabOrder(BtnFechar, SBProdServ);
}

void TFormDownload::FormCreate()
{
    IniPath = SettingsFile::path();
    if (const QString problem = SettingsFile::problem(IniPath); !problem.isEmpty())
        Dialogs::current().message(Dialogs::Icon::Warning, QString(), problem);
    SavedArchive = SettingsFile::readString(IniPath, kIniSection, kIniKey);
    // Only a plain name of a regular file in the program folder is listed and opened.
    if (IsPlainArchiveName(SavedArchive) && SafeFile::check(ProgramFolder::writableFile(SavedArchive),
                                                            TZip::MaxArchiveSize) == SafeFile::Status::Ok) {
        LastArchive = SavedArchive;
        BitBtnAbrirZip->setEnabled(true);
        MostrarZip();
    }
}

void TFormDownload::ComboBox1Change()
{
    const int index = ComboBox1->currentIndex();
    if (index >= 0 && index < Products().size()) {
        SelectedArchive = Products()[index].archive;
        RxLabelInfo->setText(labelText(Products()[index].description));
    } else {
        RxLabelInfo->clear();
    }
}

void TFormDownload::BitBtn1Click()
{
    // Refused, and so without effect, while a download is still running.
    if (AdwareDownload->Downloading())
        return;
    DownloadingArchive.clear();
    // No product chosen yet: there is nothing to download.
    if (!IsPlainArchiveName(SelectedArchive))
        return;
    AdwareDownload->setImageURL(DownloadBase() + SelectedArchive);
    // The archive is kept under the product chosen now, whatever is chosen while it runs.
    if (AdwareDownload->StartDownload())
        DownloadingArchive = SelectedArchive;
}

void TFormDownload::AdwareDownloadProgress(QObject *, qint32 TotalSize, qint32 Readed)
{
    m_controls.ensure();
    ProgressBar1->setMaximum(TotalSize);
    Gauge1->setMax(TotalSize);
    ProgressBar1->setValue(Readed);
    Gauge1->setProgress(Readed);
}

void TFormDownload::AdwareDownloadImageDone(QObject *, const QString &, qint32)
{
    m_controls.ensure();
    ProgressBar1->setValue(0);
    Gauge1->setProgress(0);
    const QString temp = ProgramFolder::writableFile(kTempArchive);
    // The product chosen when the download started; a call without a download of this window
    // (none running) takes the product chosen now.
    const QString archive = std::exchange(DownloadingArchive, QString());
    const QString name = archive.isEmpty() ? SelectedArchive : archive;
    if (!IsPlainArchiveName(name) || !CopyArchive(temp, ProgramFolder::writableFile(name)))
        return;
    LastArchive = name;
    MostrarZip();
    BitBtnAbrirZip->setEnabled(true);
    if (IniPath.isEmpty())
        IniPath = SettingsFile::path();
    SettingsFile::writeString(IniPath, kIniSection, kIniKey, LastArchive);
    QFile::remove(temp);
}

void TFormDownload::MostrarZip()
{
    const QString file = ProgramFolder::writableFile(LastArchive);
    const quint64 generation = ++m_listGeneration;
    const QFileInfo info(file);
    if (info.isFile() && info.size() > SyncListLimit && info.size() <= TZip::MaxArchiveSize) {
        // A large archive: read on a worker thread; the list is empty until it is done.
        m_listModel->setListing(nullptr);
        if (m_listThread) {
            m_listThread->wait();
            delete m_listThread;
        }
        m_listThread = QThread::create([this, file, generation] {
            auto result = std::make_shared<ZipListingResult>();
            try {
                result->rows.load(file);
            } catch (const Exception &) {
                result->failed = true;
            }
            QMetaObject::invokeMethod(
                this,
                [this, generation, result] {
                    if (generation == m_listGeneration)
                        guarded([&] { showListing(result); });
                },
                Qt::QueuedConnection);
        });
        m_listThread->start();
        return;
    }
    auto result = std::make_shared<ZipListingResult>();
    try {
        result->rows.load(file);
    } catch (const Exception &) {
        result->failed = true;
    }
    showListing(result);
}

bool TFormDownload::Listing() const
{
    return m_listThread && !m_listThread->isFinished();
}

void TFormDownload::showListing(std::shared_ptr<const ZipListingResult> result)
{
    if (result->failed) {
        // A plain box: no icon, the application's title. A file that is there but refused says why.
        QString text = QStringLiteral("Arquivo .ZIP não encontrado!");
        const QString file = ProgramFolder::writableFile(LastArchive);
        if (const SafeFile::Status status = SafeFile::check(file, TZip::MaxArchiveSize);
            status == SafeFile::Status::TooLarge)
            text = QStringLiteral("O arquivo .ZIP \"%1\" tem mais de 2 GiB e não pode ser listado.")
                       .arg(LastArchive);
        else if (status == SafeFile::Status::NotRegular)
            text = QStringLiteral("\"%1\" não é um arquivo comum e não pode ser listado.").arg(LastArchive);
        Dialogs::current().message(Dialogs::Icon::None, QString(), text);
    }
    m_listModel->setListing(std::move(result));
}

void TFormDownload::BitBtnAbrirZipClick()
{
    if (IsPlainArchiveName(LastArchive))
        Desktop::current().open(ProgramFolder::writableFile(LastArchive));
}

void TFormDownload::BitBtn3Click()
{
    Desktop::current().open(QStringLiteral("mailto:") + Maker::mail + QStringLiteral("?Subject=") +
                            kApplicationTitle + QStringLiteral("&body=Solicito informações sobre..."));
}

void TFormDownload::SBProdServClick()
{
    Dialogs::information(QStringLiteral("Como baixar os programas : \n"
                                        "- selecione o produto desejado e clique no botão Download\n"
                                        "para baixar o arquivo pela internet.\n"
                                        "Caso a operação não seja bem-sucedida acesse uma\n"
                                        "de nossas home-pages para fazer o download do arquivo"));
}

void TFormDownload::RxLabel1Click()
{
    Desktop::current().helpTopic(QStringLiteral("Topic90"));
}

void TFormDownload::RxLabel3Click()
{
    Desktop::current().helpTopic(QStringLiteral("Topic90"));
}

void TFormDownload::BtnFecharClick()
{
    close();
}

void TFormDownload::setVisible(bool visible)
{
    // The controls exist before the window is first shown, so they are shown with it.
    if (visible)
        m_controls.ensure();
    QWidget::setVisible(visible);
}

bool TFormDownload::eventFilter(QObject *watched, QEvent *event)
{
    if (QKeyEvent *key = WindowKit::keyPressIn(this, watched, event);
        key && isActiveWindow() && key->key() == Qt::Key_Escape && BtnFechar) {
        // "Fechar" is the window's cancel button.
        BtnFechar->click();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
