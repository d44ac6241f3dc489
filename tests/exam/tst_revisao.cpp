// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later

// Reviewing a corrected exam as a candidate does: open the review from the answer sheet's grid or
// its button, step with the keys, keep only the wrong ones, read the marks, the explanation and the
// source, open the cited article in the traffic code reader and print the whole review as PDF.

#include "exam/formprova.h"
#include "exam/formrevisao.h"
#include "exam/questionbank.h"

#include "codereader/articleindex.h"
#include "codereader/formcodigo.h"
#include "common/appwindows.h"
#include "signs/picturestore.h"

#include "examdriver.h"
#include "fakes.h"
#include "windowdriver.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPdfWriter>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTableWidget>
#include <QTextDocument>
#include <QTextEdit>
#include <QtTest>

namespace {
// The text a PDF written by Qt shows, without its blanks: each font's glyphs are drawn one by one
// ("/F7 12 Tf", "<0012> Tj") and mapped back to characters by the font's ToUnicode table. Enough
// for PDF files this program writes; no general reader.
// The text of each page (each content stream, in file order), blanks left out.
QStringList pdfPages(const QByteArray &pdf)
{
    QMap<int, QByteArray> objects; // number -> body, streams inflated; in file order
    static const QRegularExpression object(QStringLiteral("(\\d+) 0 obj\\n(.*?)endobj"),
                                           QRegularExpression::DotMatchesEverythingOption);
    const QString latin = QString::fromLatin1(pdf);
    for (auto it = object.globalMatch(latin); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        QByteArray body = m.captured(2).toLatin1();
        const qsizetype from = body.indexOf("stream\n");
        const qsizetype to = body.lastIndexOf("endstream");
        if (from >= 0 && to > from && body.contains("/FlateDecode")) {
            QByteArray packed = body.mid(from + 7, to - from - 7);
            const quint32 hint = static_cast<quint32>(packed.size()) * 20 + 1024;
            packed.prepend(char(hint & 0xff)).prepend(char((hint >> 8) & 0xff));
            packed.prepend(char((hint >> 16) & 0xff)).prepend(char((hint >> 24) & 0xff));
            body = body.left(from) + qUncompress(packed);
        }
        objects.insert(m.captured(1).toInt(), body);
    }
    auto ref = [](const QByteArray &body, const char *key) {
        const QRegularExpression re(QStringLiteral("/%1 (\\d+) 0 R").arg(QLatin1String(key)));
        return re.match(QString::fromLatin1(body)).captured(1).toInt();
    };
    // Font name -> (glyph -> character).
    QHash<QByteArray, QHash<int, QString>> fonts;
    static const QRegularExpression fontRef(QStringLiteral("/(F\\d+) (\\d+) 0 R"));
    static const QRegularExpression range(QStringLiteral("<([0-9A-F]{4})> <([0-9A-F]{4})> \\[([^\\]]*)\\]"));
    static const QRegularExpression hex(QStringLiteral("<([0-9A-F]+)>"));
    for (const QByteArray &body : std::as_const(objects)) {
        for (auto it = fontRef.globalMatch(QString::fromLatin1(body)); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            const QByteArray cmap = objects.value(ref(objects.value(m.captured(2).toInt()), "ToUnicode"));
            QHash<int, QString> &map = fonts[m.captured(1).toLatin1()];
            for (auto r = range.globalMatch(QString::fromLatin1(cmap)); r.hasNext();) {
                const QRegularExpressionMatch rm = r.next();
                int glyph = rm.captured(1).toInt(nullptr, 16);
                // Each entry is one or more UTF-16 units (a ligature maps to its letters).
                for (auto h = hex.globalMatch(rm.captured(3)); h.hasNext(); ++glyph) {
                    const QString units = h.next().captured(1);
                    QString chars;
                    for (qsizetype i = 0; i + 4 <= units.size(); i += 4)
                        chars += QChar(units.mid(i, 4).toUShort(nullptr, 16));
                    map.insert(glyph, chars);
                }
            }
        }
    }
    QStringList pages;
    static const QRegularExpression op(QStringLiteral("/(F\\d+) [\\d.]+ Tf|<([0-9A-F]+)> Tj"));
    for (const QByteArray &body : std::as_const(objects)) {
        if (!body.contains(" Tj"))
            continue;
        QString &text = pages.emplace_back();
        QByteArray font;
        for (auto it = op.globalMatch(QString::fromLatin1(body)); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            if (m.capturedLength(1)) {
                font = m.captured(1).toLatin1();
                continue;
            }
            const QString glyphs = m.captured(2);
            for (qsizetype i = 0; i + 4 <= glyphs.size(); i += 4) {
                for (const QChar c : fonts.value(font).value(glyphs.mid(i, 4).toInt(nullptr, 16)))
                    if (!c.isSpace() && c.unicode() > 0x20)
                        text += c;
            }
        }
    }
    return pages;
}

// Text without blanks, ligatures ("ﬁ") written as their letters.
QString withoutBlanks(QString s)
{
    return s.remove(QRegularExpression(QStringLiteral("\\s"))).normalized(QString::NormalizationForm_KC);
}

// What the candidate answers at position p: right, wrong or nothing, in turn.
enum class Kind { Right, Wrong, Empty };
Kind kindAt(int p)
{
    return p % 3 == 1 ? Kind::Right : p % 3 == 2 ? Kind::Wrong : Kind::Empty;
}
} // namespace

