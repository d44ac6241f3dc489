// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "formcodigo.h"

#include "codereader/articleindex.h"
#include "codereader/finddialog.h"
#include "codereader/rtfreader.h"

#include "common/appwindows.h"
#include "common/desktop.h"
#include "common/dialogs.h"
#include "common/errordisplay.h"
#include "common/maker.h"
#include "common/programfolder.h"
#include "common/readaloud.h"
#include "common/safefile.h"
#include "common/speechtext.h"
#include "common/windowkit.h"
#include "controls/artwork.h"
#include "controls/panel.h"
#include "controls/shadowlabel.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QMimeData>
#include <QProxyStyle>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QThread>
#include <QToolButton>

#include <algorithm>
#include <memory>

namespace {
const QColor kNavy(0, 0, 128);
const QColor kMaroon(128, 0, 0);
const QColor kBand(0, 72, 128);
const QColor kStrip(236, 233, 216);

// The application's style, except that a combo box opens a scrolling list that honours its
// maximum number of visible rows.
class ListPopupStyle : public QProxyStyle {
public:
    explicit ListPopupStyle(QObject *parent) { setParent(parent); }
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override
    {
        if (hint == QStyle::SH_ComboBox_Popup)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

// The text view. It copies the text's own characters: a display break copies as nothing, a line
// break as a line feed.
class CodeView : public QTextEdit {
public:
    explicit CodeView(QWidget *parent) : QTextEdit(parent) {}
    void setModel(const LineModel *model) { m_model = model; }

protected:
    QMimeData *createMimeDataFromSelection() const override
    {
        const QTextCursor c = textCursor();
        if (!m_model || !c.hasSelection())
            return QTextEdit::createMimeDataFromSelection();
        const qsizetype start = m_model->fromViewPosition(c.selectionStart());
        const qsizetype end = m_model->fromViewPosition(c.selectionEnd());
        auto *copied = new QMimeData;
        copied->setText(m_model->plainText()
                            .mid(start, end - start)
                            .replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
        return copied;
    }

private:
    const LineModel *m_model = nullptr;
};

// Why cnt.rtf cannot be shown, as the message for the user; empty when the text is fine.
// A missing or unreadable file gets the message the user knows; a file refused for what it is
// says so.
QString refusal(SafeFile::Status status)
{
    switch (status) {
    case SafeFile::Status::Ok:
        return QString();
    case SafeFile::Status::NotRegular:
        return QStringLiteral("O arquivo \"cnt.rtf\" não é um arquivo comum e não pode ser aberto.");
    case SafeFile::Status::TooLarge:
        return QStringLiteral("O arquivo \"cnt.rtf\" tem mais de %1 MiB e não pode ser aberto.")
            .arg(TFormCodigo::MaxFileSize >> 20);
    default:
        return QStringLiteral("Arquivo não encontrado!\rVerifique se o arquivo \"CNT.CTB\" está "
                              "no mesmo\rdiretório onde está sendo executado este programa.");
    }
}

// True when the text holds at least one of the chapter headings: an empty file, or one holding
// something else, is not the code's text.
bool holdsTheCode(const LineModel &text)
{
    for (int index = 0; index < CodeSearch::kChapters; ++index)
        if (CodeSearch::findChapter(text, index))
            return true;
    return false;
}

// Twips (1/20 point) to pixels at 96 dots per inch.
qreal twipsToPixels(int twips)
{
    return twips / 15.0;
}
} // namespace

TFormCodigo::TFormCodigo(QWidget *parent, Construction construction) : QWidget(parent)
{
    setObjectName(QStringLiteral("FormCodigo"));
    WindowKit::fixedWindow(this, QSize(692, 410), WindowKit::Border::Single);
    setWindowTitle(QStringLiteral("Quelvado Prova Simulada  -  ") + Maker::site);
    WindowKit::fillBackground(this, Qt::white);
    setFont(WindowKit::font(12, false));

    m_controls.start(this, construction, [this] {
        // Top panel: emblem, title, prompt and the chapter list.
        PanelTopo = WindowKit::make<TPanel>(this, "PanelTopo", QRect(0, 0, 692, 81));
        PanelTopo->setColor(kBand);

        Image1 = WindowKit::make<QLabel>(PanelTopo, "Image1", QRect(8, 5, 104, 41));
        Image1->setPixmap(
            Artwork::glyphPixmap(QStringLiteral("emblema_ctb"), QSize(104, 41), devicePixelRatioF()));

        LabelTitulo = WindowKit::make<TShadowLabel>(PanelTopo, "LabelTitulo", QRect(122, 3, 560, 26));
        LabelTitulo->setFont(WindowKit::font(19, true));
        LabelTitulo->setTextColor(Qt::white);
        LabelTitulo->setShadowColor(Qt::black);
        LabelTitulo->setShadowOffset(2);
        LabelTitulo->setText(QStringLiteral("Novo Código de Trânsito Brasileiro"));

        LabelSelecione = WindowKit::make<QLabel>(PanelTopo, "LabelSelecione", QRect(122, 30, 560, 16));
        LabelSelecione->setFont(WindowKit::font(12, false));
        LabelSelecione->setText(
            QStringLiteral("Selecione aqui o capítulo que você deseja visualizar na tela:"));
        WindowKit::setTextColour(LabelSelecione, QColor(255, 248, 200));

        ComboBox1 = WindowKit::make<QComboBox>(PanelTopo, "ComboBox1", QRect(8, 51, 676, 24));
        ComboBox1->setAccessibleName(QStringLiteral("Capítulo"));
        ComboBox1->setEditable(false);
        ComboBox1->setMaxVisibleItems(11);
        // Some styles open the list as a menu of every entry and ignore the row count; this one
        // always opens a scrolling list of 11 rows.
        ComboBox1->setStyle(new ListPopupStyle(ComboBox1));
        ComboBox1->setFont(WindowKit::font(12, false));
        for (QPalette::ColorRole role : {QPalette::Text, QPalette::ButtonText, QPalette::WindowText})
            WindowKit::setColour(ComboBox1, role, kNavy);
        connect(ComboBox1, &QComboBox::activated, this, guard([this] { ComboBox1Change(); }));

        // The text view.
        auto *codeView = WindowKit::make<CodeView>(this, "RichEdit", QRect(0, 81, 692, 410 - 81 - 65));
        codeView->setModel(&m_text);
        RichEdit = codeView;
        RichEdit->setAccessibleName(QStringLiteral("Código de Trânsito Brasileiro"));
        RichEdit->setReadOnly(true);
        RichEdit->setUndoRedoEnabled(false);
        RichEdit->setAcceptRichText(false);
        RichEdit->setFocusPolicy(Qt::ClickFocus); // skipped by the Tab key
        RichEdit->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        RichEdit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        RichEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        RichEdit->setLineWrapMode(QTextEdit::NoWrap);
        RichEdit->setFont(WindowKit::font(13, false));
        RichEdit->document()->setDocumentMargin(6);
        QPalette view = RichEdit->palette();
        // The selection stays highlighted when the view loses the focus.
        for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
            view.setColor(QPalette::Inactive, role, view.color(QPalette::Active, role));
        view.setColor(QPalette::Base, Qt::white);
        view.setColor(QPalette::Text, Qt::black);
        RichEdit->setPalette(view);

        // Bottom panel: the hint, the word-wrap box and the three buttons.
        PanelRodape = WindowKit::make<TPanel>(this, "PanelRodape", QRect(0, 345, 692, 65));
        PanelRodape->setColor(kStrip);

        LabelDica = WindowKit::make<QLabel>(PanelRodape, "LabelDica", QRect(2, 4, 688, 18));
        LabelDica->setAlignment(Qt::AlignCenter);
        LabelDica->setFont(WindowKit::font(11, true));
        LabelDica->setText(
            QStringLiteral("Clique em Abrir arquivo para acessar o Código e selecione o capítulo que deseja "
                           "visualizar."));
        WindowKit::setTextColour(LabelDica, kMaroon);

        CheckBox1 = WindowKit::make<QCheckBox>(PanelRodape, "CheckBox1", QRect(14, 30, 150, 24));
        CheckBox1->setText(QStringLiteral("Quebra de linha"));
        CheckBox1->setFont(WindowKit::font(12, false));
        CheckBox1->setChecked(false);
        connect(CheckBox1, &QCheckBox::toggled, this, guard([this] { CheckBox1Click(); }));

        BBAbrirCodigo =
            WindowKit::button(PanelRodape, "BBAbrirCodigo", QRect(252, 26, 140, 32),
                              QStringLiteral(" Abrir arquivo"), Artwork::glyph(this, "abrir", 24), 24);
        BBPesquisar =
            WindowKit::button(PanelRodape, "BBPesquisar", QRect(400, 26, 136, 32),
                              QStringLiteral(" Pesquisar"), Artwork::glyph(this, "pesquisar", 24), 24);
        BitBtn5 = WindowKit::button(PanelRodape, "BitBtn5", QRect(544, 26, 136, 32),
                                    QStringLiteral(" Fechar"), Artwork::glyph(this, "fechar", 24), 24);
        for (QPushButton *b : {BBAbrirCodigo, BBPesquisar, BitBtn5}) {
            b->setFont(WindowKit::font(12, true));
            b->setFocusPolicy(Qt::StrongFocus);
        }
        connect(BBAbrirCodigo, &QPushButton::clicked, this, guard([this] { BBAbrirCodigoClick(); }));
        connect(BBPesquisar, &QPushButton::clicked, this, guard([this] { BBPesquisarClick(); }));
        connect(BitBtn5, &QPushButton::clicked, this, guard([this] { BitBtn5Click(); }));

        // "Ouvir" reads the article the reader is at; between the word-wrap box and the buttons.
        m_ouvir = new ReadAloud(
            this, PanelRodape, QRect(166, 27, 56, 30), QRect(224, 27, 26, 30),
            [this] { return SpeechText::spoken(artigoAtual()); }, ReadAloud::TextSize::NotOffered);
        m_ouvir->ouvirButton()->setFont(WindowKit::font(12, true));
        m_ouvir->optionsButton()->setFont(WindowKit::font(11, true));

        FindDialog = new TFindDialog(this);
        connect(FindDialog, &TFindDialog::findNext, this, guard([this] { FindDialogFind(); }));
    });

    // The window sees Esc and F1 before its controls.
    qApp->installEventFilter(this);
    FormCreate();
}

TFormCodigo::~TFormCodigo()
{
    qApp->removeEventFilter(this);
}

void TFormCodigo::FormCreate()
{
    WindowKit::placeCentred(this, AppWindows::mainWindowHeight());
}

namespace {
// What a load of cnt.rtf made off the windows' thread: the refusal to show, or the text and the
// document for the view.
struct Loaded {
    QString refused;
    LineModel text;
    std::unique_ptr<QTextDocument> document;
};

// Reads, parses and lays cnt.rtf out into a new document that takes the view's font, margin and
// options. Runs on a thread of its own; the document is handed to thread, the windows' one.
void load(Loaded &out, const QFont &font, qreal margin, const QTextOption &option, QThread *thread)
{
    // Only a regular file of a sensible size is read (a FIFO under the name never blocks).
    const SafeFile::Result file =
        SafeFile::read(ProgramFolder::file(QStringLiteral("cnt.rtf")), TFormCodigo::MaxFileSize);
    if (!file.ok()) {
        out.refused = refusal(file.status);
        return;
    }
    const RtfDocument doc = RtfReader::read(file.bytes);
    QStringList lines;
    lines.reserve(doc.lines.size());
    for (const RtfLine &line : doc.lines)
        lines.append(line.text);
    LineModel text(std::move(lines));
    // Not the code's text: nothing is loaded and the button stays, so the right file can be tried.
    if (!holdsTheCode(text)) {
        out.refused = QStringLiteral("O arquivo \"cnt.rtf\" não contém o texto do Código de Trânsito.");
        return;
    }

    // The view gets one block per display paragraph (a line, or a piece of a long one), so its
    // positions and the offsets differ by one per line break and by one per display break.
    // Built apart from the view, which takes it whole when it is done: the view then lays out
    // what it shows and the rest a step at a time, instead of following every insertion.
    auto document = std::make_unique<QTextDocument>();
    document->setDefaultFont(font);
    document->setDocumentMargin(margin);
    document->setDefaultTextOption(option);
    document->setUndoRedoEnabled(false);
    QTextCursor cursor(document.get());
    cursor.beginEditBlock();
    QTextCharFormat plain;
    plain.setFontWeight(QFont::Normal);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    for (qsizetype i = 0; i < text.paragraphCount(); ++i) {
        const DisplayParagraph &piece = text.paragraph(i);
        const RtfLine &line = doc.lines[piece.line];
        const qsizetype end = piece.column + piece.length;
        // A line shown in pieces keeps its spacing above its first piece and below its last.
        QTextBlockFormat block;
        if (piece.column == 0)
            block.setTopMargin(twipsToPixels(line.spaceBefore));
        if (end == line.text.size())
            block.setBottomMargin(twipsToPixels(line.spaceAfter));
        if (i == 0)
            cursor.setBlockFormat(block);
        else
            cursor.insertBlock(block, plain);
        qsizetype at = piece.column;
        auto span = std::lower_bound(line.bold.cbegin(), line.bold.cend(), at,
                                     [](const RtfSpan &b, qsizetype c) { return b.start + b.length <= c; });
        for (; span != line.bold.cend() && span->start < end; ++span) {
            const qsizetype from = std::max(span->start, at);
            const qsizetype to = std::min(span->start + span->length, end);
            if (from > at)
                cursor.insertText(line.text.mid(at, from - at), plain);
            cursor.insertText(line.text.mid(from, to - from), bold);
            at = to;
        }
        if (at < end)
            cursor.insertText(line.text.mid(at, end - at), plain);
    }
    cursor.endEditBlock();
    document->moveToThread(thread);
    out.text = std::move(text);
    out.document = std::move(document);
}
} // namespace

void TFormCodigo::BBAbrirCodigoClick()
{
    // Asked again while a load runs (a citation opened meanwhile): that load serves both.
    if (m_loading)
        return;
    m_loading = true;
    // The read and the layout into a document run off the windows' thread: a large file keeps
    // the windows drawn, behind a box when it takes long.
    const QTextDocument *shown = RichEdit->document();
    Loaded loaded;
    WindowKit::runOffThread(QStringLiteral("Código de Trânsito Brasileiro"),
                            QStringLiteral("Abrindo o texto do Código de Trânsito..."), "ProgressoCodigo",
                            [&loaded, font = shown->defaultFont(), margin = shown->documentMargin(),
                             option = shown->defaultTextOption(),
                             thread = thread()] { load(loaded, font, margin, option, thread); });
    m_loading = false;
    if (!loaded.document) {
        Dialogs::current().message(Dialogs::Icon::None, QString(), loaded.refused);
        return;
    }
    QTextDocument *document = loaded.document.release();
    document->setParent(RichEdit);
    RichEdit->setDocument(document); // the view's own empty document goes with it
    m_text = std::move(loaded.text);
    // The new document opens at its start; moving the cursor there would lay out its first line again.

    ComboBox1->clear();
    for (int index = 0; index < CodeSearch::kChapters; ++index)
        ComboBox1->addItem(CodeSearch::chapterEntry(index));
    ComboBox1->setCurrentIndex(-1);
    BBAbrirCodigo->setEnabled(false);
}

QString TFormCodigo::artigoAtual() const
{
    if (!RichEdit || m_text.lineCount() == 0)
        return {};
    static const QRegularExpression heading(QStringLiteral("^\\s*Art\\.\\s*\\d"));
    static const QRegularExpression chapter(QStringLiteral("^\\s*(CAPÍTULO|TÍTULO|SEÇÃO|ANEXO)\\b"));
    // The text's own lines, not the view's paragraphs: a piece of a long line that happens to
    // begin with "Art. 5" is not a heading.
    const QTextCursor caret = RichEdit->textCursor();
    const qsizetype position =
        caret.hasSelection() ? caret.selectionStart() : RichEdit->cursorForPosition(QPoint(4, 4)).position();
    const QStringList &all = m_text.lines();
    qsizetype first = m_text.paragraph(m_text.paragraphAt(position)).line;
    while (first >= 0 && !heading.match(all.at(first)).hasMatch())
        --first;
    if (first < 0)
        return {};
    // An article is read whole but for a very long one, cut at a line (the reading stays short);
    // a line longer than that alone is cut at a space.
    constexpr qsizetype kLongest = 6000;
    const auto clipped = [](const QString &line) {
        if (line.size() <= kLongest)
            return line.trimmed();
        const qsizetype space = line.lastIndexOf(QLatin1Char(' '), kLongest);
        return line.left(space > 0 ? space : kLongest).trimmed();
    };
    QStringList lines{clipped(all.at(first))};
    qsizetype size = lines.first().size();
    for (qsizetype i = first + 1; i < all.size() && size < kLongest; ++i) {
        const QString &whole = all.at(i);
        if (heading.match(whole).hasMatch() || chapter.match(whole).hasMatch())
            break;
        const QString line = clipped(whole);
        if (line.isEmpty())
            continue;
        lines << line;
        size += line.size();
    }
    return lines.join(QLatin1Char('\n'));
}

void TFormCodigo::ComboBox1Change()
{
    if (m_ouvir)
        m_ouvir->stop();
    const std::optional<TextMatch> found = CodeSearch::findChapter(m_text, ComboBox1->currentIndex());
    if (!found)
        return;
    RichEdit->setFocus(Qt::OtherFocusReason);
    setSelection(found->start, found->length);
}

void TFormCodigo::BBPesquisarClick()
{
    WindowKit::showInFront(FindDialog);
}

void TFormCodigo::FindDialogFind()
{
    // The search walks the text's own lines (the model), never the view's wrapped lines, so the
    // view's word wrap needs no switching and stays as the user set it.
    const std::optional<TextMatch> found = CodeSearch::findNext(
        m_text, selStart(), FindDialog->findText(), FindDialog->matchCase(), FindDialog->wholeWord());
    if (found) {
        setSelection(found->start, found->length);
        return;
    }
    Dialogs::information(QStringLiteral("Alcançado o fim do arquivo."));
}

void TFormCodigo::CheckBox1Click()
{
    setWordWrap(CheckBox1->isChecked());
}

void TFormCodigo::BitBtn5Click()
{
    close();
}

bool TFormCodigo::MostraArtigo(const ArticleRef &ref)
{
    ensureControls();
    m_ouvir->stop();
    if (BBAbrirCodigo->isEnabled())
        BBAbrirCodigoClick();
    if (BBAbrirCodigo->isEnabled())
        return false;
    const ArticleIndex index(m_text);
    const std::optional<TextMatch> found = index.find(ref);
    if (!found)
        return false;
    // A cited passage is read whole: the lines wrap at the view's width (the box stays the user's
    // to clear), and the list names the chapter that holds it.
    if (!CheckBox1->isChecked())
        CheckBox1->setChecked(true);
    int chapter = -1;
    qsizetype chapterStart = -1;
    for (int i = 0; i < CodeSearch::kChapters; ++i) {
        const std::optional<TextMatch> heading = CodeSearch::findChapter(m_text, i);
        if (heading && heading->start <= found->start && heading->start > chapterStart) {
            chapter = i;
            chapterStart = heading->start;
        }
    }
    {
        const QSignalBlocker quiet(ComboBox1);
        ComboBox1->setCurrentIndex(chapter);
    }
    RichEdit->setFocus(Qt::OtherFocusReason);
    // The article's heading goes to the top of the view, with the cited passage below it; a
    // passage too far down for both to show goes near the top itself, a line below the top.
    const int line = RichEdit->fontMetrics().height();
    QScrollBar *bar = RichEdit->verticalScrollBar();
    setSelection(index.findArticle(ref.article)->start, 0);
    bar->setValue(bar->value() + RichEdit->cursorRect().top() - line / 2);
    setSelection(found->start, found->length);
    if (RichEdit->cursorRect().bottom() > RichEdit->viewport()->height() - line)
        bar->setValue(bar->value() + RichEdit->cursorRect().top() - 2 * line);
    return true;
}

void TFormCodigo::setWordWrap(bool on)
{
    RichEdit->setLineWrapMode(on ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
}

qsizetype TFormCodigo::selStart() const
{
    return m_text.fromViewPosition(RichEdit->textCursor().selectionStart());
}

qsizetype TFormCodigo::selLength() const
{
    const QTextCursor c = RichEdit->textCursor();
    return m_text.fromViewPosition(c.selectionEnd()) - m_text.fromViewPosition(c.selectionStart());
}

void TFormCodigo::setSelection(qsizetype start, qsizetype length)
{
    QTextCursor c = RichEdit->textCursor();
    // A selection that ends at a display break stops before it.
    const int end =
        static_cast<int>(length > 0 ? m_text.toViewEnd(start + length) : m_text.toViewPosition(start));
    c.setPosition(static_cast<int>(m_text.toViewPosition(start)));
    c.setPosition(end, QTextCursor::KeepAnchor);
    RichEdit->setTextCursor(c);
    RichEdit->ensureCursorVisible();
}

bool TFormCodigo::eventFilter(QObject *watched, QEvent *event)
{
    if (QKeyEvent *press = WindowKit::keyPressIn(this, watched, event); press && isActiveWindow()) {
        const int key = press->key();
        if (key == Qt::Key_Escape) {
            BitBtn5->click();
            return true;
        }
        if (key == Qt::Key_F1) {
            guarded([] { Desktop::current().helpContext(20); });
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TFormCodigo::setVisible(bool visible)
{
    // The controls exist before the window is first shown, so they are shown with it.
    if (visible)
        m_controls.ensure();
    QWidget::setVisible(visible);
}
