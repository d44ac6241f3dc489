// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later

// The download window as a user meets it: choosing a product and reading its description, the
// download's progress and completion (handled directly, and once through a small server on
// 127.0.0.1), the archive's members in the list, opening the archive and the mail, the settings
// file that brings the last archive back at the next start, and closing with Esc.

#include "common/settingsfile.h"
#include "download/adware.h"
#include "download/formdownload.h"
#include "download/httpgetthread.h"
#include "download/linklabel.h"
#include "download/zip.h"

#include "common/maker.h"
#include "common/programfolder.h"
#include "controls/gauge.h"

#include "fakes.h"
#include "files.h"
#include "httptestserver.h"
#include "windowdriver.h"
#include "windowfakes.h"
#include "zipwriter.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>
#include <QtTest>

#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

namespace {

// Builds, with the zip tool, an archive in folder named name holding "leiame.txt" (12 bytes,
// 2023-05-17 10:20:30), a folder "docs/" and "docs/manual.txt" (3000 bytes, 2021-01-02 midnight).
bool makeArchive(const QString &folder, const QString &name)
{
    const QString script =
        QStringLiteral(
            "set -e; rm -rf src && mkdir -p src/docs && cd src && printf 'Leia-me ok\\r\\n' > leiame.txt && "
            "head -c 3000 /dev/zero | tr '\\0' 'x' > docs/manual.txt && "
            "touch -d '2023-05-17 10:20:30' leiame.txt && touch -d '2021-01-02 00:00:00' docs/manual.txt "
            "docs && "
            "zip -q -X ../%1 leiame.txt docs docs/manual.txt && cd .. && rm -rf src")
            .arg(name);
    QProcess p;
    p.setWorkingDirectory(folder);
    p.start(QStringLiteral("sh"), {QStringLiteral("-c"), script});
    return p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// A zip archive of exactly size bytes holding "leiame.txt".
QByteArray zipOfSize(qsizetype size)
{
    const QByteArray empty = writeZip({{"leiame.txt", {}, ZipMember::Known, 0x56B1, 0x5290}});
    return writeZip({{"leiame.txt", QByteArray(size - empty.size(), 'a'), ZipMember::Known, 0x56B1, 0x5290}});
}

// The files and folders in folder, sorted.
QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                                  QDir::Name);
}

bool makeFifo(const QString &path)
{
    return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
}

// How the request reaches the test's server.
enum Route { Direct, Port, Proxy, HttpsTrusted, HttpsUntrusted };

} // namespace

class TestFormDownload : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void firstStart();
    void choosingProducts();
    void downloadListsKeepsAndRemembers();
    void nextStartListsAtOnce_data();
    void nextStartListsAtOnce();
    void savedArchiveDeleted();
    void largeArchiveListedOnAWorker();
    void unreadableArchive();
    void copyFailureLeavesTemp();
    void invalidDateShows1899();
    void progressMovesBarAndGauge();
    void settingsKeepOtherLines();
    void copyArchiveKeepsBytesAndDate();
    void openMailHelpAndLinks();
    void escapeHides();
    void realDownloadAndSecondClickIgnored();
    void snapshot();

    void hostileServers_data();
    void hostileServers();
    void archiveGoesUnderProductChosenAtStart();
    void downloadBeforeChoosingDoesNothing();
    void failedCopyKeepsEverything_data();
    void failedCopyKeepsEverything();
    void readOnlyFolder();
    void fullAndReadOnlyDisk();
    void copyOfAFifoRefused();
    void settingsChangeOnlyTheKey_data();
    void settingsChangeOnlyTheKey();
    void settingsReplacedAtomically();
    void settingsRefused_data();
    void settingsRefused();
    void savedNameMustBePlain_data();
    void savedNameMustBePlain();
    void savedArchiveNotARegularFile();

private:
    void choose(TFormDownload *w, int row);
    QStringList rows(const TFormDownload *w) const;

    std::unique_ptr<TempProgramFolder> m_folder;
    std::unique_ptr<FakeDialogs> m_dialogs;
    std::unique_ptr<FakeDesktop> m_desktop;
    QTemporaryDir m_certificates; // cert.pem and key.pem for quelvado.test, when openssl is there
    bool m_haveCertificate = false;
};

void TestFormDownload::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    HttpTestServer::bypassProxies();
    m_haveCertificate =
        HttpsTestServer::available() &&
        HttpsTestServer::makeCertificate(m_certificates.path(), QStringLiteral("quelvado.test"));
}

void TestFormDownload::init()
{
    m_folder = std::make_unique<TempProgramFolder>();
    m_dialogs = std::make_unique<FakeDialogs>();
    m_desktop = std::make_unique<FakeDesktop>();
}

void TestFormDownload::cleanup()
{
    THTTPGetThread::setConnectTo({});
    THTTPGetThread::setCertificateAuthorities({});
    THTTPGetThread::setStallSeconds(0);
    TFormDownload::setDownloadBase({});
    TFormDownload::setCopyWriter({});
    m_desktop.reset();
    m_dialogs.reset();
    m_folder.reset();
}

// As the user does: open the list and pick the row.
void TestFormDownload::choose(TFormDownload *w, int row)
{
    w->ComboBox1->setFocus();
    w->ComboBox1->setCurrentIndex(row);
    emit w->ComboBox1->activated(row);
}

QStringList TestFormDownload::rows(const TFormDownload *w) const
{
    QStringList out;
    const QAbstractItemModel *model = w->Lista->model();
    for (int i = 0; i < model->rowCount(); ++i) {
        QStringList cells;
        for (int column = 0; column < 3; ++column)
            cells << model->index(i, column).data().toString();
        out << cells.join(QLatin1Char('|'));
    }
    return out;
}

void TestFormDownload::firstStart()
{
    TFormDownload w;
    QCOMPARE(w.size(), QSize(398, 433));
    QCOMPARE(w.windowTitle(), QStringLiteral("Download de Produtos - A Vitrine Dolmar"));
    QCOMPARE(w.Lista->model()->rowCount(), 0);
    QVERIFY(!w.BitBtnAbrirZip->isEnabled());
    QCOMPARE(w.IniPath, m_folder->file(QStringLiteral("tst_formdownload.ini")));
    QVERIFY(w.SavedArchive.isEmpty());
    QVERIFY(w.LastArchive.isEmpty());
    QCOMPARE(w.RxLabelInfo->text(), QStringLiteral("Informações sobre o arquivo selecionado.\n"
                                                   "Informações sobre o arquivo selecionado.\n"
                                                   "Informações sobre o arquivo selecionado."));
    QCOMPARE(w.ComboBox1->count(), 10);
    QCOMPARE(w.ComboBox1->maxVisibleItems(), 10);
    QVERIFY(!w.ComboBox1->isEditable());
    QCOMPARE(w.ProgressBar1->maximum(), 100);
    QCOMPARE(w.ProgressBar1->value(), 0);
    QCOMPARE(w.Gauge1->backColor(), 0xC0C0C0u);
    const QAbstractItemModel *model = w.Lista->model();
    const QStringList headers{model->headerData(0, Qt::Horizontal).toString(),
                              model->headerData(1, Qt::Horizontal).toString(),
                              model->headerData(2, Qt::Horizontal).toString()};
    QCOMPARE(headers, (QStringList{"Nome", "Tamanho", "Data"}));
    QCOMPARE(w.Lista->columnWidth(0), 180);
    QCOMPARE(w.Lista->columnWidth(1), 70);
    QCOMPARE(w.Lista->columnWidth(2), 122);
    QCOMPARE(w.RxLabel3->text(), QStringLiteral("Kit Agenda Caseira 2002"));
    QCOMPARE(w.RxLabel1->text().count(QLatin1Char('\n')), 3);
    QVERIFY(!QFile::exists(w.IniPath)); // nothing written just by looking
    QVERIFY(m_dialogs->boxes.isEmpty());
    const TAdware *a = w.AdwareDownload;
    QVERIFY(a->BinaryData() && !a->UseCache() && !a->WaitThread() && a->Image() == nullptr);
    QCOMPARE(a->AcceptTypes(), QStringLiteral("*/*"));
}