class TestRevisao : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void noReviewBeforeCorrection();
    void openByDoubleClickAndStepWithKeys();
    void marksAndTexts();
    void onlyTheWrongOnes();
    void openByEnterOnTheGridAndByButton();
    void escClosesAndSizeIsKept();
    void personalisedExamAsCorrected();
    void newExamHasNoReview();
    void seeTheArticleInTheCode();
    void seeTheArticleWithoutTheCodeFile();
    void printsAllThirtyAsPdf();
    void pictureForTheReadme();

private:
    // Takes the exam of radio item `item` answering by kindAt(), ends and corrects it.
    void takeAndCorrect(int item);
    TFormRevisao *openAt(int position);
    std::unique_ptr<FakeDialogs> m_dialogs;
    std::unique_ptr<FakeClock> m_clock;
    std::unique_ptr<TempProgramFolder> m_folder;
    std::unique_ptr<TFormProva> w;
    std::unique_ptr<TFormCodigo> m_reader;
};

void TestRevisao::init()
{
    m_dialogs = std::make_unique<FakeDialogs>();
    m_clock = std::make_unique<FakeClock>(QDateTime(QDate(2026, 12, 7), QTime(9, 0, 0)));
    m_folder = std::make_unique<TempProgramFolder>();
    QVERIFY(
        QFile::copy(QStringLiteral(QUELVADO_BIN_DIR "/cnt.rtf"), m_folder->file(QStringLiteral("cnt.rtf"))));
    m_reader = std::make_unique<TFormCodigo>();
    AppWindows::set(AppWindow::Codigo, m_reader.get());
    w = std::make_unique<TFormProva>();
    QVERIFY(showActive(w.get()));
}

void TestRevisao::cleanup()
{
    w.reset();
    AppWindows::set(AppWindow::Codigo, nullptr);
    m_reader.reset();
    m_folder.reset();
    m_clock.reset();
    m_dialogs.reset();
}

void TestRevisao::takeAndCorrect(int item)
{
    start(*w, item);
    for (int p = 1; p <= 30; ++p) {
        const int n = w->exam().NumeroQuestao;
        answerAndNext(*w, kindAt(p) == Kind::Right   ? rightLetter(n)
                          : kindAt(p) == Kind::Wrong ? wrongLetter(n)
                                                     : QString());
    }
    QTest::mouseClick(w->BBFinalizar, Qt::LeftButton);
    QVERIFY(!w->BBRevisar->isEnabled());
    QTest::mouseClick(w->BBCorrigir, Qt::LeftButton);
    QCOMPARE(w->Label4->text(), QStringLiteral("10"));
    QVERIFY(w->BBRevisar->isEnabled());
}

