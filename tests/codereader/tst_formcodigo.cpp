// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later

// The traffic code reader as a person uses it: " Abrir arquivo" (missing file, then present),
// choosing a chapter in the list, searching with the find dialog, "Quebra de linha", Esc and F1.
// Positions are checked the way the reader counts them: every line break is CR LF.

#include "codereader/articleindex.h"
#include "codereader/finddialog.h"
#include "codereader/formcodigo.h"

#include "common/cp1252.h"

#include "fakes.h"
#include "files.h"
#include "windowfakes.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextBlock>
#include <QTextEdit>
#include <QToolButton>
#include <QtTest>

#include <QAbstractItemView>
#include <QClipboard>
#include <QScrollBar>
#include <QStyle>

#include <sys/stat.h>

namespace {
QString u(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

// A small cnt.rtf in the generator's form: headings and article labels bold.
QByteArray rtfOf(const QStringList &lines)
{
    QByteArray out = "{\\rtf1\\ansi\\ansicpg1252\\deff0 {\\fonttbl{\\f0\\fswiss "
                     "Arial;}}\r\n\\viewkind4\\uc1\\f0\\fs20\r\n";
    for (const QString &line : lines) {
        QByteArray escaped;
        for (char ch : cp1252::fromUtf8(line.toStdString())) {
            const auto b = static_cast<unsigned char>(ch);
            if (ch == '\\' || ch == '{' || ch == '}')
                escaped += QByteArray("\\") + ch;
            else if (b >= 0x80)
                escaped += "\\'" + QByteArray::number(b, 16);
            else
                escaped += ch;
        }
        const bool heading = line.startsWith(u("CAPÍTULO")) || line.startsWith(u("ANEXO"));
        out += heading ? "\\pard\\sb240\\b " + escaped + "\\b0\\par\r\n" : "\\pard " + escaped + "\\par\r\n";
    }
    return out + "}\r\n";
}

// Types text into w key by key; letters beyond ASCII come as keys with their text, as from a
// Brazilian keyboard's dead keys.
void typeText(QWidget *w, const QString &text)
{
    for (const QChar ch : text) {
        if (ch.unicode() < 0x80) {
            QTest::keyClick(w, char(ch.unicode()));
        } else {
            QTest::sendKeyEvent(QTest::Press, w, Qt::Key_unknown, QString(ch), Qt::NoModifier);
            QTest::sendKeyEvent(QTest::Release, w, Qt::Key_unknown, QString(ch), Qt::NoModifier);
        }
    }
}

// The text of the fixture. Offsets of the line starts (CR LF counted as two):
// 0 "Nota: texto de estudo.", 24 "CAPÍTULO I", 36 "DISPOSIÇÕES PRELIMINARES",
// 62 "Art. 1º O trânsito de qualquer natureza e a infração.", 117 "infração leve e infração grave",
// 149 "CAPÍTULO IX", 162 "DOS VEÍCULOS", 176 "sinal no início e no fim sinal", 208 "CAPÍTULO XV",
// 221 "DAS INFRAÇÕES", 236 "ANEXO I"
const QStringList kLines = {u("Nota: texto de estudo."),
                            u("CAPÍTULO I"),
                            u("DISPOSIÇÕES PRELIMINARES"),
                            u("Art. 1º O trânsito de qualquer natureza e a infração."),
                            u("infração leve e infração grave"),
                            u("CAPÍTULO IX"),
                            u("DOS VEÍCULOS"),
                            u("sinal no início e no fim sinal"),
                            u("CAPÍTULO XV"),
                            u("DAS INFRAÇÕES"),
                            u("ANEXO I")};
} // namespace

class TestFormCodigo : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void startsEmpty();
    void missingFileThenLoads();
    void contentThatIsNotRichTextIsPlain();
    void chapterJumpsToHeading();
    void chapterListOfTheRealCode();
    void chapterNotInTheText();
    void findDialogStartsCleared();
    void findMatchCase();
    void findIgnoringCaseRaisesOnlyAscii();
    void findWholeWord();
    void secondOccurrenceOnALineIsSkipped();
    void matchAtLineStartIsFoundAgain();
    void findWithWordWrap();
    void emptyFindText();
    void findBeforeLoading();
    void escAndHelp();
    void chapterListShowsElevenRows();
    void refusedFiles_data();
    void refusedFiles();
    void largestFileLoads();
    void readsTheArticleShown();
    void longLineShownInPieces();

private:
    void load(const QStringList &lines = kLines);
    void chooseChapter(int index);
    void openFind(const QString &text, bool matchCase = false, bool wholeWord = false);
    void findNext();
    QString selected() const { return m_form->RichEdit->textCursor().selectedText(); }
    // The selection start as the reader counts it, worked out from the view's own blocks.
    qsizetype selectionOffset() const;
    void snapshot(const QString &name);

