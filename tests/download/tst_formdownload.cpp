// The download window as a user meets it: choosing a product and reading its description, the
// download's progress and completion (handled directly, and once through a small server on
// 127.0.0.1), the archive's members in the list, opening the archive and the mail, the settings
// file that brings the last archive back at the next start, and closing with Esc.

#include "download/formdownload.h"
#include "download/adware.h"
#include "download/httpgetthread.h"
#include "download/linklabel.h"
#include "download/settingsfile.h"

#include "common/maker.h"
#include "common/programfolder.h"
#include "controls/gauge.h"

#include "fakes.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

#include <atomic>
#include <thread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

QByteArray le(quint64 value, int bytes)
{
    QByteArray out;
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
    return out;
}

// A one-member stored archive with the given DOS date and time fields.
QByteArray oneMemberZip(const QByteArray &name, const QByteArray &data, quint16 date, quint16 time)
{
    QByteArray out = "PK\x03\x04" + le(20, 2) + le(0, 2) + le(0, 2) + le(time, 2) + le(date, 2) + le(0, 4)
        + le(data.size(), 4) + le(data.size(), 4) + le(name.size(), 2) + le(0, 2) + name + data;
    const qint64 directory = out.size();
    out += "PK\x01\x02" + le(20, 2) + le(20, 2) + le(0, 4) + le(time, 2) + le(date, 2) + le(0, 4)
        + le(data.size(), 4) + le(data.size(), 4) + le(name.size(), 2) + le(0, 2) + le(0, 2) + le(0, 8)
        + le(0, 4) + name;
    return out + "PK\x05\x06" + le(0, 4) + le(1, 2) + le(1, 2) + le(out.size() - directory, 4)
        + le(directory, 4) + le(0, 2);
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// Builds, with the zip tool, an archive in folder named name holding "leiame.txt" (12 bytes,
// 2023-05-17 10:20:30), a folder "docs/" and "docs/manual.txt" (3000 bytes, 2021-01-02 midnight).
bool makeArchive(const QString &folder, const QString &name)
{
    const QString script = QStringLiteral(
        "set -e; rm -rf src && mkdir -p src/docs && cd src && printf 'Leia-me ok\\r\\n' > leiame.txt && "
        "head -c 3000 /dev/zero | tr '\\0' 'x' > docs/manual.txt && "
        "touch -d '2023-05-17 10:20:30' leiame.txt && touch -d '2021-01-02 00:00:00' docs/manual.txt docs && "
        "zip -q -X ../%1 leiame.txt docs docs/manual.txt && cd .. && rm -rf src").arg(name);
    QProcess p;
    p.setWorkingDirectory(folder);
    p.start(QStringLiteral("sh"), {QStringLiteral("-c"), script});
    return p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// An HTTP/1.0 server on 127.0.0.1 for one request: it answers with body once release() is called
// (or after ten seconds), then closes.
class OneShotServer {
public:
    explicit OneShotServer(QByteArray body) : m_body(std::move(body))
    {
        m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (m_fd < 0 || ::bind(m_fd, reinterpret_cast<sockaddr *>(&address), length) != 0 || ::listen(m_fd, 4) != 0
            || ::getsockname(m_fd, reinterpret_cast<sockaddr *>(&address), &length) != 0)
            return;
        m_port = ntohs(address.sin_port);
        m_thread = std::thread([this] { serve(); });
    }
    ~OneShotServer()
    {
        m_release = true;
        if (m_fd >= 0)
            ::shutdown(m_fd, SHUT_RDWR);
        if (m_thread.joinable())
            m_thread.join();
        if (m_fd >= 0)
            ::close(m_fd);
    }
    int port() const { return m_port; }
    void release() { m_release = true; }
    int requests() const { return m_requests; }
    QByteArray request() const { return m_request; }

private:
    void serve()
    {
        const int client = ::accept(m_fd, nullptr, nullptr);
        if (client < 0)
            return;
        ++m_requests;
        QByteArray request;
        char buffer[1024];
        while (!request.contains("\r\n\r\n")) {
            const ssize_t got = ::recv(client, buffer, sizeof buffer, 0);
            if (got <= 0)
                break;
            request.append(buffer, got);
        }
        m_request = request;
        for (int i = 0; i < 1000 && !m_release; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        const QByteArray reply = "HTTP/1.0 200 OK\r\nContent-Type: application/zip\r\nContent-Length: "
            + QByteArray::number(m_body.size()) + "\r\n\r\n" + m_body;
        qsizetype sent = 0;
        while (sent < reply.size()) {
            const ssize_t put = ::send(client, reply.constData() + sent, reply.size() - sent, MSG_NOSIGNAL);
            if (put <= 0)
                break;
            sent += put;
        }
        ::close(client);
    }

    QByteArray m_body;
    int m_fd = -1;
    int m_port = 0;
    std::thread m_thread;
    std::atomic<bool> m_release{false};
    std::atomic<int> m_requests{0};
    QByteArray m_request;
};

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

private:
    void activate(TFormDownload *w);
    void choose(TFormDownload *w, int row);
    QStringList rows(const TFormDownload *w) const;

    TempProgramFolder *m_folder = nullptr;
    FakeDialogs *m_dialogs = nullptr;
    FakeDesktop *m_desktop = nullptr;
};

void TestFormDownload::initTestCase() { QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil)); }