TFormRevisao *TestRevisao::openAt(int position)
{
    QTableWidget *grid = w->StringGridGabarito;
    grid->scrollToItem(grid->item(0, position - 1));
    const QPoint at = grid->visualItemRect(grid->item(2, position - 1)).center();
    // A double click as the system delivers it: press, release, double click, release.
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(grid->viewport(), Qt::LeftButton, {}, at);
    TFormRevisao *r = w->Revisao;
    if (r) {
        QApplication::setActiveWindow(r);
        if (!QTest::qWaitForWindowActive(r))
            return nullptr;
    }
    return r;
}

void TestRevisao::noReviewBeforeCorrection()
{
    start(*w, kLegislacao);
    m_dialogs->setDefaultAnswer(true);
    QTest::mouseClick(w->BBFinalizar, Qt::LeftButton);
    QVERIFY(!w->BBRevisar->isEnabled());
    QVERIFY(!openAt(3));
    w->StringGridGabarito->setFocus();
    QTest::keyClick(w->StringGridGabarito, Qt::Key_Return);
    QVERIFY(!w->Revisao);
    QVERIFY(w->provaCorrigida().isEmpty());
    // The button sits beside the sheet without covering any control of the page.
    const QRect button = w->BBRevisar->geometry();
    for (QWidget *other : w->Notebook1->widget(2)->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        if (other != w->BBRevisar && other->isVisible())
            QVERIFY2(!other->geometry().intersects(button), qPrintable(other->objectName()));
    QVERIFY(w->Notebook1->widget(2)->rect().contains(button));
}

void TestRevisao::openByDoubleClickAndStepWithKeys()
{
    takeAndCorrect(kLegislacao);
    TFormRevisao *r = openAt(5);
    QVERIFY(r);
    QVERIFY(r->isVisible());
    QVERIFY(r->isWindow());
    QCOMPARE(r->posicao(), 5);
    QCOMPARE(r->LabelPosicao->text(), QStringLiteral("Questão 5 de 30  ·  nº 5 do banco"));
    QCOMPARE(w->StringGridGabarito->currentColumn(), 4);

    const auto key = [&](Qt::Key k) {
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : r, k);
    };
    key(Qt::Key_Right);
    QCOMPARE(r->posicao(), 6);
    QCOMPARE(w->StringGridGabarito->currentColumn(), 5);
    QVERIFY(w->StringGridGabarito->selectionModel()->isColumnSelected(5, {}));
    key(Qt::Key_PageDown);
    QCOMPARE(r->posicao(), 7);
    key(Qt::Key_Left);
    key(Qt::Key_PageUp);
    QCOMPARE(r->posicao(), 5);
    key(Qt::Key_End);
    QCOMPARE(r->posicao(), 30);
    QCOMPARE(r->LabelPosicao->text(), QStringLiteral("Questão 30 de 30  ·  nº 30 do banco"));
    QVERIFY(!r->BBProximo->isEnabled());
    key(Qt::Key_Right);
    QCOMPARE(r->posicao(), 30);
    // The grid scrolled along to the last column.
    QTableWidget *grid = w->StringGridGabarito;
    QVERIFY(grid->viewport()->rect().contains(grid->visualItemRect(grid->item(0, 29))));
    key(Qt::Key_Home);
    QCOMPARE(r->posicao(), 1);
    QVERIFY(!r->BBAnterior->isEnabled());
    QTest::mouseClick(r->BBProximo, Qt::LeftButton);
    QCOMPARE(r->posicao(), 2);
    QTest::mouseClick(r->BBAnterior, Qt::LeftButton);
    QCOMPARE(r->posicao(), 1);
    // The keys work while the focus is on the check box too.
    r->CheckBoxErradas->setFocus();
    QTest::keyClick(r->CheckBoxErradas, Qt::Key_Right);
    QCOMPARE(r->posicao(), 2);
}