    std::unique_ptr<TempProgramFolder> m_folder;
    std::unique_ptr<FakeDialogs> m_dialogs;
    std::unique_ptr<TFormCodigo> m_form;
};

void TestFormCodigo::init()
{
    m_folder = std::make_unique<TempProgramFolder>();
    m_dialogs = std::make_unique<FakeDialogs>();
    m_form = std::make_unique<TFormCodigo>();
    m_form->show();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
}

void TestFormCodigo::cleanup()
{
    m_form.reset();
    m_dialogs.reset();
    m_folder.reset();
}

void TestFormCodigo::load(const QStringList &lines)
{
    QVERIFY(writeFile(m_folder->file(QStringLiteral("cnt.rtf")), rtfOf(lines)));
    QTest::mouseClick(m_form->BBAbrirCodigo, Qt::LeftButton);
    QVERIFY(m_dialogs->boxes.isEmpty());
    QCOMPARE(m_form->ComboBox1->count(), 21);
}

void TestFormCodigo::chooseChapter(int index)
{
    QComboBox *combo = m_form->ComboBox1;
    QTest::mouseClick(combo, Qt::LeftButton);
    QAbstractItemView *list = combo->view();
    QTRY_VERIFY(list->isVisible());
    // Home, Down to the entry, Enter: the list closes and the entry is chosen.
    QTest::keyClick(list, Qt::Key_Home);
    for (int k = 0; k < index; ++k)
        QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(list->currentIndex().row(), index);
    QTest::keyClick(list, Qt::Key_Return);
    QTRY_VERIFY(!list->isVisible());
    QCOMPARE(combo->currentIndex(), index);
}

void TestFormCodigo::openFind(const QString &text, bool matchCase, bool wholeWord)
{
    QTest::mouseClick(m_form->BBPesquisar, Qt::LeftButton);
    TFindDialog *dialog = m_form->FindDialog;
    QVERIFY(dialog->isVisible());
    QVERIFY(!dialog->isModal());
    dialog->EditLocalizar->selectAll();
    QTest::keyClick(dialog->EditLocalizar, Qt::Key_Delete);
    typeText(dialog->EditLocalizar, text);
    QCOMPARE(dialog->EditLocalizar->text(), text);
    if (dialog->CheckMaiusculas->isChecked() != matchCase)
        QTest::mouseClick(dialog->CheckMaiusculas, Qt::LeftButton, {},
                          QPoint(6, dialog->CheckMaiusculas->height() / 2));
    if (dialog->CheckPalavraInteira->isChecked() != wholeWord)
        QTest::mouseClick(dialog->CheckPalavraInteira, Qt::LeftButton, {},
                          QPoint(6, dialog->CheckPalavraInteira->height() / 2));
    QCOMPARE(dialog->matchCase(), matchCase);
    QCOMPARE(dialog->wholeWord(), wholeWord);
}

void TestFormCodigo::findNext()
{
    QTest::mouseClick(m_form->FindDialog->BBLocalizar, Qt::LeftButton);
}

qsizetype TestFormCodigo::selectionOffset() const
{
    const QTextCursor c = m_form->RichEdit->textCursor();
    const QTextBlock block = m_form->RichEdit->document()->findBlock(c.selectionStart());
    return c.selectionStart() + block.blockNumber(); // one more character for each break before
}

void TestFormCodigo::snapshot(const QString &name)
{
    const QString dir = qEnvironmentVariable("QUELVADO_READER_SNAPSHOTS");
    if (dir.isEmpty())
        return;
    m_form->grab().save(dir + QLatin1Char('/') + name + QStringLiteral(".png"));
    if (m_form->FindDialog->isVisible())
        m_form->FindDialog->grab().save(dir + QLatin1Char('/') + name + QStringLiteral("-dialog.png"));
}

void TestFormCodigo::startsEmpty()
{
    QCOMPARE(m_form->windowTitle(), QStringLiteral("Quelvado Prova Simulada  -  www.vitrinedolmar.com.br"));
    QCOMPARE(m_form->size(), QSize(692, 410));
    QCOMPARE(m_form->ComboBox1->count(), 0);
    QVERIFY(m_form->BBAbrirCodigo->isEnabled());
    QVERIFY(m_form->RichEdit->isReadOnly());
    QVERIFY(m_form->RichEdit->document()->isEmpty());
    QVERIFY(!m_form->CheckBox1->isChecked());
    QCOMPARE(m_form->RichEdit->lineWrapMode(), QTextEdit::NoWrap);
    QCOMPARE(m_form->RichEdit->focusPolicy() & Qt::TabFocus, 0);
    QCOMPARE(m_form->ComboBox1->maxVisibleItems(), 11);
    snapshot(QStringLiteral("reader-empty"));
}