void TestFormDownload::init()
{
    m_folder = new TempProgramFolder;
    m_dialogs = new FakeDialogs;
    m_desktop = new FakeDesktop;
}

void TestFormDownload::cleanup()
{
    THTTPGetThread::setConnectTo({});
    delete m_desktop;
    delete m_dialogs;
    delete m_folder;
}

void TestFormDownload::activate(TFormDownload *w)
{
    w->show();
    w->activateWindow();
    QApplication::setActiveWindow(w);
    QVERIFY(QTest::qWaitForWindowActive(w));
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
    for (int i = 0; i < w->Lista->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *item = w->Lista->topLevelItem(i);
        out << item->text(0) + QLatin1Char('|') + item->text(1) + QLatin1Char('|') + item->text(2);
    }
    return out;
}

void TestFormDownload::firstStart()
{
    TFormDownload w;
    QCOMPARE(w.size(), QSize(398, 433));
    QCOMPARE(w.windowTitle(), QStringLiteral("Download de Produtos - A Vitrine Dolmar"));
    QCOMPARE(w.Lista->topLevelItemCount(), 0);
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
    const QStringList headers{w.Lista->headerItem()->text(0), w.Lista->headerItem()->text(1),
                              w.Lista->headerItem()->text(2)};
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
    activate(&w);
    choose(&w, 1);
    QCOMPARE(w.SelectedArchive, QStringLiteral("quelvado.zip"));
    QCOMPARE(w.RxLabelInfo->text(), QStringLiteral("Teste seus conhecimentos antes de fazer a prova do Detran.\n"
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
    activate(&w);
    choose(&w, 1);
    w.AdwareDownloadProgress(nullptr, downloaded.size(), downloaded.size());
    w.AdwareDownloadImageDone(w.AdwareDownload, m_folder->file(QStringLiteral("temp.zip")), downloaded.size());

    QCOMPARE(readFile(m_folder->file(QStringLiteral("quelvado.zip"))), downloaded);
    QVERIFY(!QFile::exists(m_folder->file(QStringLiteral("temp.zip"))));
    QCOMPARE(rows(&w), (QStringList{"leiame.txt|12|17/05/2023 10:20:30", "manual.txt|3000|02/01/2021"}));
    QCOMPARE(w.Lista->topLevelItem(0)->textAlignment(1) & Qt::AlignRight, Qt::AlignRight);
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
    writeFile(SettingsFile::path(), "[Arquivos]\r\nUltimo Arquivo=horta.zip\r\n");
    TFormDownload w(nullptr, deferred ? TFormDownload::Construction::Deferred : TFormDownload::Construction::Immediate);
    if (deferred) {
        QVERIFY(w.Lista == nullptr);
        QVERIFY(w.LastArchive.isEmpty());
        activate(&w); // shown before the timer: built at once
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
    writeFile(SettingsFile::path(), "[Arquivos]\r\nUltimo Arquivo=agcasa.zip\r\n");
    TFormDownload w;
    QCOMPARE(w.SavedArchive, QStringLiteral("agcasa.zip"));
    QVERIFY(w.LastArchive.isEmpty());
    QCOMPARE(w.Lista->topLevelItemCount(), 0);
    QVERIFY(!w.BitBtnAbrirZip->isEnabled());
    QVERIFY(m_dialogs->boxes.isEmpty());
}

void TestFormDownload::unreadableArchive()
{
    QVERIFY(makeArchive(m_folder->path(), QStringLiteral("cpoemas.zip")));
    writeFile(SettingsFile::path(), "[Arquivos]\r\nUltimo Arquivo=cpoemas.zip\r\n");
    TFormDownload w;
    QCOMPARE(w.Lista->topLevelItemCount(), 2);
    // The archive goes away while the program runs; listing it again tells the user and empties the list.
    QVERIFY(QFile::remove(m_folder->file(QStringLiteral("cpoemas.zip"))));
    w.MostrarZip();
    QCOMPARE(m_dialogs->texts(), QStringList{"Arquivo .ZIP não encontrado!"});
    QCOMPARE(m_dialogs->boxes[0].icon, Dialogs::Icon::None);
    QCOMPARE(w.Lista->topLevelItemCount(), 0);
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
    QCOMPARE(w.Lista->topLevelItemCount(), 0);
    QVERIFY(!w.BitBtnAbrirZip->isEnabled());
    QVERIFY(!QFile::exists(w.IniPath));
    QVERIFY(w.LastArchive.isEmpty());
    QCOMPARE(w.ProgressBar1->value(), 0);
    QVERIFY(m_dialogs->boxes.isEmpty());
    // No product chosen at all: nothing is listed either.
    TFormDownload fresh;
    fresh.AdwareDownloadImageDone(fresh.AdwareDownload, QString(), 0);
    QVERIFY(QFile::exists(m_folder->file(QStringLiteral("temp.zip"))));
    QCOMPARE(fresh.Lista->topLevelItemCount(), 0);
}

void TestFormDownload::invalidDateShows1899()
{
    // Date 0 has month 0, not a date.
    writeFile(m_folder->file(QStringLiteral("temp.zip")), oneMemberZip("pasta/sem-data.txt", "abc", 0, 0x5000));
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
    writeFile(ini, "[Janela]\r\nTopo=10\r\n\r\n[arquivos]\r\n  ultimo arquivo = \"velho.zip\" \r\nOutro=1\r\n");
    QCOMPARE(SettingsFile::readString(ini, QStringLiteral("Arquivos"), QStringLiteral("Ultimo Arquivo")),
             QStringLiteral("velho.zip"));
    QVERIFY(SettingsFile::writeString(ini, QStringLiteral("Arquivos"), QStringLiteral("Ultimo Arquivo"),
                                      QStringLiteral("aniver.zip")));
    QCOMPARE(readFile(ini), QByteArray("[Janela]\r\nTopo=10\r\n\r\n[arquivos]\r\nUltimo Arquivo=aniver.zip\r\nOutro=1\r\n"));
    QVERIFY(SettingsFile::writeString(ini, QStringLiteral("Janela"), QStringLiteral("Esquerda"), QStringLiteral("5")));
    QCOMPARE(readFile(ini),
             QByteArray("[Janela]\r\nTopo=10\r\nEsquerda=5\r\n\r\n[arquivos]\r\nUltimo Arquivo=aniver.zip\r\nOutro=1\r\n"));
    QCOMPARE(SettingsFile::readString(ini, QStringLiteral("Nada"), QStringLiteral("x"), QStringLiteral("def")),
             QStringLiteral("def"));
    // A file with other sections only gets the section at its end; LF-only lines are read as well.
    writeFile(ini, "[Outra]\nA=1\n");
    QVERIFY(SettingsFile::writeString(ini, QStringLiteral("Arquivos"), QStringLiteral("Ultimo Arquivo"),
                                      QStringLiteral("horta.zip")));
    QCOMPARE(readFile(ini), QByteArray("[Outra]\r\nA=1\r\n\r\n[Arquivos]\r\nUltimo Arquivo=horta.zip\r\n"));
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
    writeFile(source, bytes);
    {
        QFile f(source);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.setFileTime(QDateTime(QDate(2020, 2, 3), QTime(4, 5, 6)), QFileDevice::FileModificationTime));
    }
    writeFile(target, QByteArray(9000, 'z')); // an older, longer file is truncated
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
    activate(&w);
    QTest::mouseClick(w.BitBtn3, Qt::LeftButton);
    QCOMPARE(m_desktop->opened, QStringList{QStringLiteral("mailto:") + Maker::mail
                                            + "?Subject=Prova de Legislação de Trânsito&body=Solicito informações sobre..."});
    QCOMPARE(w.BitBtn3->toolTip(), QStringLiteral("Para informações sobre os softwares envie-nos um E-MAIL"));

    QTest::mouseClick(w.SBProdServ, Qt::LeftButton);
    QCOMPARE(m_dialogs->boxes.size(), 1);
    QCOMPARE(m_dialogs->boxes[0].icon, Dialogs::Icon::Information);
    QVERIFY(m_dialogs->boxes[0].text.startsWith("Como baixar os programas : \n- selecione o produto desejado"));
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
    activate(&w);
    choose(&w, 2);
    QTest::keyClick(w.ComboBox1, Qt::Key_Escape);
    QVERIFY(!w.isVisible());
    activate(&w);
    QCOMPARE(w.SelectedArchive, QStringLiteral("cpoemas.zip"));
    QCOMPARE(w.ComboBox1->currentIndex(), 2);
    // From the list too; and "Fechar" closes it.
    w.Lista->setFocus();
    QTest::keyClick(w.Lista, Qt::Key_Escape);
    QVERIFY(!w.isVisible());
    activate(&w);
    QTest::mouseClick(w.BtnFechar, Qt::LeftButton);
    QVERIFY(!w.isVisible());
    // The list is skipped by Tab.
    QCOMPARE(w.Lista->focusPolicy() & Qt::TabFocus, 0);
}

void TestFormDownload::realDownloadAndSecondClickIgnored()
{
    QTemporaryDir made;
    QVERIFY(makeArchive(made.path(), QStringLiteral("x.zip")));
    OneShotServer server(readFile(made.filePath(QStringLiteral("x.zip"))));
    QVERIFY(server.port() != 0);
    THTTPGetThread::setConnectTo({Maker::site + QStringLiteral(":80:127.0.0.1:%1").arg(server.port())});

    TFormDownload w;
    activate(&w);
    choose(&w, 7);
    QTest::mouseClick(w.BitBtn1, Qt::LeftButton);
    QVERIFY(w.AdwareDownload->Downloading());
    THTTPGetThread *const first = w.AdwareDownload->Worker();
    QCOMPARE(w.AdwareDownload->ImageURL(), QStringLiteral("http://") + Maker::site + QStringLiteral("/dleitura.zip"));
    QTRY_COMPARE_WITH_TIMEOUT(server.requests(), 1, 5000);
    QTest::mouseClick(w.BitBtn1, Qt::LeftButton); // still running: ignored
    QCOMPARE(w.AdwareDownload->Worker(), first);
    server.release();
    QTRY_VERIFY_WITH_TIMEOUT(!w.AdwareDownload->Downloading(), 10000);
    QVERIFY(server.request().startsWith("GET /dleitura.zip HTTP/1.0\r\n"));
    QTRY_COMPARE_WITH_TIMEOUT(w.Lista->topLevelItemCount(), 2, 2000);
    QCOMPARE(readFile(m_folder->file(QStringLiteral("dleitura.zip"))), readFile(made.filePath(QStringLiteral("x.zip"))));
    QVERIFY(!QFile::exists(m_folder->file(QStringLiteral("temp.zip"))));
    QCOMPARE(readFile(w.IniPath), QByteArray("[Arquivos]\r\nUltimo Arquivo=dleitura.zip\r\n"));
    QCOMPARE(w.ProgressBar1->value(), 0);
    QCOMPARE(w.ProgressBar1->maximum(), readFile(made.filePath(QStringLiteral("x.zip"))).size());
}

void TestFormDownload::snapshot()
{
    QVERIFY(makeArchive(m_folder->path(), QStringLiteral("quelvado.zip")));
    writeFile(SettingsFile::path(), "[Arquivos]\r\nUltimo Arquivo=quelvado.zip\r\n");
    TFormDownload w;
    activate(&w);
    choose(&w, 1);
    w.AdwareDownloadProgress(nullptr, 1000, 450);
    const QString out = qEnvironmentVariable("QUELVADO_SNAPSHOT");
    if (!out.isEmpty())
        QVERIFY(w.grab().save(out));
    // The description: lime on black.
    const QImage img = w.grab().toImage();
    QCOMPARE(img.pixelColor(w.RxLabelInfo->geometry().topLeft() + QPoint(2, 2)), QColor(Qt::black));
}

QTEST_MAIN(TestFormDownload)
#include "tst_formdownload.moc"