void TestRevisao::marksAndTexts()
{
    takeAndCorrect(kLegislacao);
    TFormRevisao *r = openAt(1);
    QVERIFY(r);
    const QuestionBank &bank = QuestionBank::instance();
    for (int p = 1; p <= 30; ++p) {
        r->MostraPosicao(p);
        const int n = p; // type 7 asks questions 1 to 30 in order
        const QString right = rightLetter(n);
        const int rightIndex = right.at(0).unicode() - u'A';
        QCOMPARE(r->LabelPergunta->text(), bank.string(QuestionKind::Text, n).trimmed());
        QCOMPARE(r->LabelExplicacao->text(), QStringLiteral("Explicação: ") + bank.explanation(n));
        QCOMPARE(r->LabelFonte->text(), QStringLiteral("Fonte: ") + bank.source(n));
        QVERIFY(!bank.explanation(n).isEmpty());
        QCOMPARE(r->ImageQuestao->isVisibleTo(r), !bank.pictureCode(n).isEmpty());
        const QLabel *rightLabel = r->LabelAlternativas[rightIndex];
        QVERIFY(rightLabel->text().contains(bank.string(QuestionKind::AlternativeA + rightIndex, n)));
        QVERIFY(rightLabel->text().startsWith(QStringLiteral("✔ ") + right + QStringLiteral(")")));
        const QColor green = rightLabel->palette().color(QPalette::Window);
        switch (kindAt(p)) {
        case Kind::Right:
            QVERIFY(rightLabel->text().endsWith(QStringLiteral("— sua resposta, certa")));
            QCOMPARE(r->LabelSituacao->text(), QStringLiteral("✔ Certa: sua resposta foi ") + right);
            break;
        case Kind::Wrong: {
            const QString wrong = wrongLetter(n);
            const QLabel *given = r->LabelAlternativas[wrong.at(0).unicode() - u'A'];
            QVERIFY(rightLabel->text().endsWith(QStringLiteral("— resposta certa")));
            QVERIFY(given->text().startsWith(QStringLiteral("✘ ") + wrong + QStringLiteral(")")));
            QVERIFY(given->text().endsWith(QStringLiteral("— sua resposta, errada")));
            const QColor red = given->palette().color(QPalette::Window);
            QVERIFY(red != green && red != QColor(Qt::white) && green != QColor(Qt::white));
            QVERIFY(red.red() > red.green() && green.green() > green.red());
            QCOMPARE(r->LabelSituacao->text(),
                     QStringLiteral("✘ Errada: sua resposta foi %1, a certa é %2").arg(wrong, right));
            break;
        }
        case Kind::Empty:
            QVERIFY(rightLabel->text().endsWith(QStringLiteral("— resposta certa")));
            QCOMPARE(r->LabelSituacao->text(), QStringLiteral("✘ Sem resposta: a certa é ") + right);
            break;
        }
        // The other alternatives carry no mark.
        int unmarked = 0;
        for (const QLabel *l : r->LabelAlternativas)
            unmarked += l->text().startsWith(QStringLiteral("    ")) ? 1 : 0;
        QCOMPARE(unmarked, kindAt(p) == Kind::Wrong ? 3 : 4);
    }
    // A picture question shows its picture rendered for the window's pixel ratio.
    int withPicture = 0;
    for (int p = 1; p <= 30 && !withPicture; ++p)
        if (!bank.pictureCode(p).isEmpty())
            withPicture = p;
    if (withPicture) {
        r->MostraPosicao(withPicture);
        const QPixmap shown = r->ImageQuestao->pixmap();
        QCOMPARE(shown.devicePixelRatio(), r->devicePixelRatioF());
        QCOMPARE(shown.toImage(),
                 CarregarFigura(bank.pictureCode(withPicture), r->devicePixelRatioF()).toImage());
        QCOMPARE(CarregarFigura(bank.pictureCode(withPicture), 2.0).size(),
                 shown.size() / shown.devicePixelRatio() * 2);
    }
}