void TestFormCodigo::missingFileThenLoads()
{
    QTest::mouseClick(m_form->BBAbrirCodigo, Qt::LeftButton);
    QCOMPARE(m_dialogs->boxes.size(), 1);
    QCOMPARE(m_dialogs->boxes[0].icon, Dialogs::Icon::None);
    QCOMPARE(m_dialogs->boxes[0].text,
             u("Arquivo não encontrado!\rVerifique se o arquivo \"CNT.CTB\" está no mesmo\r"
               "diretório onde está sendo executado este programa."));
    QCOMPARE(m_form->ComboBox1->count(), 0);
    QVERIFY(m_form->BBAbrirCodigo->isEnabled());
    QVERIFY(m_form->RichEdit->document()->isEmpty());

    // The user puts the file in place and tries again.
    m_dialogs->clear();
    load();
    QCOMPARE(m_form->ComboBox1->currentIndex(), -1);
    QCOMPARE(m_form->ComboBox1->currentText(), QString());
    QCOMPARE(m_form->ComboBox1->itemText(0), u("Capítulo I  -  DISPOSIÇÕES PRELIMINARES"));
    QCOMPARE(m_form->ComboBox1->itemText(8), u("Capítulo IX -  DOS VEÍCULOS"));
    QCOMPARE(m_form->ComboBox1->itemText(20), u("Anexo I  -  DOS CONCEITOS E DEFINIÇÕES"));
    QVERIFY(!m_form->BBAbrirCodigo->isEnabled());
    QCOMPARE(m_form->RichEdit->toPlainText(), kLines.join(u'\n'));
    // Headings are bold, the other lines are not.
    const QTextBlock heading = m_form->RichEdit->document()->findBlockByNumber(1);
    QCOMPARE(heading.begin().fragment().charFormat().fontWeight(), int(QFont::Bold));
    const QTextBlock article = m_form->RichEdit->document()->findBlockByNumber(3);
    QCOMPARE(article.begin().fragment().charFormat().fontWeight(), int(QFont::Normal));

    // Deleting the file now changes nothing: the text stays loaded and the button disabled.
    QVERIFY(QFile::remove(m_folder->file(QStringLiteral("cnt.rtf"))));
    m_form->hide();
    m_form->show();
    QCOMPARE(m_form->RichEdit->toPlainText(), kLines.join(u'\n'));
    QVERIFY(m_dialogs->boxes.isEmpty());
}

void TestFormCodigo::contentThatIsNotRichTextIsPlain()
{
    QVERIFY(writeFile(m_folder->file(QStringLiteral("cnt.rtf")),
                      "Texto simples\r\nCAP\xcdTULO I\r\n{\\b n}\r\n"));
    QTest::mouseClick(m_form->BBAbrirCodigo, Qt::LeftButton);
    QVERIFY(m_dialogs->boxes.isEmpty());
    QCOMPARE(m_form->RichEdit->toPlainText(), u("Texto simples\nCAPÍTULO I\n{\\b n}"));
    chooseChapter(0);
    QCOMPARE(selected(), u("CAPÍTULO I"));
    QCOMPARE(m_form->selStart(), 15);
}

void TestFormCodigo::chapterJumpsToHeading()
{
    load();
    m_form->BBPesquisar->setFocus();
    chooseChapter(8);
    QCOMPARE(selected(), u("CAPÍTULO IX")); // eleven characters, not a longer heading
    QCOMPARE(selectionOffset(), 149);
    QCOMPARE(m_form->selStart(), 149);
    QCOMPARE(m_form->selLength(), 11);
    QCOMPARE(QApplication::focusWidget(), m_form->RichEdit);

    chooseChapter(0);
    QCOMPARE(selected(), u("CAPÍTULO I"));
    QCOMPARE(selectionOffset(), 24);
    chooseChapter(20);
    QCOMPARE(selected(), u("ANEXO I"));
    QCOMPARE(selectionOffset(), 236);
    // The selection stays highlighted when the view loses the focus.
    const QPalette pal = m_form->RichEdit->palette();
    QCOMPARE(pal.color(QPalette::Inactive, QPalette::Highlight),
             pal.color(QPalette::Active, QPalette::Highlight));
    chooseChapter(14);
    QCOMPARE(selected(), u("CAPÍTULO XV"));
    snapshot(QStringLiteral("reader-chapter"));
}