void TestFormDownload::choosingProducts()
{
    TFormDownload w;
    QVERIFY(showActive(&w));
    choose(&w, 1);
    QCOMPARE(w.SelectedArchive, QStringLiteral("quelvado.zip"));
    QCOMPARE(w.RxLabelInfo->text(),
             QStringLiteral("Teste seus conhecimentos antes de fazer a prova do Detran.\n"
                            "Todas as matérias do exame."));
    choose(&w, 3);
    QCOMPARE(w.SelectedArchive, QStringLiteral("horta.zip"));
    QCOMPARE(w.RxLabelInfo->text(), QStringLiteral("Aprenda a cultivar temperos e verduras."));
    // With the keyboard: Down moves to the next product.
    QTest::keyClick(w.ComboBox1, Qt::Key_Down);
    QCOMPARE(w.SelectedArchive, QStringLiteral("charadas.zip"));
    QCOMPARE(w.ComboBox1->currentText(), QStringLiteral("Charadas e Enigmas"));
    // No row chosen: the archive stays, the description empties.
    w.ComboBox1->setCurrentIndex(-1);
    w.ComboBox1Change();
    QCOMPARE(w.SelectedArchive, QStringLiteral("charadas.zip"));
    QVERIFY(w.RxLabelInfo->text().isEmpty());
    // Every product is downloaded from the maker's site under its archive name.
    QCOMPARE(TFormDownload::Products().size(), 10);
    for (const DownloadProduct &p : TFormDownload::Products())
        QCOMPARE(p.url, QStringLiteral("http://") + Maker::site + QLatin1Char('/') + p.archive);
    QCOMPARE(TFormDownload::Products()[9].archive, QStringLiteral("aniver.zip"));
}

void TestFormDownload::downloadListsKeepsAndRemembers()
{
    QVERIFY(makeArchive(m_folder->path(), QStringLiteral("temp.zip")));
    const QByteArray downloaded = readFile(m_folder->file(QStringLiteral("temp.zip")));
    TFormDownload w;
    QVERIFY(showActive(&w));
    choose(&w, 1);
    w.AdwareDownloadProgress(nullptr, downloaded.size(), downloaded.size());
    w.AdwareDownloadImageDone(w.AdwareDownload, m_folder->file(QStringLiteral("temp.zip")),
                              downloaded.size());

    QCOMPARE(readFile(m_folder->file(QStringLiteral("quelvado.zip"))), downloaded);
    QVERIFY(!QFile::exists(m_folder->file(QStringLiteral("temp.zip"))));
    QCOMPARE(rows(&w), (QStringList{"leiame.txt|12|17/05/2023 10:20:30", "manual.txt|3000|02/01/2021"}));
    QCOMPARE(w.Lista->model()->index(0, 1).data(Qt::TextAlignmentRole).value<Qt::Alignment>() &
                 Qt::AlignRight,
             Qt::AlignRight);
    QVERIFY(w.BitBtnAbrirZip->isEnabled());
    QCOMPARE(w.LastArchive, QStringLiteral("quelvado.zip"));
    QCOMPARE(w.ProgressBar1->value(), 0);
    QCOMPARE(w.Gauge1->progress(), 0);
    QCOMPARE(readFile(w.IniPath), QByteArray("[Arquivos]\r\nUltimo Arquivo=quelvado.zip\r\n"));
    QVERIFY(m_dialogs->boxes.isEmpty());

    QTest::mouseClick(w.BitBtnAbrirZip, Qt::LeftButton);
    QCOMPARE(m_desktop->opened, QStringList{m_folder->file(QStringLiteral("quelvado.zip"))});
}

void TestFormDownload::nextStartListsAtOnce_data()
{
    QTest::addColumn<bool>("deferred");
    QTest::newRow("immediate") << false;
    QTest::newRow("deferred") << true;
}

void TestFormDownload::nextStartListsAtOnce()
{
    QFETCH(bool, deferred);
    QVERIFY(makeArchive(m_folder->path(), QStringLiteral("horta.zip")));
    QVERIFY(writeFile(SettingsFile::path(), "[Arquivos]\r\nUltimo Arquivo=horta.zip\r\n"));
    TFormDownload w(nullptr, deferred ? TFormDownload::Construction::Deferred
                                      : TFormDownload::Construction::Immediate);
    if (deferred) {
        QVERIFY(w.Lista == nullptr);
        QVERIFY(w.LastArchive.isEmpty());
        QVERIFY(showActive(&w)); // shown before the timer: built at once
    }
    QCOMPARE(w.SavedArchive, QStringLiteral("horta.zip"));
    QCOMPARE(w.LastArchive, QStringLiteral("horta.zip"));
    QVERIFY(w.BitBtnAbrirZip->isEnabled());
    QCOMPARE(rows(&w), (QStringList{"leiame.txt|12|17/05/2023 10:20:30", "manual.txt|3000|02/01/2021"}));
    QVERIFY(m_dialogs->boxes.isEmpty());
    QTest::mouseClick(w.BitBtnAbrirZip, Qt::LeftButton);
    QCOMPARE(m_desktop->opened, QStringList{m_folder->file(QStringLiteral("horta.zip"))});
}

void TestFormDownload::savedArchiveDeleted()
{
    QVERIFY(writeFile(SettingsFile::path(), "[Arquivos]\r\nUltimo Arquivo=agcasa.zip\r\n"));
    TFormDownload w;
    QCOMPARE(w.SavedArchive, QStringLiteral("agcasa.zip"));
    QVERIFY(w.LastArchive.isEmpty());
    QCOMPARE(w.Lista->model()->rowCount(), 0);
    QVERIFY(!w.BitBtnAbrirZip->isEnabled());
    QVERIFY(m_dialogs->boxes.isEmpty());
}

// An archive over the limit of a listing on the spot is read on a worker thread: the window goes
// on at once and the rows, when they come, are the ones a small archive gives.
void TestFormDownload::largeArchiveListedOnAWorker()
{
    QVERIFY(writeFile(m_folder->file(QStringLiteral("horta.zip")), zipOfSize(1000)));
    QVERIFY(writeFile(SettingsFile::path(), "[Arquivos]\r\nUltimo Arquivo=horta.zip\r\n"));
    QStringList small;
    {
        TFormDownload w;
        QVERIFY(!w.Listing());
        small = rows(&w);
    }
    QCOMPARE(small.size(), 1);
    const qsizetype size = TFormDownload::SyncListLimit + 4096;
    const QByteArray large = zipOfSize(size);
    QVERIFY(writeFile(m_folder->file(QStringLiteral("horta.zip")), large));
    TFormDownload w;
    QVERIFY(w.Listing() || w.Lista->model()->rowCount() == 1);
    QTRY_COMPARE_WITH_TIMEOUT(w.Lista->model()->rowCount(), 1, 10000);
    QVERIFY(!w.Listing());
    const QStringList expected{small[0].section(QLatin1Char('|'), 0, 0) + QLatin1Char('|') +
                               QString::number(size - zipOfSize(0).size()) + QLatin1Char('|') +
                               small[0].section(QLatin1Char('|'), 2)};
    QCOMPARE(rows(&w), expected);
    // Listed again while a listing runs: only the last one fills the list, once.
    w.MostrarZip();
    w.MostrarZip();
    QTRY_COMPARE_WITH_TIMEOUT(w.Lista->model()->rowCount(), 1, 10000);
    QTest::qWait(50); // no second fill comes: the wait is what is checked
    QCOMPARE(rows(&w), expected);
    QVERIFY(m_dialogs->boxes.isEmpty());
}