void TestRevisao::onlyTheWrongOnes()
{
    takeAndCorrect(kLegislacao);
    TFormRevisao *r = openAt(1);
    QVERIFY(r);
    QCOMPARE(r->posicao(), 1);
    QTest::mouseClick(r->CheckBoxErradas, Qt::LeftButton);
    QVERIFY(r->CheckBoxErradas->isChecked());
    // Position 1 was right: the review moves on to the first wrong one.
    QCOMPARE(r->posicao(), 2);
    QList<int> visited{r->posicao()};
    for (int i = 0; i < 40; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
        if (r->posicao() != visited.last())
            visited << r->posicao();
    }
    QList<int> expected;
    for (int p = 1; p <= 30; ++p)
        if (kindAt(p) != Kind::Right)
            expected << p;
    QCOMPARE(visited, expected);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Home);
    QCOMPARE(r->posicao(), 2);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_End);
    QCOMPARE(r->posicao(), 30);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Left);
    QCOMPARE(r->posicao(), 29);
    QVERIFY(!r->LabelSituacao->text().contains(QStringLiteral("Certa")));
    // Unchecked, every position is stepped through again.
    QTest::mouseClick(r->CheckBoxErradas, Qt::LeftButton);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
    QCOMPARE(r->posicao(), 30);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Left);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Left);
    QCOMPARE(r->posicao(), 28);
}

void TestRevisao::openByEnterOnTheGridAndByButton()
{
    takeAndCorrect(kLegislacao);
    QTableWidget *grid = w->StringGridGabarito;
    // Tab reaches the grid; Right moves to a column and Enter opens its position.
    for (int i = 0; i < 8 && QApplication::focusWidget() != grid; ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), grid);
    grid->setCurrentCell(0, 0);
    for (int i = 0; i < 9; ++i)
        QTest::keyClick(grid, Qt::Key_Right);
    QCOMPARE(grid->currentColumn(), 9);
    QTest::keyClick(grid, Qt::Key_Return);
    QVERIFY(w->Revisao && w->Revisao->isVisible());
    QCOMPARE(w->Revisao->posicao(), 10);
    w->Revisao->close();
    QVERIFY(!w->Revisao->isVisible());
    // The button opens the grid's current column.
    grid->setCurrentCell(0, 13);
    QTest::mouseClick(w->BBRevisar, Qt::LeftButton);
    QVERIFY(w->Revisao->isVisible());
    QCOMPARE(w->Revisao->posicao(), 14);
}

void TestRevisao::escClosesAndSizeIsKept()
{
    takeAndCorrect(kLegislacao);
    TFormRevisao *r = openAt(3);
    QVERIFY(r);
    QVERIFY(r->width() >= 600 && r->height() >= 500);
    QVERIFY(r->minimumSize() != r->maximumSize()); // resizable
    r->resize(720, 540);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QVERIFY(!r->isVisible());
    QVERIFY(w->isVisible()); // the exam window stays
    r = openAt(4);
    QCOMPARE(r->size(), QSize(720, 540));
    QCOMPARE(r->posicao(), 4);
    // A review window made anew in this run opens at the size last used.
    TFormRevisao other;
    QCOMPARE(other.size(), QSize(720, 540));
}