void TestFormCodigo::chapterListOfTheRealCode()
{
    QVERIFY(
        QFile::copy(QStringLiteral(QUELVADO_BIN_DIR "/cnt.rtf"), m_folder->file(QStringLiteral("cnt.rtf"))));
    QTest::mouseClick(m_form->BBAbrirCodigo, Qt::LeftButton);
    QVERIFY(m_dialogs->boxes.isEmpty());
    QCOMPARE(m_form->ComboBox1->count(), 21);
    snapshot(QStringLiteral("reader-loaded"));
    qsizetype previous = -1;
    for (int index = 0; index < 21; ++index) {
        chooseChapter(index);
        const QString heading = index == 20
                                    ? QStringLiteral("ANEXO I")
                                    : u("CAPÍTULO ") + m_form->ComboBox1->itemText(index).section(u' ', 1, 1);
        QCOMPARE(selected(), heading);
        // The line holds exactly the heading, and chapters come in order.
        const QTextBlock block =
            m_form->RichEdit->document()->findBlock(m_form->RichEdit->textCursor().selectionStart());
        QCOMPARE(block.text(), heading);
        QVERIFY(selectionOffset() > previous);
        previous = selectionOffset();
        QCOMPARE(m_form->selStart(), previous);
    }
    chooseChapter(3);
    const qsizetype chapterFour = m_form->selStart();
    snapshot(QStringLiteral("reader-real-chapter"));
    // A search in the real text: the first article after chapter IV's heading.
    openFind(QStringLiteral("Art."), true);
    findNext();
    QCOMPARE(selected(), QStringLiteral("Art."));
    QVERIFY(m_form->selStart() > chapterFour);
    QCOMPARE(
        m_form->RichEdit->document()->findBlock(m_form->RichEdit->textCursor().selectionStart()).position(),
        m_form->RichEdit->textCursor().selectionStart());
    QVERIFY(m_dialogs->boxes.isEmpty());
    snapshot(QStringLiteral("reader-real-search"));
}

void TestFormCodigo::chapterNotInTheText()
{
    load();
    chooseChapter(4); // "CAPÍTULO V" is not in the fixture
    QCOMPARE(selected(), QString());
    QCOMPARE(m_form->selStart(), 0);
    chooseChapter(5); // nor is "CAPÍTULO VI"
    QCOMPARE(selected(), QString());
    QVERIFY(m_dialogs->boxes.isEmpty());
}

void TestFormCodigo::findDialogStartsCleared()
{
    QTest::mouseClick(m_form->BBPesquisar, Qt::LeftButton);
    TFindDialog *d = m_form->FindDialog;
    QVERIFY(d->isVisible());
    QVERIFY(!d->isModal());
    QVERIFY(d->RadioAbaixo->isChecked());
    QVERIFY(!d->RadioAcima->isChecked());
    QVERIFY(!d->matchCase());
    QVERIFY(!d->wholeWord());
    QVERIFY(d->CheckMaiusculas->isEnabled() && d->CheckPalavraInteira->isEnabled());
    QCOMPARE(d->CheckMaiusculas->text().remove(u'&'), u("Diferenciar maiúsculas e minúsculas"));
    QCOMPARE(d->BBLocalizar->text().remove(u'&'), u("Localizar próxima"));
    // Cancelar closes it; the window stays.
    QTest::mouseClick(d->BBCancelar, Qt::LeftButton);
    QVERIFY(!d->isVisible());
    QVERIFY(m_form->isVisible());
}

void TestFormCodigo::findMatchCase()
{
    load();
    openFind(u("CAPÍTULO"), true);
    findNext();
    QCOMPARE(selected(), u("CAPÍTULO"));
    QCOMPARE(selectionOffset(), 24);
    QCOMPARE(m_form->selLength(), 8);
    QVERIFY(m_form->FindDialog->isVisible()); // it stays open between searches
    // From inside the heading the search goes on with the next line.
    m_form->setSelection(25, 0);
    findNext();
    QCOMPARE(selected(), u("CAPÍTULO"));
    QCOMPARE(selectionOffset(), 149);
    m_form->setSelection(150, 0);
    findNext();
    QCOMPARE(selectionOffset(), 208);
    snapshot(QStringLiteral("reader-search"));
    m_form->setSelection(209, 2);
    findNext();
    QCOMPARE(m_dialogs->texts(), QStringList{u("Alcançado o fim do arquivo.")});
    QCOMPARE(m_dialogs->boxes[0].icon, Dialogs::Icon::Information);
    // The selection is as before the search; the search never wraps around.
    QCOMPARE(selectionOffset(), 209);
    QCOMPARE(selected(), u("AP"));
    // Lower case with match case does not find the heading.
    m_dialogs->clear();
    m_form->setSelection(0, 0);
    openFind(u("capítulo"), true);
    findNext();
    QCOMPARE(m_dialogs->texts(), QStringList{u("Alcançado o fim do arquivo.")});
}