void TestFormDownload::unreadableArchive()
{
    QVERIFY(makeArchive(m_folder->path(), QStringLiteral("cpoemas.zip")));
    QVERIFY(writeFile(SettingsFile::path(), "[Arquivos]\r\nUltimo Arquivo=cpoemas.zip\r\n"));
    TFormDownload w;
    QCOMPARE(w.Lista->model()->rowCount(), 2);
    // The archive goes away while the program runs; listing it again tells the user and empties the list.
    QVERIFY(QFile::remove(m_folder->file(QStringLiteral("cpoemas.zip"))));
    w.MostrarZip();
    QCOMPARE(m_dialogs->texts(), QStringList{"Arquivo .ZIP não encontrado!"});
    QCOMPARE(m_dialogs->boxes[0].icon, Dialogs::Icon::None);
    QCOMPARE(w.Lista->model()->rowCount(), 0);
    QVERIFY(w.BitBtnAbrirZip->isEnabled());
}

void TestFormDownload::copyFailureLeavesTemp()
{
    QVERIFY(makeArchive(m_folder->path(), QStringLiteral("temp.zip")));
    // The product's name is taken by a folder: the copy cannot be made.
    QVERIFY(QDir(m_folder->path()).mkdir(QStringLiteral("ofbike.zip")));
    TFormDownload w;
    choose(&w, 5);
    w.AdwareDownloadProgress(nullptr, 400, 100);
    w.AdwareDownloadImageDone(w.AdwareDownload, QString(), 0);
    QVERIFY(QFile::exists(m_folder->file(QStringLiteral("temp.zip"))));
    QCOMPARE(w.Lista->model()->rowCount(), 0);
    QVERIFY(!w.BitBtnAbrirZip->isEnabled());
    QVERIFY(!QFile::exists(w.IniPath));
    QVERIFY(w.LastArchive.isEmpty());
    QCOMPARE(w.ProgressBar1->value(), 0);
    QVERIFY(m_dialogs->boxes.isEmpty());
    // No product chosen at all: nothing is listed either.
    TFormDownload fresh;
    fresh.AdwareDownloadImageDone(fresh.AdwareDownload, QString(), 0);
    QVERIFY(QFile::exists(m_folder->file(QStringLiteral("temp.zip"))));
    QCOMPARE(fresh.Lista->model()->rowCount(), 0);
}

void TestFormDownload::invalidDateShows1899()
{
    // Date 0 has month 0, not a date.
    QVERIFY(writeFile(m_folder->file(QStringLiteral("temp.zip")),
                      writeZip({{"pasta/sem-data.txt", "abc", ZipMember::Known, 0, 0x5000}})));
    TFormDownload w;
    choose(&w, 8);
    w.AdwareDownloadImageDone(w.AdwareDownload, QString(), 0);
    QCOMPARE(rows(&w), QStringList{"sem-data.txt|3|30/12/1899"});
}

void TestFormDownload::progressMovesBarAndGauge()
{
    TFormDownload w;
    w.AdwareDownloadProgress(nullptr, 5000, 1025);
    QCOMPARE(w.ProgressBar1->maximum(), 5000);
    QCOMPARE(w.ProgressBar1->value(), 1025);
    QCOMPARE(w.Gauge1->max(), 5000);
    QCOMPARE(w.Gauge1->progress(), 1025);
    QCOMPARE(w.Gauge1->text(), QStringLiteral("20%"));
    w.AdwareDownloadProgress(nullptr, 5000, 5000);
    QCOMPARE(w.Gauge1->text(), QStringLiteral("100%"));
    // A failed download leaves them where they were.
    QCOMPARE(w.ProgressBar1->value(), 5000);
}

void TestFormDownload::settingsKeepOtherLines()
{
    const QString ini = SettingsFile::path();
    QVERIFY(writeFile(
        ini, "[Janela]\r\nTopo=10\r\n\r\n[arquivos]\r\n  ultimo arquivo = \"velho.zip\" \r\nOutro=1\r\n"));
    QCOMPARE(SettingsFile::readString(ini, QStringLiteral("Arquivos"), QStringLiteral("Ultimo Arquivo")),
             QStringLiteral("velho.zip"));
    QVERIFY(SettingsFile::writeString(ini, QStringLiteral("Arquivos"), QStringLiteral("Ultimo Arquivo"),
                                      QStringLiteral("aniver.zip")));
    QCOMPARE(readFile(ini),
             QByteArray("[Janela]\r\nTopo=10\r\n\r\n[arquivos]\r\nUltimo Arquivo=aniver.zip\r\nOutro=1\r\n"));
    QVERIFY(SettingsFile::writeString(ini, QStringLiteral("Janela"), QStringLiteral("Esquerda"),
                                      QStringLiteral("5")));
    QCOMPARE(readFile(ini), QByteArray("[Janela]\r\nTopo=10\r\nEsquerda=5\r\n\r\n[arquivos]\r\nUltimo "
                                       "Arquivo=aniver.zip\r\nOutro=1\r\n"));
    QCOMPARE(
        SettingsFile::readString(ini, QStringLiteral("Nada"), QStringLiteral("x"), QStringLiteral("def")),
        QStringLiteral("def"));
    // A file with other sections only gets the section at its end, in the file's own line ends;
    // LF-only lines are read as well.
    QVERIFY(writeFile(ini, "[Outra]\nA=1\n"));
    QVERIFY(SettingsFile::writeString(ini, QStringLiteral("Arquivos"), QStringLiteral("Ultimo Arquivo"),
                                      QStringLiteral("horta.zip")));
    QCOMPARE(readFile(ini), QByteArray("[Outra]\nA=1\n\n[Arquivos]\nUltimo Arquivo=horta.zip\n"));
    TFormDownload w;
    QCOMPARE(w.SavedArchive, QStringLiteral("horta.zip"));
}

void TestFormDownload::copyArchiveKeepsBytesAndDate()
{
    QByteArray bytes;
    for (int i = 0; i < 5000; ++i) // more than two blocks, not a whole number of them
        bytes += static_cast<char>(i * 7);
    const QString source = m_folder->file(QStringLiteral("a.bin"));
    const QString target = m_folder->file(QStringLiteral("b.bin"));
    QVERIFY(writeFile(source, bytes));
    {
        QFile f(source);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(
            f.setFileTime(QDateTime(QDate(2020, 2, 3), QTime(4, 5, 6)), QFileDevice::FileModificationTime));
    }
    QVERIFY(writeFile(target, QByteArray(9000, 'z'))); // an older, longer file is truncated
    QVERIFY(TFormDownload::CopyArchive(source, target));
    QCOMPARE(readFile(target), bytes);
    QCOMPARE(QFileInfo(target).lastModified(), QDateTime(QDate(2020, 2, 3), QTime(4, 5, 6)));
    QVERIFY(!TFormDownload::CopyArchive(source, source));
    QVERIFY(!TFormDownload::CopyArchive(m_folder->file(QStringLiteral("none.bin")), target));
    QCOMPARE(readFile(target), bytes);
}