void TestRevisao::personalisedExamAsCorrected()
{
    writePool(m_folder->file(QStringLiteral("numprova.dat")), poolFrom(301));
    takeAndCorrect(kPersonalizada);
    const QStringList asked = w->exam().ListBox1.mid(0, 30);
    QCOMPARE(w->provaCorrigida().size(), 30);
    // The pool changes afterwards (the list is drawn anew, the file rewritten): the review still
    // shows the exam that was corrected.
    w->exam().ListBox1 = QStringList(30, QStringLiteral("1"));
    QVERIFY(QFile::remove(m_folder->file(QStringLiteral("numprova.dat"))));
    TFormRevisao *r = openAt(1);
    QVERIFY(r);
    for (int p = 1; p <= 30; ++p) {
        r->MostraPosicao(p);
        const int n = asked[p - 1].toInt();
        QVERIFY(n >= 301 && n <= 330);
        QCOMPARE(r->LabelPosicao->text(),
                 QStringLiteral("Questão %1 de 30  ·  nº %2 do banco").arg(p).arg(n));
        QCOMPARE(r->LabelPergunta->text(), QuestionBank::instance().string(QuestionKind::Text, n).trimmed());
        QCOMPARE(r->LabelSituacao->text().contains(QStringLiteral("Certa")), kindAt(p) == Kind::Right);
    }
}

void TestRevisao::newExamHasNoReview()
{
    takeAndCorrect(kLegislacao);
    TFormRevisao *r = openAt(2);
    QVERIFY(r && r->isVisible());
    w->activateWindow();
    QApplication::setActiveWindow(w.get());
    w->showSelectionPage();
    start(*w, kLegislacao);
    QVERIFY(!r->isVisible());
    QVERIFY(w->provaCorrigida().isEmpty());
    QVERIFY(r->prova().isEmpty());
    QVERIFY(!w->BBRevisar->isEnabled());
}

void TestRevisao::seeTheArticleInTheCode()
{
    takeAndCorrect(kLegislacao);
    TFormRevisao *r = openAt(1);
    QVERIFY(r);
    const QuestionBank &bank = QuestionBank::instance();
    int checked = 0;
    bool loadedOnce = false;
    for (int p = 1; p <= 30; ++p) {
        r->MostraPosicao(p);
        const QList<ArticleRef> cited = ArticleIndex::citedArticles(bank.source(p));
        QCOMPARE(r->BBVerCodigo->isEnabled(), !cited.isEmpty());
        if (cited.isEmpty())
            continue;
        QApplication::setActiveWindow(r);
        QTest::mouseClick(r->BBVerCodigo, Qt::LeftButton);
        QVERIFY(m_reader->isVisible());
        // The text was loaded on the first use, as " Abrir arquivo" does.
        QVERIFY(!m_reader->BBAbrirCodigo->isEnabled());
        QCOMPARE(m_reader->ComboBox1->count(), 21);
        loadedOnce = true;
        const ArticleRef ref = cited.first();
        const QString selected = m_reader->RichEdit->textCursor().selectedText();
        QString expected = ref.heading();
        if (!ref.letter.isEmpty())
            expected = ref.letter + QLatin1Char(')');
        else if (!ref.item.isEmpty())
            expected = ref.item;
        else if (ref.paragraph == QStringLiteral("único"))
            expected = QStringLiteral("Parágrafo único");
        else if (!ref.paragraph.isEmpty())
            expected = QStringLiteral("§ ") + ref.paragraph +
                       (ref.paragraph.toInt() < 10 ? QStringLiteral("º") : QString());
        QCOMPARE(selected, expected);
        // Read whole, in its chapter.
        QVERIFY(m_reader->CheckBox1->isChecked());
        QCOMPARE(m_reader->RichEdit->lineWrapMode(), QTextEdit::WidgetWidth);
        QVERIFY(m_reader->ComboBox1->currentIndex() >= 0);
        const qsizetype chapter =
            CodeSearch::findChapter(m_reader->text(), m_reader->ComboBox1->currentIndex())->start;
        QVERIFY(chapter <= m_reader->selStart());
        const qsizetype start = m_reader->selStart();
        const QString line = m_reader->text().plainText().mid(start, 200);
        QVERIFY2(line.startsWith(expected), qPrintable(line));
        // The selection is in view.
        QTextEdit *view = m_reader->RichEdit;
        QVERIFY(view->viewport()->rect().contains(view->cursorRect().center()));
        // The article's own heading in view above it when both fit, else the passage near the top.
        QTextCursor heading(view->document());
        heading.setPosition(static_cast<int>(
            m_reader->text().toViewPosition(ArticleIndex(m_reader->text()).findArticle(ref.article)->start)));
        const int below = view->cursorRect().bottom() - view->cursorRect(heading).top();
        if (below < view->viewport()->height() - 2 * view->fontMetrics().height())
            QVERIFY(view->viewport()->rect().contains(view->cursorRect(heading).center()));
        else
            QVERIFY(view->cursorRect().top() <= 3 * view->fontMetrics().height());
        ++checked;
    }
    QVERIFY(loadedOnce);
    QVERIFY2(checked >= 10, qPrintable(QString::number(checked)));
    QVERIFY(m_dialogs->boxes.isEmpty());
}