void TestFormCodigo::findIgnoringCaseRaisesOnlyAscii()
{
    load();
    // "infração" becomes "INFRAçãO": it finds the lower-case word, never "INFRAÇÕES".
    openFind(u("infração"));
    findNext();
    QCOMPARE(selected(), u("infração"));
    QCOMPARE(selectionOffset(), 62 + 44);
    findNext();
    QCOMPARE(selectionOffset(), 117);
    // A match at a line start is found again: move past it by hand.
    m_form->setSelection(118, 0);
    findNext();
    QCOMPARE(m_dialogs->texts(), QStringList{u("Alcançado o fim do arquivo.")});

    // "INFRAÇ" only matches itself, accents and all.
    m_dialogs->clear();
    m_form->setSelection(0, 0);
    openFind(u("infraç"));
    findNext();
    QCOMPARE(selected(), u("infraç"));
    m_form->setSelection(200, 0);
    findNext();
    QCOMPARE(m_dialogs->texts(), QStringList{u("Alcançado o fim do arquivo.")});
    // Without accents nothing is found.
    m_dialogs->clear();
    m_form->setSelection(0, 0);
    openFind(u("infracao"));
    findNext();
    QCOMPARE(m_dialogs->texts(), QStringList{u("Alcançado o fim do arquivo.")});
    // ASCII letters are raised, accented ones must be typed as they stand in the text.
    m_dialogs->clear();
    openFind(u("dos veÍculos"));
    findNext();
    QCOMPARE(selected(), u("DOS VEÍCULOS"));
}

void TestFormCodigo::findWholeWord()
{
    load();
    // "sinal" stands at the start and the end of line 176 only: never found as a whole word.
    openFind(QStringLiteral("sinal"), false, true);
    findNext();
    QCOMPARE(m_dialogs->texts(), QStringList{u("Alcançado o fim do arquivo.")});
    QCOMPARE(selectionOffset(), 0);
    // In the middle of a line the word is selected with a space on each side.
    m_dialogs->clear();
    openFind(QStringLiteral("no"), false, true);
    findNext();
    QCOMPARE(selected(), QStringLiteral(" no "));
    QCOMPARE(selectionOffset(), 176 + 5);
    QCOMPARE(m_form->selLength(), 4);
    // Without whole word "sinal" is found at the line start.
    m_form->setSelection(0, 0);
    openFind(QStringLiteral("sinal"));
    findNext();
    QCOMPARE(selected(), QStringLiteral("sinal"));
    QCOMPARE(selectionOffset(), 176);
}

void TestFormCodigo::secondOccurrenceOnALineIsSkipped()
{
    load();
    // "sinal no início e no fim sinal" holds "no" twice, the first after the line start.
    m_form->setSelection(170, 0);
    openFind(QStringLiteral("NO"));
    findNext();
    QCOMPARE(selected(), QStringLiteral("no"));
    QCOMPARE(selectionOffset(), 176 + 6);
    // The next search begins with the following line: the second "no" is never selected.
    findNext();
    QCOMPARE(m_dialogs->texts(), QStringList{u("Alcançado o fim do arquivo.")});
    QCOMPARE(selectionOffset(), 176 + 6);
    QCOMPARE(selected(), QStringLiteral("no"));
}

void TestFormCodigo::matchAtLineStartIsFoundAgain()
{
    load();
    openFind(u("DOS"), true);
    findNext();
    QCOMPARE(selectionOffset(), 162);
    findNext();
    QCOMPARE(selectionOffset(), 162);
    QCOMPARE(selected(), u("DOS"));
    QVERIFY(m_dialogs->boxes.isEmpty());
}