void TestFormDownload::openMailHelpAndLinks()
{
    TFormDownload w;
    QVERIFY(showActive(&w));
    QTest::mouseClick(w.BitBtn3, Qt::LeftButton);
    QCOMPARE(m_desktop->opened,
             QStringList{QStringLiteral("mailto:") + Maker::mail +
                         "?Subject=Prova de Legislação de Trânsito&body=Solicito informações sobre..."});
    QCOMPARE(w.BitBtn3->toolTip(), QStringLiteral("Para informações sobre os softwares envie-nos um E-MAIL"));

    QTest::mouseClick(w.SBProdServ, Qt::LeftButton);
    QCOMPARE(m_dialogs->boxes.size(), 1);
    QCOMPARE(m_dialogs->boxes[0].icon, Dialogs::Icon::Information);
    QVERIFY(
        m_dialogs->boxes[0].text.startsWith("Como baixar os programas : \n- selecione o produto desejado"));
    QVERIFY(m_dialogs->boxes[0].text.endsWith("para fazer o download do arquivo"));
    QCOMPARE(w.SBProdServ->toolTip(), QStringLiteral("Como fazer o download dos programas"));

    QTest::mouseClick(w.RxLabel3, Qt::LeftButton);
    QTest::mouseClick(w.RxLabel1, Qt::LeftButton);
    QCOMPARE(m_desktop->helps, (QStringList{"Topic90", "Topic90"}));

    // The links open on the press itself.
    m_desktop->opened.clear();
    for (TLinkLabel *l : {w.LinkLabel1, w.LinkLabel2, w.LinkLabel3}) {
        QVERIFY(l->font().underline());
        QCOMPARE(l->cursor().shape(), Qt::PointingHandCursor);
        QCOMPARE(QStringLiteral("http://") + l->text(), l->LinkTo());
        QTest::mousePress(l, Qt::LeftButton);
        QTest::mouseRelease(l, Qt::LeftButton);
    }
    QCOMPARE(m_desktop->opened, (QStringList{"http://" + Maker::site, "http://" + Maker::productSite,
                                             "http://" + Maker::agendaSite}));
    QVERIFY(w.LinkLabel3->font().bold());
    QCOMPARE(w.LinkLabel1->LinkColor(), QColor(0, 0, 255));
    w.LinkLabel1->setLinkColor(QColor(200, 0, 0));
    QCOMPARE(w.LinkLabel1->palette().color(QPalette::WindowText), QColor(200, 0, 0));
    // A right press opens nothing.
    QTest::mousePress(w.LinkLabel2, Qt::RightButton);
    QCOMPARE(m_desktop->opened.size(), 3);
}

void TestFormDownload::escapeHides()
{
    TFormDownload w;
    QVERIFY(showActive(&w));
    choose(&w, 2);
    QTest::keyClick(w.ComboBox1, Qt::Key_Escape);
    QVERIFY(!w.isVisible());
    QVERIFY(showActive(&w));
    QCOMPARE(w.SelectedArchive, QStringLiteral("cpoemas.zip"));
    QCOMPARE(w.ComboBox1->currentIndex(), 2);
    // From the list too; and "Fechar" closes it.
    w.Lista->setFocus();
    QTest::keyClick(w.Lista, Qt::Key_Escape);
    QVERIFY(!w.isVisible());
    QVERIFY(showActive(&w));
    QTest::mouseClick(w.BtnFechar, Qt::LeftButton);
    QVERIFY(!w.isVisible());
    // The list is skipped by Tab.
    QCOMPARE(w.Lista->focusPolicy() & Qt::TabFocus, 0);
}

void TestFormDownload::realDownloadAndSecondClickIgnored()
{
    QTemporaryDir made;
    QVERIFY(makeArchive(made.path(), QStringLiteral("x.zip")));
    HttpTestServer server;
    QVERIFY(server.listening());
    server.mode = HttpTestServer::Mode::Hold;
    server.body = readFile(made.filePath(QStringLiteral("x.zip")));
    server.head = HttpTestServer::okHead(server.body.size());
    THTTPGetThread::setConnectTo({server.connectTo(Maker::site + QStringLiteral(":80"))});

    TFormDownload w;
    QVERIFY(showActive(&w));
    choose(&w, 7);
    QTest::mouseClick(w.BitBtn1, Qt::LeftButton);
    QVERIFY(w.AdwareDownload->Downloading());
    THTTPGetThread *const first = w.AdwareDownload->Worker();
    QCOMPARE(w.AdwareDownload->ImageURL(),
             QStringLiteral("http://") + Maker::site + QStringLiteral("/dleitura.zip"));
    QTRY_COMPARE_WITH_TIMEOUT(server.requests.size(), 1, 5000);
    QTest::mouseClick(w.BitBtn1, Qt::LeftButton); // still running: ignored
    QCOMPARE(w.AdwareDownload->Worker(), first);
    server.release();
    QTRY_VERIFY_WITH_TIMEOUT(!w.AdwareDownload->Downloading(), 10000);
    QVERIFY(server.requests.first().startsWith("GET /dleitura.zip HTTP/1.0\r\n"));
    QTRY_COMPARE_WITH_TIMEOUT(w.Lista->model()->rowCount(), 2, 2000);
    QCOMPARE(readFile(m_folder->file(QStringLiteral("dleitura.zip"))), server.body);
    QVERIFY(!QFile::exists(m_folder->file(QStringLiteral("temp.zip"))));
    QCOMPARE(readFile(w.IniPath), QByteArray("[Arquivos]\r\nUltimo Arquivo=dleitura.zip\r\n"));
    QCOMPARE(w.ProgressBar1->value(), 0);
    QCOMPARE(w.ProgressBar1->maximum(), server.body.size());
    QCOMPARE(server.requests.size(), 1);
}

void TestFormDownload::snapshot()
{
    QVERIFY(makeArchive(m_folder->path(), QStringLiteral("quelvado.zip")));
    QVERIFY(writeFile(SettingsFile::path(), "[Arquivos]\r\nUltimo Arquivo=quelvado.zip\r\n"));
    TFormDownload w;
    QVERIFY(showActive(&w));
    choose(&w, 1);
    w.AdwareDownloadProgress(nullptr, 1000, 450);
    const QString out = qEnvironmentVariable("QUELVADO_SNAPSHOT");
    if (!out.isEmpty())
        QVERIFY(w.grab().save(out));
    // The description: lime on black.
    const QImage img = w.grab().toImage();
    QCOMPARE(img.pixelColor(w.RxLabelInfo->geometry().topLeft() + QPoint(2, 2)), QColor(Qt::black));
}

// Hostile and broken servers, each through the window as the user meets it ("Horta em Casa",
// " Download"): a completion is claimed only for a whole, well-announced body; after a failure no
// temp.zip is left, nothing is listed, no archive is kept and the settings file is not written.
void TestFormDownload::hostileServers_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QByteArray>("head");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("route");
    QTest::addColumn<bool>("stop");
    QTest::addColumn<bool>("succeeds");
    QTest::addColumn<QList<int>>("progress"); // checked when not empty

    using M = HttpTestServer::Mode;
    const QByteArray zip = zipOfSize(3000);
    const QByteArray ok = HttpTestServer::okHead(3000);
    const auto withLength = [](const QByteArray &value) {
        return "HTTP/1.0 200 OK\r\nContent-Type: application/zip\r\nContent-Length:" + value + "\r\n\r\n";
    };
    const QList<int> none;
    QTest::newRow("right length, three blocks")
        << int(M::Once) << ok << zip << int(Direct) << false << true << QList<int>{1025, 2050, 3000};
    QTest::newRow("no length") << int(M::Once) << QByteArray("HTTP/1.0 200 OK\r\n\r\n") << zip << int(Direct)
                               << false << false << none;
    QTest::newRow("shorter than announced")
        << int(M::Once) << ok << zip.left(2000) << int(Direct) << false << false << none;
    QTest::newRow("longer than announced")
        << int(M::Once) << HttpTestServer::okHead(2000) << zip << int(Direct) << false << false << none;
    QTest::newRow("length +3000") << int(M::Once) << withLength(" +3000") << zip << int(Direct) << false
                                  << false << none;
    QTest::newRow("length -5") << int(M::Once) << withLength(" -5") << zip << int(Direct) << false << false
                               << none;
    QTest::newRow("length 3000abc") << int(M::Once) << withLength(" 3000abc") << zip << int(Direct) << false
                                    << false << none;
    QTest::newRow("length empty") << int(M::Once) << withLength("") << zip << int(Direct) << false << false
                                  << none;
    QTest::newRow("two differing lengths")
        << int(M::Once)
        << QByteArray("HTTP/1.0 200 OK\r\nContent-Length: 3000\r\nContent-Length: 3001\r\n\r\n") << zip
        << int(Direct) << false << false << none;
    QTest::newRow("drip, then stop") << int(M::Slow) << ok << zip << int(Direct) << true << false << none;
    QTest::newRow("silent server") << int(M::Silent) << ok << zip << int(Direct) << false << false << none;
    QTest::newRow("reset before the body")
        << int(M::ResetBeforeBody) << ok << zip << int(Direct) << false << false << none;
    QTest::newRow("reset during the body")
        << int(M::ResetDuringBody) << ok << zip << int(Direct) << false << false << none;
    QTest::newRow("garbage status line")
        << int(M::Once) << QByteArray("HTPT/1.0 200 OK\r\nContent-Length: 3000\r\n\r\n") << zip << int(Direct)
        << false << false << none;
    QTest::newRow("404") << int(M::Once)
                         << QByteArray("HTTP/1.0 404 Not Found\r\nContent-Length: 3000\r\n\r\n") << zip
                         << int(Direct) << false << false << none;
    QTest::newRow("302 not followed")
        << int(M::Once)
        << QByteArray("HTTP/1.0 302 Found\r\nLocation: http://quelvado.test/outro.zip\r\nContent-Length: "
                      "3000\r\n\r\n")
        << zip << int(Direct) << false << false << none;
    QTest::newRow("https, certificate trusted")
        << int(M::Once) << ok << zip << int(HttpsTrusted) << false << true << QList<int>{1025, 2050, 3000};
    QTest::newRow("https, certificate not trusted")
        << int(M::Once) << ok << zip << int(HttpsUntrusted) << false << false << none;
    QTest::newRow("through the proxy of http_proxy")
        << int(M::Once) << ok << zip << int(Proxy) << false << true << none;
    QTest::newRow("port in the address") << int(M::Once) << ok << zip << int(Port) << false << true << none;
}