void TestRevisao::seeTheArticleWithoutTheCodeFile()
{
    QVERIFY(QFile::remove(m_folder->file(QStringLiteral("cnt.rtf"))));
    takeAndCorrect(kLegislacao);
    TFormRevisao *r = openAt(1);
    QVERIFY(r);
    int p = 1;
    while (p <= 30 && ArticleIndex::citedArticles(QuestionBank::instance().source(p)).isEmpty())
        ++p;
    QVERIFY(p <= 30);
    r->MostraPosicao(p);
    QTest::mouseClick(r->BBVerCodigo, Qt::LeftButton);
    // The reader says what " Abrir arquivo" says and stays ready to load the file later.
    QCOMPARE(m_dialogs->texts(),
             QStringList{
                 QStringLiteral("Arquivo não encontrado!\rVerifique se o arquivo \"CNT.CTB\" está no mesmo\r"
                                "diretório onde está sendo executado este programa.")});
    QVERIFY(m_reader->BBAbrirCodigo->isEnabled());
    QVERIFY(!m_reader->RichEdit->textCursor().hasSelection());
}

void TestRevisao::printsAllThirtyAsPdf()
{
    takeAndCorrect(kLegislacao);
    TFormRevisao *r = openAt(1);
    QVERIFY(r);
    const QString pdf = m_folder->file(QStringLiteral("revisao.pdf"));
    int asked = 0;
    TFormRevisao::setEscolheImpressora([&](QWidget *, const std::function<void(QPagedPaintDevice &)> &draw) {
        ++asked;
        QPdfWriter writer(pdf);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setResolution(1200);
        draw(writer);
        return true;
    });
    QTest::mouseClick(r->BBImprimir, Qt::LeftButton);
    TFormRevisao::setEscolheImpressora(
        [](QWidget *, const std::function<void(QPagedPaintDevice &)> &) { return false; });
    QCOMPARE(asked, 1);
    QFile file(pdf);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.startsWith("%PDF"));
    QVERIFY2(bytes.size() > 40000, qPrintable(QString::number(bytes.size())));
    const int pages = static_cast<int>(bytes.count("/Type /Page\n"));
    QVERIFY2(pages >= 6, qPrintable(QString::number(pages)));
    QStringList pageTexts = pdfPages(bytes);
    for (QString &t : pageTexts)
        t = withoutBlanks(t);
    QCOMPARE(pageTexts.size(), pages);
    // Every page is headed with the exam and its number.
    const QString exam =
        withoutBlanks(QStringLiteral("Quelvado · Revisão da prova · Prova 7 - Legislação, 07/12/2026 09:00"));
    for (int i = 0; i < pages; ++i)
        QVERIFY2(pageTexts[i].startsWith(
                     exam + withoutBlanks(QStringLiteral("página %1 de %2").arg(i + 1).arg(pages))),
                 qPrintable(pageTexts[i].left(120)));
    // The pages show every position with its question, marks, explanation and source, each whole
    // on one page.
    const QString shown = pageTexts.join(QString());
    const QuestionBank &bank = QuestionBank::instance();
    QVERIFY2(pageTexts[0].contains(
                 withoutBlanks(QStringLiteral("Revisão da prova Prova 7 - Legislação, 07/12/2026 09:00 "
                                              "10 acertos em 30 questões."))),
             qPrintable(pageTexts[0].left(200)));
    for (int p = 1; p <= 30; ++p) {
        const QString heading = withoutBlanks(QStringLiteral("Questão %1 de 30 · nº %1 do banco").arg(p));
        const auto on = std::find_if(pageTexts.cbegin(), pageTexts.cend(),
                                     [&](const QString &t) { return t.contains(heading); });
        QVERIFY(on != pageTexts.cend());
        QVERIFY2(on->contains(withoutBlanks(bank.string(QuestionKind::Text, p))),
                 qPrintable(QString::number(p)));
        QVERIFY(on->contains(withoutBlanks(bank.explanation(p))));
        QVERIFY2(on->contains(withoutBlanks(bank.source(p))), qPrintable(QString::number(p)));
    }
    QCOMPARE(shown.count(QStringLiteral("✔")), 30 + 10);
    QCOMPARE(shown.count(QStringLiteral("✘")), 20 + 10);
    QCOMPARE(shown.count(withoutBlanks(QStringLiteral("— sua resposta, errada"))), 10);

    // What is printed: every position with its question, its marks, explanation and source.
    QTextDocument document;
    r->MontaImpressao(document);
    // Spaces as a printed page shows them: runs of blanks become one.
    const QString text = document.toPlainText().simplified();
    for (int p = 1; p <= 30; ++p) {
        QVERIFY(text.contains(QStringLiteral("Questão %1 de 30 · nº %1 do banco").arg(p)));
        QVERIFY(text.contains(bank.string(QuestionKind::Text, p).simplified()));
        QVERIFY(text.contains(bank.explanation(p).simplified()));
        QVERIFY(text.contains(bank.source(p).simplified()));
    }
    QCOMPARE(text.count(QStringLiteral("— resposta certa")) +
                 text.count(QStringLiteral("— sua resposta, certa")),
             30);
    QCOMPARE(text.count(QStringLiteral("— sua resposta, errada")), 10);
    QCOMPARE(text.count(QStringLiteral("Sem resposta")), 10);
    // Cancelling the dialog prints nothing.
    QVERIFY(QFile::remove(pdf));
    QTest::mouseClick(r->BBImprimir, Qt::LeftButton);
    QVERIFY(!QFile::exists(pdf));

    // "Só as erradas": the twenty wrong and unanswered positions only.
    QTest::mouseClick(r->CheckBoxErradas, Qt::LeftButton);
    QVERIFY(r->CheckBoxErradas->isChecked());
    r->MontaImpressao(document);
    const QString wrongOnly = document.toPlainText().simplified();
    QVERIFY(wrongOnly.contains(QStringLiteral("Só as erradas ou sem resposta: 20 questões.")));
    for (int p = 1; p <= 30; ++p)
        QCOMPARE(wrongOnly.contains(QStringLiteral("Questão %1 de 30 ·").arg(p)), kindAt(p) != Kind::Right);
}

// QUELVADO_REVIEW_PICTURE=docs/review-window.png makes the README's picture of the window.
void TestRevisao::pictureForTheReadme()
{
    const QString path = qEnvironmentVariable("QUELVADO_REVIEW_PICTURE");
    if (path.isEmpty())
        QSKIP("QUELVADO_REVIEW_PICTURE not set");
    QList<QuestaoCorrigida> prova;
    for (int p = 1; p <= 30; ++p)
        prova << QuestaoCorrigida{p, rightLetter(p), rightLetter(p), QStringLiteral("*")};
    prova[11] = QuestaoCorrigida{203, QStringLiteral("A"), rightLetter(203), QStringLiteral("X")};
    TFormRevisao r;
    r.setProva(prova);
    r.resize(660, 620);
    r.MostraPosicao(12);
    r.show();
    QVERIFY(QTest::qWaitForWindowExposed(&r));
    QVERIFY(r.grab().save(path));
}

QTEST_MAIN(TestRevisao)
#include "tst_revisao.moc"