void TestFormCodigo::findWithWordWrap()
{
    // A line long enough to wrap in the view.
    QStringList lines = kLines;
    lines.insert(1,
                 u("Parágrafo longo ") + QStringLiteral("palavra ").repeated(40) + QStringLiteral("alvo."));
    load(lines);
    QTest::mouseClick(m_form->CheckBox1, Qt::LeftButton, {}, QPoint(6, m_form->CheckBox1->height() / 2));
    QVERIFY(m_form->CheckBox1->isChecked());
    QCOMPARE(m_form->RichEdit->lineWrapMode(), QTextEdit::WidgetWidth);
    QCOMPARE(m_form->RichEdit->toPlainText(), lines.join(u'\n'));
    QVERIFY(m_form->RichEdit->document()->findBlockByNumber(1).layout()->lineCount() > 1);

    openFind(QStringLiteral("alvo"));
    findNext();
    QCOMPARE(selected(), QStringLiteral("alvo"));
    QCOMPARE(selectionOffset(), 24 + lines[1].size() - 5);
    QCOMPARE(m_form->RichEdit->lineWrapMode(), QTextEdit::WidgetWidth);
    QVERIFY(m_form->CheckBox1->isChecked());
    // Not found: wrapping and selection are as before.
    findNext();
    QCOMPARE(m_dialogs->texts(), QStringList{u("Alcançado o fim do arquivo.")});
    QCOMPARE(m_form->RichEdit->lineWrapMode(), QTextEdit::WidgetWidth);
    QVERIFY(m_form->CheckBox1->isChecked());
    QCOMPARE(selected(), QStringLiteral("alvo"));
    snapshot(QStringLiteral("reader-wrap"));

    // Unchecking switches wrapping off; the text and the selection stay.
    QTest::mouseClick(m_form->CheckBox1, Qt::LeftButton, {}, QPoint(6, m_form->CheckBox1->height() / 2));
    QCOMPARE(m_form->RichEdit->lineWrapMode(), QTextEdit::NoWrap);
    QCOMPARE(selected(), QStringLiteral("alvo"));
    QCOMPARE(m_form->RichEdit->toPlainText(), lines.join(u'\n'));
}

void TestFormCodigo::emptyFindText()
{
    load();
    openFind(QString());
    findNext();
    QCOMPARE(m_dialogs->texts(), QStringList{u("Alcançado o fim do arquivo.")});
    QCOMPARE(selected(), QString());
}

void TestFormCodigo::findBeforeLoading()
{
    openFind(QStringLiteral("a"));
    findNext();
    QCOMPARE(m_dialogs->texts(), QStringList{u("Alcançado o fim do arquivo.")});
    // Enter in the text box also searches.
    QTest::keyClick(m_form->FindDialog->EditLocalizar, Qt::Key_Return);
    QCOMPARE(m_dialogs->boxes.size(), 2);
}

void TestFormCodigo::escAndHelp()
{
    FakeDesktop desktop;
    QTest::keyClick(m_form->BBPesquisar, Qt::Key_F1);
    QCOMPARE(desktop.helps, QStringList{QStringLiteral("context20")});
    QTest::keyClick(m_form->BBAbrirCodigo, Qt::Key_Escape);
    QVERIFY(!m_form->isVisible());
    // Closing only hides: shown again, the window is as it was.
    m_form->show();
    QVERIFY(m_form->BBAbrirCodigo->isEnabled());
}

// The chapter list opens as a scrolling list showing 11 rows, whatever the style would do.
void TestFormCodigo::chapterListShowsElevenRows()
{
    load();
    QComboBox *combo = m_form->ComboBox1;
    QCOMPARE(combo->style()->styleHint(QStyle::SH_ComboBox_Popup, nullptr, combo), 0);
    combo->showPopup();
    QAbstractItemView *view = combo->view();
    QTRY_VERIFY(view->isVisible());
    const int row = view->sizeHintForRow(0);
    QVERIFY(row > 0);
    const int rows = view->viewport()->height() / row;
    QCOMPARE(rows, 11);
    QVERIFY(view->verticalScrollBar()->maximum() > 0); // the other ten scroll
    combo->hidePopup();
}

// A file the reader does not take says why, loads nothing and leaves " Abrir arquivo" enabled;
// the right file then loads.
void TestFormCodigo::refusedFiles_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("message");
    const QString notFound = u("Arquivo não encontrado!\rVerifique se o arquivo \"CNT.CTB\" está no mesmo\r"
                               "diretório onde está sendo executado este programa.");
    const QString notTheCode = u("O arquivo \"cnt.rtf\" não contém o texto do Código de Trânsito.");
    QTest::newRow("empty") << "empty" << notTheCode;
    QTest::newRow("garbage") << "garbage" << notTheCode;
    QTest::newRow("rich text without the code") << "other" << notTheCode;
    QTest::newRow("too large") << "large"
                               << u("O arquivo \"cnt.rtf\" tem mais de 8 MiB e não pode ser aberto.");
    QTest::newRow("FIFO") << "fifo"
                          << u("O arquivo \"cnt.rtf\" não é um arquivo comum e não pode ser aberto.");
    QTest::newRow("folder") << "folder"
                            << u("O arquivo \"cnt.rtf\" não é um arquivo comum e não pode ser aberto.");
    QTest::newRow("unreadable") << "unreadable" << notFound;
}