void TestFormDownload::hostileServers()
{
    QFETCH(int, mode);
    QFETCH(QByteArray, head);
    QFETCH(QByteArray, body);
    QFETCH(int, route);
    QFETCH(bool, stop);
    QFETCH(bool, succeeds);
    QFETCH(QList<int>, progress);

    HttpTestServer server;
    QVERIFY(server.listening());
    server.mode = HttpTestServer::Mode(mode);
    server.head = head;
    server.body = body;
    server.chunk = 1; // a slow server drips one byte a second
    server.intervalMs = 1000;
    server.resetAfter = 1500;
    if (server.mode == HttpTestServer::Mode::Silent)
        THTTPGetThread::setStallSeconds(1); // a silent server is given up after a second

    HttpsTestServer https;
    const auto restoreProxy = qScopeGuard([] {
        qunsetenv("http_proxy");
        qputenv("no_proxy", "*");
    });
    switch (Route(route)) {
    case Direct:
        TFormDownload::setDownloadBase(QStringLiteral("http://quelvado.test/"));
        THTTPGetThread::setConnectTo({server.connectTo()});
        break;
    case Port:
        TFormDownload::setDownloadBase(QStringLiteral("http://quelvado.test:8080/"));
        THTTPGetThread::setConnectTo({server.connectTo(QStringLiteral("quelvado.test:8080"))});
        break;
    case Proxy:
        TFormDownload::setDownloadBase(QStringLiteral("http://quelvado.test/"));
        qputenv("http_proxy", QByteArray("http://127.0.0.1:") + QByteArray::number(server.port()));
        qunsetenv("no_proxy");
        break;
    case HttpsTrusted:
    case HttpsUntrusted: {
        if (!m_haveCertificate)
            QSKIP("openssl is not available to make a certificate and serve TLS");
        const QString cert = m_certificates.filePath(QStringLiteral("cert.pem"));
        QVERIFY(https.start(cert, m_certificates.filePath(QStringLiteral("key.pem")),
                            QStringLiteral("horta.zip"), head + body));
        TFormDownload::setDownloadBase(QStringLiteral("https://quelvado.test/"));
        THTTPGetThread::setConnectTo({QStringLiteral("quelvado.test:443:127.0.0.1:%1").arg(https.port())});
        // Trusted: the test's certificate is the authority; not trusted: the system's authorities.
        if (route == HttpsTrusted)
            THTTPGetThread::setCertificateAuthorities(cert);
        break;
    }
    }

    TFormDownload w;
    QVERIFY(showActive(&w));
    QList<int> seen;
    connect(w.AdwareDownload, &TAdware::OnProgress, &w,
            [&seen](QObject *, qint32, qint32 readed) { seen << readed; });
    QSignalSpy done(w.AdwareDownload, &TAdware::OnImageDone);
    choose(&w, 3);
    QTest::mouseClick(w.BitBtn1, Qt::LeftButton);
    QVERIFY(w.AdwareDownload->Downloading());

    if (stop) {
        // The first byte has come; the worker then waits for the next one a second later.
        QTRY_VERIFY_WITH_TIMEOUT(server.replied, 5000);
        const QPointer<THTTPGetThread> worker(w.AdwareDownload->Worker());
        QVERIFY(worker);
        QElapsedTimer clock;
        clock.start();
        worker->Terminate();
        QTRY_VERIFY_WITH_TIMEOUT(worker.isNull(), 1000); // ended and freed itself
        QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
    }
    QTRY_VERIFY_WITH_TIMEOUT(!w.AdwareDownload->Downloading(), 8000);

    QCOMPARE(done.size(), succeeds ? 1 : 0);
    QCOMPARE(w.AdwareDownload->LastSucceeded(), succeeds);
    if (!progress.isEmpty())
        QCOMPARE(seen, progress);
    if (route == Direct || route == Port || route == Proxy) {
        QCOMPARE(server.requests.size(), 1); // a redirection is not followed
        const QByteArray line = server.requests.first().left(server.requests.first().indexOf("\r\n"));
        QCOMPARE(line, route == Proxy ? QByteArray("GET http://quelvado.test/horta.zip HTTP/1.0")
                                      : QByteArray("GET /horta.zip HTTP/1.0"));
        if (route == Port)
            QVERIFY(server.requests.first().contains("\r\nHost: quelvado.test:8080\r\n"));
    }

    QVERIFY(!QFile::exists(m_folder->file(QStringLiteral("temp.zip"))));
    if (succeeds) {
        QCOMPARE(readFile(m_folder->file(QStringLiteral("horta.zip"))), body);
        QCOMPARE(rows(&w),
                 QStringList{"leiame.txt|" + QString::number(body.size() - 118) + "|17/05/2023 10:20:32"});
        QCOMPARE(readFile(w.IniPath), QByteArray("[Arquivos]\r\nUltimo Arquivo=horta.zip\r\n"));
        QVERIFY(w.BitBtnAbrirZip->isEnabled());
    } else {
        QCOMPARE(entries(m_folder->path()), QStringList());
        QCOMPARE(w.Lista->model()->rowCount(), 0);
        QVERIFY(w.LastArchive.isEmpty());
        QVERIFY(!w.BitBtnAbrirZip->isEnabled());
    }
    QVERIFY(m_dialogs->boxes.isEmpty());
}