void TestFormCodigo::refusedFiles()
{
    QFETCH(QString, kind);
    QFETCH(QString, message);
    const QString path = m_folder->file(QStringLiteral("cnt.rtf"));
    if (kind == QLatin1String("empty")) {
        QVERIFY(writeFile(path, QByteArray()));
    } else if (kind == QLatin1String("garbage")) {
        QByteArray bytes;
        for (int i = 0; i < 4096; ++i)
            bytes += static_cast<char>((i * 131 + 7) & 0xFF);
        QVERIFY(writeFile(path, bytes));
    } else if (kind == QLatin1String("other")) {
        QVERIFY(writeFile(path, "{\\rtf1\\ansi Receita de bolo\\par Farinha, ovos\\par}"));
    } else if (kind == QLatin1String("large")) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QVERIFY(f.write(rtfOf(kLines)) > 0);
        QVERIFY(f.resize(TFormCodigo::MaxFileSize + 1)); // sparse: costs no disk
    } else if (kind == QLatin1String("fifo")) {
        QVERIFY(::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
    } else if (kind == QLatin1String("folder")) {
        QVERIFY(QDir(m_folder->path()).mkdir(QStringLiteral("cnt.rtf")));
    } else {
        QVERIFY(writeFile(path, rtfOf(kLines)));
        QVERIFY(QFile::setPermissions(path, QFileDevice::Permissions()));
        if (QFile(path).open(QIODevice::ReadOnly))
            QSKIP("this user reads files without permission (root)");
    }
    QElapsedTimer clock;
    clock.start();
    QTest::mouseClick(m_form->BBAbrirCodigo, Qt::LeftButton);
    QVERIFY(clock.elapsed() < 2000);
    QCOMPARE(m_dialogs->texts(), QStringList{message});
    QCOMPARE(m_dialogs->boxes[0].icon, Dialogs::Icon::None);
    QCOMPARE(m_form->ComboBox1->count(), 0);
    QVERIFY(m_form->BBAbrirCodigo->isEnabled());
    QVERIFY(m_form->RichEdit->document()->isEmpty());
    QCOMPARE(m_form->text().lineCount(), 0);

    // The right file put in its place loads.
    m_dialogs->clear();
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    if (QFileInfo(path).isDir())
        QVERIFY(QDir(path).removeRecursively());
    else
        QVERIFY(QFile::remove(path));
    load();
    QCOMPARE(m_form->ComboBox1->count(), 21);
    QVERIFY(!m_form->BBAbrirCodigo->isEnabled());
}

// The largest file the reader takes still loads.
void TestFormCodigo::largestFileLoads()
{
    const QString path = m_folder->file(QStringLiteral("cnt.rtf"));
    QByteArray bytes = rtfOf(kLines);
    bytes += QByteArray(TFormCodigo::MaxFileSize - bytes.size(), ' '); // after the document's end
    QVERIFY(writeFile(path, bytes));
    QTest::mouseClick(m_form->BBAbrirCodigo, Qt::LeftButton);
    QVERIFY(m_dialogs->boxes.isEmpty());
    QCOMPARE(m_form->ComboBox1->count(), 21);
}

QTEST_MAIN(TestFormCodigo)
// "Ouvir" and F8 read the article the reader shows, from its heading to the next article, as it is
// said; choosing a chapter stops it.
void TestFormCodigo::readsTheArticleShown()
{
    FakeSpeech speech;
    auto *ouvir = m_form->findChild<QToolButton *>(QStringLiteral("BBOuvir"));
    QVERIFY(ouvir && ouvir->isEnabled());
    // Nothing loaded, nothing read.
    QTest::keyClick(m_form.get(), Qt::Key_F8);
    QVERIFY(speech.said.isEmpty());
    QVERIFY(
        QFile::copy(QStringLiteral(QUELVADO_BIN_DIR "/cnt.rtf"), m_folder->file(QStringLiteral("cnt.rtf"))));
    QVERIFY(m_form->MostraArtigo(ArticleRef{QStringLiteral("29"), QString(), QStringLiteral("X")}));
    QTest::keyClick(m_form->RichEdit, Qt::Key_F8);
    QCOMPARE(speech.said.size(), 1);
    const QString said = speech.said.first();
    QVERIFY2(said.startsWith(QStringLiteral("Artigo vinte e nove")), qPrintable(said.left(200)));
    QVERIFY(said.contains(QStringLiteral("\ninciso dez: ")));
    QVERIFY(!said.contains(QStringLiteral("Artigo trinta")));
    QVERIFY(!said.contains(QStringLiteral("§")));
    QVERIFY(ouvir->isChecked());
    chooseChapter(0);
    QVERIFY(!speech.speaking);
    QVERIFY(!ouvir->isChecked());
}

// A line of hundreds of kilobytes (a damaged file, or one written without paragraph marks) is shown
// in pieces the view lays out quickly; the search, the articles, the chapters and the copy still
// land on what they name, before, on and after that line.
void TestFormCodigo::longLineShownInPieces()
{
    QString filler;
    for (int i = 0; filler.size() < 300000; ++i)
        filler += QStringLiteral("Trecho %1 do texto. ").arg(i, 6, 10, QLatin1Char('0'));
    const QString longLine = u("Art. 2º ") + filler + QStringLiteral("Termina com o alvo do leitor.");
    QStringList lines = kLines;
    lines.insert(4, longLine); // where line 4 started: at 117
    lines.insert(5, u("Art. 3º Depois da linha longa."));
    const qsizetype after = 117 + longLine.size() + 2;
    load(lines);

    // The whole text is there, the long line in short pieces.
    const QTextDocument *doc = m_form->RichEdit->document();
    QVERIFY(doc->blockCount() >= lines.size() + longLine.size() / LineModel::kLongestPiece);
    QCOMPARE(doc->toPlainText().remove(u'\n'), lines.join(QString()));
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next())
        QVERIFY(b.length() - 1 <= LineModel::kLongestPiece);
    const auto inView = [this] {
        return m_form->RichEdit->viewport()->rect().contains(m_form->RichEdit->cursorRect());
    };

    // A word near the end of the line, then one on the next line.
    openFind(QStringLiteral("alvo"));
    findNext();
    QCOMPARE(selected(), QStringLiteral("alvo"));
    QCOMPARE(m_form->selStart(), 117 + longLine.indexOf(QStringLiteral("alvo")));
    QVERIFY(inView());
    openFind(QStringLiteral("Depois"), true);
    findNext();
    QCOMPARE(selected(), QStringLiteral("Depois"));
    QCOMPARE(m_form->selStart(), after + 8);

    // Text across the place where the view parts the line: found, selected whole, copied as it is.
    const qsizetype firstPiece = doc->findBlockByNumber(4).length() - 1;
    QVERIFY(firstPiece < longLine.size());
    const QString across = longLine.mid(firstPiece - 24, 48);
    QCOMPARE(longLine.indexOf(across), firstPiece - 24);
    m_form->setSelection(0, 0);
    openFind(across, true);
    findNext();
    QCOMPARE(m_form->selStart(), 117 + firstPiece - 24);
    QCOMPARE(m_form->selLength(), 48);
    QCOMPARE(selected(), across.left(24) + QChar(QChar::ParagraphSeparator) + across.mid(24));
    QTest::keyClick(m_form->RichEdit, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), across);
    QVERIFY(m_dialogs->boxes.isEmpty());

    // The article the long line holds, the one after it, and a chapter further on.
    QVERIFY(m_form->MostraArtigo(ArticleRef{QStringLiteral("2"), QString()}));
    QCOMPARE(selected(), u("Art. 2º"));
    QCOMPARE(m_form->selStart(), 117);
    QVERIFY(inView());
    QVERIFY(m_form->MostraArtigo(ArticleRef{QStringLiteral("3"), QString()}));
    QCOMPARE(selected(), u("Art. 3º"));
    QCOMPARE(m_form->selStart(), after);
    QVERIFY(inView());
    chooseChapter(8);
    QCOMPARE(selected(), u("CAPÍTULO IX"));
    QCOMPARE(m_form->selStart(), after + lines.at(5).size() + 2 + lines.at(6).size() + 2);
    QVERIFY(inView());

    // Read aloud from inside the long line: its article, cut short.
    FakeSpeech speech;
    m_form->FindDialog->hide();
    m_form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    m_form->setSelection(117 + longLine.indexOf(QStringLiteral("alvo")), 4);
    QTest::keyClick(m_form->RichEdit, Qt::Key_F8);
    QCOMPARE(speech.said.size(), 1);
    QVERIFY2(speech.said.first().startsWith(QStringLiteral("Artigo segundo")),
             qPrintable(speech.said.first().left(80)));
    QVERIFY(speech.said.first().size() < 20000);
    QVERIFY(m_dialogs->boxes.isEmpty());
}

#include "tst_formcodigo.moc"