// The archive is kept under the product chosen when " Download" was pressed; choosing another
// product meanwhile changes only what the window shows.
void TestFormDownload::archiveGoesUnderProductChosenAtStart()
{
    HttpTestServer server;
    server.mode = HttpTestServer::Mode::Hold;
    server.body = zipOfSize(3000);
    server.head = HttpTestServer::okHead(3000);
    TFormDownload::setDownloadBase(QStringLiteral("http://quelvado.test/"));
    THTTPGetThread::setConnectTo({server.connectTo()});

    TFormDownload w;
    QVERIFY(showActive(&w));
    choose(&w, 3);
    QTest::mouseClick(w.BitBtn1, Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(server.requests.size(), 1, 5000);
    QVERIFY(server.requests.first().startsWith("GET /horta.zip HTTP/1.0\r\n"));
    choose(&w, 5); // "Oficina de Bicicletas" while the download runs
    server.release();
    QTRY_VERIFY_WITH_TIMEOUT(!w.AdwareDownload->Downloading(), 8000);

    QCOMPARE(readFile(m_folder->file(QStringLiteral("horta.zip"))), server.body);
    QVERIFY(!QFile::exists(m_folder->file(QStringLiteral("ofbike.zip"))));
    QCOMPARE(w.LastArchive, QStringLiteral("horta.zip"));
    QCOMPARE(readFile(w.IniPath), QByteArray("[Arquivos]\r\nUltimo Arquivo=horta.zip\r\n"));
    QCOMPARE(w.Lista->model()->rowCount(), 1);
    QTest::mouseClick(w.BitBtnAbrirZip, Qt::LeftButton);
    QCOMPARE(m_desktop->opened, QStringList{m_folder->file(QStringLiteral("horta.zip"))});
    // The window shows the product chosen last, and the next download takes it.
    QCOMPARE(w.SelectedArchive, QStringLiteral("ofbike.zip"));
    QVERIFY(w.RxLabelInfo->text().startsWith(QStringLiteral("Organize os consertos")));
    QTest::mouseClick(w.BitBtn1, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!w.AdwareDownload->Downloading(), 8000);
    QCOMPARE(server.requests.size(), 2);
    QVERIFY(server.requests.last().startsWith("GET /ofbike.zip HTTP/1.0\r\n"));
    QCOMPARE(w.LastArchive, QStringLiteral("ofbike.zip"));
}

// " Download" before any product is chosen starts nothing and leaves no file behind.
void TestFormDownload::downloadBeforeChoosingDoesNothing()
{
    HttpTestServer server;
    server.body = zipOfSize(3000);
    server.head = HttpTestServer::okHead(3000);
    TFormDownload::setDownloadBase(QStringLiteral("http://quelvado.test/"));
    THTTPGetThread::setConnectTo({server.connectTo()});
    TFormDownload w;
    QVERIFY(showActive(&w));
    QTest::mouseClick(w.BitBtn1, Qt::LeftButton);
    QVERIFY(!w.AdwareDownload->Downloading()); // no worker was made
    QVERIFY(w.AdwareDownload->ImageURL().isEmpty());
    QCOMPARE(entries(m_folder->path()), QStringList());
    QVERIFY(server.requests.isEmpty());
    QVERIFY(m_dialogs->boxes.isEmpty());
}

// A copy that fails (short write, failed write, the disk full at any block) never passes for a
// download: the product's earlier archive stays as it was, temp.zip stays, nothing is listed, the
// settings file keeps every byte, and no half copy is left beside them.
void TestFormDownload::failedCopyKeepsEverything_data()
{
    QTest::addColumn<qint64>("failAfter"); // bytes written before the writer fails
    QTest::addColumn<bool>("shortWrite");  // the failing write writes part of its block, else none
    QTest::newRow("first block refused") << qint64(0) << false;
    QTest::newRow("short write in the middle") << qint64(2048 + 100) << true;
    QTest::newRow("last block refused") << qint64(4096) << false;
}

void TestFormDownload::failedCopyKeepsEverything()
{
    QFETCH(qint64, failAfter);
    QFETCH(bool, shortWrite);
    const QByteArray fresh = zipOfSize(5000);
    const QByteArray old = zipOfSize(700);
    QVERIFY(writeFile(m_folder->file(QStringLiteral("temp.zip")), fresh));
    QVERIFY(writeFile(m_folder->file(QStringLiteral("horta.zip")), old));
    const QByteArray settings = "; ajustes\r\n[Arquivos]\r\nUltimo Arquivo=agcasa.zip\r\n";
    QVERIFY(writeFile(SettingsFile::path(), settings));
    qint64 written = 0;
    TFormDownload::setCopyWriter(
        [&written, failAfter, shortWrite](QIODevice &out, const char *data, qint64 size) {
            if (written + size <= failAfter) {
                written += size;
                return out.write(data, size);
            }
            const qint64 part = shortWrite ? failAfter - written : 0;
            written += part;
            return part > 0 ? out.write(data, part) : qint64(-1);
        });

    TFormDownload w;
    choose(&w, 3);
    w.AdwareDownloadImageDone(w.AdwareDownload, m_folder->file(QStringLiteral("temp.zip")), fresh.size());

    QCOMPARE(readFile(m_folder->file(QStringLiteral("horta.zip"))), old);
    QCOMPARE(readFile(m_folder->file(QStringLiteral("temp.zip"))), fresh);
    QCOMPARE(readFile(SettingsFile::path()), settings);
    QCOMPARE(entries(m_folder->path()),
             (QStringList{"horta.zip", "temp.zip", QFileInfo(SettingsFile::path()).fileName()}));
    QCOMPARE(w.Lista->model()->rowCount(), 0);
    QVERIFY(w.LastArchive.isEmpty());
    QVERIFY(!w.BitBtnAbrirZip->isEnabled());
    QVERIFY(m_dialogs->boxes.isEmpty());

    // The same copy with writes that work replaces the archive whole.
    TFormDownload::setCopyWriter({});
    w.AdwareDownloadImageDone(w.AdwareDownload, m_folder->file(QStringLiteral("temp.zip")), fresh.size());
    QCOMPARE(readFile(m_folder->file(QStringLiteral("horta.zip"))), fresh);
    QVERIFY(!QFile::exists(m_folder->file(QStringLiteral("temp.zip"))));
    QCOMPARE(readFile(SettingsFile::path()),
             QByteArray("; ajustes\r\n[Arquivos]\r\nUltimo Arquivo=horta.zip\r\n"));
    QCOMPARE(w.Lista->model()->rowCount(), 1);
}

// A program folder where nothing can be written: the copy fails, and so does the setting, with
// nothing changed.
void TestFormDownload::readOnlyFolder()
{
    const QByteArray fresh = zipOfSize(3000);
    QVERIFY(writeFile(m_folder->file(QStringLiteral("temp.zip")), fresh));
    const QByteArray settings = "[Arquivos]\r\nUltimo Arquivo=agcasa.zip\r\n";
    QVERIFY(writeFile(SettingsFile::path(), settings));
    const QString folder = m_folder->path();
    QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
    const auto writable = qScopeGuard(
        [folder] { QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner); });
    {
        QFile probe(m_folder->file(QStringLiteral("probe")));
        if (probe.open(QIODevice::WriteOnly)) {
            probe.remove();
            QSKIP("this user writes into read-only folders (root); the injected writer covers the failure");
        }
    }
    TFormDownload w;
    choose(&w, 3);
    w.AdwareDownloadImageDone(w.AdwareDownload, m_folder->file(QStringLiteral("temp.zip")), fresh.size());
    QCOMPARE(entries(folder), (QStringList{"temp.zip", QFileInfo(SettingsFile::path()).fileName()}));
    QCOMPARE(w.Lista->model()->rowCount(), 0);
    QVERIFY(!SettingsFile::writeString(SettingsFile::path(), QStringLiteral("Arquivos"),
                                       QStringLiteral("Ultimo Arquivo"), QStringLiteral("horta.zip")));
    QCOMPARE(readFile(SettingsFile::path()), settings);
}

// On a small file system of its own (mounted when the test may), the disk really fills up during
// the copy and the settings write, then the folder becomes read-only: nothing is lost either way.
void TestFormDownload::fullAndReadOnlyDisk()
{
    QTemporaryDir mountPoint;
    const QByteArray point = QFile::encodeName(mountPoint.path());
    if (::mount("tmpfs", point.constData(), "tmpfs", 0, "size=64k,mode=0700") != 0)
        QSKIP("no permission to mount a small file system here; the injected writer covers the failure");
    const auto unmount = qScopeGuard([&point] { ::umount2(point.constData(), MNT_DETACH); });
    ProgramFolder::set(mountPoint.path());
    const auto back = qScopeGuard([this] { ProgramFolder::set(m_folder->path()); });
    const auto file = [&mountPoint](const char *name) { return mountPoint.filePath(QLatin1String(name)); };

    const QByteArray fresh = zipOfSize(40 * 1024);
    {
        // Disk full during the download itself: no completion, no temp.zip.
        QVERIFY(writeFile(file("filler"), QByteArray(40 * 1024, 'f')));
        HttpTestServer server;
        server.body = fresh;
        server.head = HttpTestServer::okHead(fresh.size());
        TFormDownload::setDownloadBase(QStringLiteral("http://quelvado.test/"));
        THTTPGetThread::setConnectTo({server.connectTo()});
        TFormDownload w;
        QSignalSpy done(w.AdwareDownload, &TAdware::OnImageDone);
        choose(&w, 3);
        QTest::mouseClick(w.BitBtn1, Qt::LeftButton);
        QVERIFY(w.AdwareDownload->Downloading());
        QTRY_VERIFY_WITH_TIMEOUT(!w.AdwareDownload->Downloading(), 8000);
        QCOMPARE(done.size(), 0);
        QCOMPARE(entries(mountPoint.path()), QStringList{"filler"});
        QVERIFY(QFile::remove(file("filler")));
    }
    const QByteArray old = zipOfSize(3000);
    const QByteArray settings = "[Arquivos]\r\nUltimo Arquivo=horta.zip\r\n";
    QVERIFY(writeFile(file("temp.zip"), fresh));
    QVERIFY(writeFile(file("horta.zip"), old));
    QVERIFY(writeFile(SettingsFile::path(), settings));
    {
        // Disk full in the middle of the copy.
        TFormDownload w;
        QCOMPARE(w.Lista->model()->rowCount(), 1); // the old archive
        choose(&w, 3);
        w.AdwareDownloadImageDone(w.AdwareDownload, file("temp.zip"), fresh.size());
        QCOMPARE(readFile(file("horta.zip")), old);
        QCOMPARE(readFile(file("temp.zip")), fresh);
        QCOMPARE(readFile(SettingsFile::path()), settings);
        QCOMPARE(entries(mountPoint.path()), (QStringList{"horta.zip", "temp.zip", "tst_formdownload.ini"}));
        QVERIFY(m_dialogs->boxes.isEmpty());
    }
    {
        // Disk full when the setting is written: the old settings file stays whole.
        QFile filler(file("filler"));
        QVERIFY(filler.open(QIODevice::WriteOnly));
        const QByteArray block(4096, 'f');
        while (filler.write(block) == block.size() && filler.flush()) {
        }
        filler.close();
        QVERIFY(!SettingsFile::writeString(SettingsFile::path(), QStringLiteral("Arquivos"),
                                           QStringLiteral("Ultimo Arquivo"),
                                           QStringLiteral("ofbike.") + QString(5000, u'z')));
        QCOMPARE(readFile(SettingsFile::path()), settings);
        QVERIFY(QFile::remove(file("filler")));
    }
    {
        // Read-only: the copy and the setting fail, nothing changes; listing still works.
        QVERIFY(::mount("tmpfs", point.constData(), "tmpfs", MS_REMOUNT | MS_RDONLY, "size=64k,mode=0700") ==
                0);
        TFormDownload w;
        choose(&w, 3);
        QVERIFY(!TFormDownload::CopyArchive(file("temp.zip"), file("horta.zip")));
        w.AdwareDownloadImageDone(w.AdwareDownload, file("temp.zip"), fresh.size());
        QCOMPARE(readFile(file("horta.zip")), old);
        QCOMPARE(readFile(file("temp.zip")), fresh);
        QVERIFY(!SettingsFile::writeString(SettingsFile::path(), QStringLiteral("Arquivos"),
                                           QStringLiteral("Ultimo Arquivo"), QStringLiteral("ofbike.zip")));
        QCOMPARE(readFile(SettingsFile::path()), settings);
        QCOMPARE(w.Lista->model()->rowCount(), 1);
        QVERIFY(m_dialogs->boxes.isEmpty());
    }
}

// A FIFO where temp.zip should be: the completion neither blocks nor lists anything.
void TestFormDownload::copyOfAFifoRefused()
{
    QVERIFY(makeFifo(m_folder->file(QStringLiteral("temp.zip"))));
    TFormDownload w;
    choose(&w, 3);
    w.AdwareDownloadImageDone(w.AdwareDownload, m_folder->file(QStringLiteral("temp.zip")), 0);
    QVERIFY(!QFile::exists(m_folder->file(QStringLiteral("horta.zip"))));
    QCOMPARE(w.Lista->model()->rowCount(), 0);
    QVERIFY(!QFile::exists(w.IniPath));
    QVERIFY(!TFormDownload::CopyArchive(m_folder->file(QStringLiteral("temp.zip")),
                                        m_folder->file(QStringLiteral("x.zip"))));
}

// Writing the setting changes its own line and nothing else: other keys, comments, blank lines,
// bytes no code page knows, line ends and a missing last line end all stay byte for byte.
void TestFormDownload::settingsChangeOnlyTheKey_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");
    const QByteArray odd = "Nome=Jos\xc3\xa9 \x81\x8d\x8f\x90\x9d \xff";
    QTest::newRow("key replaced") << "; notas \xe7\xe3o\r\n[Outra]\r\n" + odd +
                                         "\r\n\r\n[Arquivos]\r\nUltimo Arquivo=velho.zip\r\nDepois=1\r\n"
                                  << "; notas \xe7\xe3o\r\n[Outra]\r\n" + odd +
                                         "\r\n\r\n[Arquivos]\r\nUltimo Arquivo=horta.zip\r\nDepois=1\r\n";
    QTest::newRow("LF lines, no last line end") << "[Arquivos]\n" + odd + "\nUltimo Arquivo = x.zip"
                                                << "[Arquivos]\n" + odd + "\nUltimo Arquivo=horta.zip";
    QTest::newRow("key added after the section's last line")
        << "[Arquivos]\r\n" + odd + "\r\n\r\n\r\n[Outra]\r\nA=1"
        << "[Arquivos]\r\n" + odd + "\r\nUltimo Arquivo=horta.zip\r\n\r\n\r\n[Outra]\r\nA=1";
    QTest::newRow("section added, last line ended first")
        << "[Outra]\r\n" + odd << "[Outra]\r\n" + odd + "\r\n\r\n[Arquivos]\r\nUltimo Arquivo=horta.zip\r\n";
    QTest::newRow("only the first of two key lines")
        << QByteArray("[Arquivos]\r\nUltimo Arquivo=a.zip\r\nultimo arquivo=b.zip\r\n")
        << QByteArray("[Arquivos]\r\nUltimo Arquivo=horta.zip\r\nultimo arquivo=b.zip\r\n");
    QTest::newRow("a NUL byte and a CR alone stay")
        << QByteArrayLiteral("A=\0\rB\r\n[Arquivos]\r\nUltimo Arquivo=a.zip\r\n")
        << QByteArrayLiteral("A=\0\rB\r\n[Arquivos]\r\nUltimo Arquivo=horta.zip\r\n");
}

void TestFormDownload::settingsChangeOnlyTheKey()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    const QString ini = SettingsFile::path();
    QVERIFY(writeFile(ini, before));
    QVERIFY(SettingsFile::writeString(ini, QStringLiteral("Arquivos"), QStringLiteral("Ultimo Arquivo"),
                                      QStringLiteral("horta.zip")));
    QCOMPARE(readFile(ini), after);
    QCOMPARE(SettingsFile::readString(ini, QStringLiteral("Arquivos"), QStringLiteral("Ultimo Arquivo")),
             QStringLiteral("horta.zip"));
}

// The file is replaced by a rename, never truncated and rewritten in place: a second name of the
// old file still holds the old bytes, and its permissions are kept.
void TestFormDownload::settingsReplacedAtomically()
{
    const QString ini = SettingsFile::path();
    const QByteArray old = "[Arquivos]\r\nUltimo Arquivo=velho.zip\r\n";
    QVERIFY(writeFile(ini, old));
    QVERIFY(QFile::setPermissions(ini, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    const QString link = m_folder->file(QStringLiteral("old-name"));
    QVERIFY(::link(QFile::encodeName(ini).constData(), QFile::encodeName(link).constData()) == 0);
    QVERIFY(SettingsFile::writeString(ini, QStringLiteral("Arquivos"), QStringLiteral("Ultimo Arquivo"),
                                      QStringLiteral("horta.zip")));
    QCOMPARE(readFile(link), old);
    QCOMPARE(readFile(ini), QByteArray("[Arquivos]\r\nUltimo Arquivo=horta.zip\r\n"));
    QCOMPARE(QFileInfo(ini).permissions() & (QFile::ReadGroup | QFile::ReadOther), QFile::ReadGroup);
    QCOMPARE(entries(m_folder->path()), (QStringList{"old-name", QFileInfo(ini).fileName()}));
}

// A settings file that is no regular file, or larger than 1 MiB, is not used: the window starts
// at once, says why, and lists nothing; writing the setting leaves it alone.
void TestFormDownload::settingsRefused_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("message");
    QTest::newRow("FIFO")
        << "fifo"
        << u8"O arquivo de configurações \"tst_formdownload.ini\" não é um arquivo comum e não será usado.";
    QTest::newRow("folder")
        << "folder"
        << u8"O arquivo de configurações \"tst_formdownload.ini\" não é um arquivo comum e não será usado.";
    QTest::newRow("over 1 MiB")
        << "large"
        << u8"O arquivo de configurações \"tst_formdownload.ini\" tem mais de 1 MiB e não será usado.";
}

void TestFormDownload::settingsRefused()
{
    QFETCH(QString, kind);
    QFETCH(QString, message);
    QVERIFY(makeArchive(m_folder->path(), QStringLiteral("horta.zip")));
    const QString ini = SettingsFile::path();
    const QByteArray large =
        "[Arquivos]\r\nUltimo Arquivo=horta.zip\r\n;" + QByteArray(SettingsFile::MaxSize, 'x');
    if (kind == QLatin1String("fifo"))
        QVERIFY(makeFifo(ini));
    else if (kind == QLatin1String("folder"))
        QVERIFY(QDir(m_folder->path()).mkdir(QFileInfo(ini).fileName()));
    else
        QVERIFY(writeFile(ini, large));

    QElapsedTimer clock;
    clock.start();
    TFormDownload w;
    QVERIFY(clock.elapsed() < 2000);
    QCOMPARE(m_dialogs->texts(), QStringList{message});
    QCOMPARE(m_dialogs->boxes.first().icon, Dialogs::Icon::Warning);
    QVERIFY(w.SavedArchive.isEmpty());
    QCOMPARE(w.Lista->model()->rowCount(), 0);
    QVERIFY(!SettingsFile::writeString(ini, QStringLiteral("Arquivos"), QStringLiteral("Ultimo Arquivo"),
                                       QStringLiteral("agcasa.zip")));
    if (kind == QLatin1String("large"))
        QCOMPARE(readFile(ini), large);
    else
        QVERIFY(!QFileInfo(ini).isFile());
    // Exactly 1 MiB is still read.
    if (kind == QLatin1String("large")) {
        QByteArray limit = "[Arquivos]\r\nUltimo Arquivo=horta.zip\r\n;";
        limit += QByteArray(SettingsFile::MaxSize - limit.size(), 'x');
        QVERIFY(writeFile(ini, limit));
        QCOMPARE(SettingsFile::readString(ini, QStringLiteral("Arquivos"), QStringLiteral("Ultimo Arquivo")),
                 QStringLiteral("horta.zip"));
    }
}

// "Ultimo Arquivo" names an archive only as a plain file name of the program folder.
void TestFormDownload::savedNameMustBePlain_data()
{
    QTest::addColumn<QString>("saved");
    QTest::addColumn<QString>("made"); // an archive put where the name points, inside the folder
    QTest::newRow("parent folders") << "../../../etc/passwd"
                                    << "";
    QTest::newRow("absolute path") << "/etc/passwd"
                                   << "";
    QTest::newRow("subfolder") << "sub/horta.zip"
                               << "sub/horta.zip";
    QTest::newRow("backslash") << "sub\\horta.zip"
                               << "";
    QTest::newRow("two dots") << "..horta.zip"
                              << "..horta.zip";
    QTest::newRow("dot dot alone") << ".."
                                   << "";
    QTest::newRow("drive letter") << "C:horta.zip"
                                  << "C:horta.zip";
}

void TestFormDownload::savedNameMustBePlain()
{
    QFETCH(QString, saved);
    QFETCH(QString, made);
    if (!made.isEmpty()) {
        QVERIFY(QDir(m_folder->path()).mkpath(QFileInfo(m_folder->file(made)).path()));
        QVERIFY(makeArchive(QFileInfo(m_folder->file(made)).path(), QFileInfo(made).fileName()));
    }
    QVERIFY(writeFile(SettingsFile::path(), "[Arquivos]\r\nUltimo Arquivo=" + saved.toUtf8() + "\r\n"));
    TFormDownload w;
    QVERIFY(showActive(&w));
    QCOMPARE(w.SavedArchive, saved);
    QVERIFY(w.LastArchive.isEmpty());
    QCOMPARE(w.Lista->model()->rowCount(), 0);
    QVERIFY(!w.BitBtnAbrirZip->isEnabled());
    w.BitBtnAbrirZipClick(); // even called directly, nothing is handed to the desktop
    QVERIFY(m_desktop->opened.isEmpty());
    QVERIFY(m_dialogs->boxes.isEmpty());
    QVERIFY(!TFormDownload::IsPlainArchiveName(saved));
    QVERIFY(TFormDownload::IsPlainArchiveName(QStringLiteral("horta.zip")));
}

// A FIFO under the saved archive's name: the window starts at once and lists nothing.
void TestFormDownload::savedArchiveNotARegularFile()
{
    QVERIFY(makeFifo(m_folder->file(QStringLiteral("horta.zip"))));
    QVERIFY(writeFile(SettingsFile::path(), "[Arquivos]\r\nUltimo Arquivo=horta.zip\r\n"));
    TFormDownload w;
    QVERIFY(w.LastArchive.isEmpty());
    QCOMPARE(w.Lista->model()->rowCount(), 0);
    QVERIFY(m_dialogs->boxes.isEmpty());
    // Listed anyway (the file turned into a FIFO after the download): a message, no hang.
    w.LastArchive = QStringLiteral("horta.zip");
    w.MostrarZip();
    QCOMPARE(m_dialogs->texts(),
             QStringList{u8"\"horta.zip\" não é um arquivo comum e não pode ser listado."});

    // An archive over the reader's limit (sparse: it costs no disk) is not listed at start, and
    // listing it anyway says why, without reading it.
    m_dialogs->clear();
    {
        QFile big(m_folder->file(QStringLiteral("agcasa.zip")));
        QVERIFY(big.open(QIODevice::WriteOnly));
        QVERIFY(big.resize(TZip::MaxArchiveSize + 1));
    }
    QVERIFY(writeFile(SettingsFile::path(), "[Arquivos]\r\nUltimo Arquivo=agcasa.zip\r\n"));
    TFormDownload next;
    QVERIFY(next.LastArchive.isEmpty());
    QVERIFY(m_dialogs->boxes.isEmpty());
    next.LastArchive = QStringLiteral("agcasa.zip");
    next.MostrarZip();
    QCOMPARE(m_dialogs->texts(),
             QStringList{u8"O arquivo .ZIP \"agcasa.zip\" tem mais de 2 GiB e não pode ser listado."});
    QCOMPARE(next.Lista->model()->rowCount(), 0);
}

QTEST_MAIN(TestFormDownload)
#include "tst_formdownload.moc"
