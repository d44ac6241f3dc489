// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "formrevisao.h"

#include "examtypes.h"
#include "questionbank.h"
#include "questionsheet.h"

#include "codereader/articleindex.h"
#include "common/dialogs.h"
#include "common/errordisplay.h"
#include "common/hints.h"
#include "common/printing.h"
#include "common/readaloud.h"
#include "common/speechtext.h"
#include "common/windowkit.h"
#include "controls/artwork.h"
#include "signs/picturestore.h"

#include <QApplication>
#include <QCheckBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollArea>
#include <QTextDocument>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace {
using QuestionSheet::kRightBackground;
using QuestionSheet::kRightText;
using QuestionSheet::kWrongBackground;
using QuestionSheet::kWrongText;
using QuestionSheet::letter;
using QuestionSheet::textLabel;
const QString kSimboloCerta = QuestionSheet::rightSymbol();
const QString kSimboloErrada = QuestionSheet::wrongSymbol();

// The size the window had when last shown in this run; the first review opens sized for reading.
QSize tamanhoGuardado(660, 620);

TFormRevisao::EscolheImpressora escolheImpressora = [](QWidget *parent, const Printing::Draw &draw) {
    QString why;
    if (Printing::print(parent, QStringLiteral("Revisão da prova"), QStringLiteral("Imprimir revisão"), draw,
                        &why))
        return true;
    if (!why.isEmpty())
        Dialogs::current().message(Dialogs::Icon::None, QString(), why);
    return false;
};

// The texts of question number, of a block or of the study files; nullptr when none is stored.
const StoredQuestion *questao(int numero)
{
    return QuestionBank::instance().question(numero);
}

QString texto(int numero, int kind)
{
    const StoredQuestion *q = questao(numero);
    return q ? q->text(kind) : QString();
}

QString explicacaoDe(int numero)
{
    const StoredQuestion *q = questao(numero);
    return q ? q->explanation : QString();
}

QString fonteDe(int numero)
{
    const StoredQuestion *q = questao(numero);
    return q ? q->source : QString();
}

// How many alternatives position q showed: those it names, else the question's own (five for a
// block question, four for a study question).
int quantas(const QuestaoCorrigida &q)
{
    if (!q.alternativas.isEmpty())
        return static_cast<int>(std::min<qsizetype>(q.alternativas.size(), 5));
    const StoredQuestion *stored = questao(q.numero);
    return stored ? stored->alternativeCount() : 5;
}

// The text of the alternative shown under letter k (0 = A) at position q.
QString textoAlternativa(const QuestaoCorrigida &q, int k)
{
    const int alternativa = q.alternativas.isEmpty() ? k + 1 : q.alternativas.value(k);
    if (alternativa < 1 || alternativa > 5)
        return {};
    return texto(q.numero, QuestionKind::AlternativeA + alternativa - 1);
}

// How alternative k of a corrected position is marked: a symbol, a word and a colour (the
// symbol and the word say it without the colour).
struct Marca {
    QString simbolo;
    QString palavra;
    QColor fundo;
};

Marca marcaDe(const QuestaoCorrigida &q, int k)
{
    const QString l = letter(k);
    const bool certa = l == q.certa;
    const bool dada = l == q.resposta;
    if (certa && dada)
        return {kSimboloCerta, QStringLiteral("sua resposta, certa"), kRightBackground};
    if (certa)
        return {kSimboloCerta, QStringLiteral("resposta certa"), kRightBackground};
    if (dada)
        return {kSimboloErrada, QStringLiteral("sua resposta, errada"), kWrongBackground};
    return {};
}

// "Certa", "Errada", "Sem resposta", with the letters.
QString situacaoDaResposta(const QuestaoCorrigida &q)
{
    if (q.acertou())
        return kSimboloCerta + QStringLiteral(" Certa: sua resposta foi ") + q.resposta;
    if (q.resposta.isEmpty())
        return kSimboloErrada + QStringLiteral(" Sem resposta: a certa é ") + q.certa;
    if (q.marca == QLatin1String("-"))
        return QStringLiteral("Não conferida: a certa é ") + q.certa;
    return kSimboloErrada + QStringLiteral(" Errada: sua resposta foi ") + q.resposta +
           QStringLiteral(", a certa é ") + q.certa;
}

// "Certa", "Errada", "Sem resposta", with the letters; a position the exam never showed, and one
// whose answer the traffic light checked or wrote in, say so.
QString situacao(const QuestaoCorrigida &q)
{
    if (!q.seen)
        return QStringLiteral("Não exibida (a prova terminou antes): a certa é ") + q.certa;
    if (q.lightConsulted)
        return situacaoDaResposta(q) + QStringLiteral(" (conferida no semáforo)");
    return situacaoDaResposta(q);
}

QString cabecalho(int posicao, int numero)
{
    return QStringLiteral("Questão %1 de %2  ·  nº %3 do banco")
        .arg(posicao)
        .arg(ExamTypes::kQuestions)
        .arg(numero);
}

QString alternativa(const QuestaoCorrigida &q, int k)
{
    const Marca m = marcaDe(q, k);
    QString text = (m.simbolo.isEmpty() ? QStringLiteral("    ") : m.simbolo + QLatin1Char(' ')) + letter(k) +
                   QStringLiteral(") ") + textoAlternativa(q, k);
    if (!m.palavra.isEmpty())
        text += QStringLiteral("  — ") + m.palavra;
    return text;
}

} // namespace

TFormRevisao::TFormRevisao(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("FormRevisao"));
    setWindowTitle(QStringLiteral("Revisão da prova"));
    setFont(WindowKit::font(12, false));
    setMinimumSize(420, 320);
    resize(tamanhoGuardado);

    // The position and the verdict on it, one line each above the question.
    auto *top = new QVBoxLayout;
    top->setSpacing(2);
    LabelPosicao = textLabel(this, "LabelPosicao", 14, true);
    LabelSituacao = textLabel(this, "LabelSituacao", 14, true);
    top->addWidget(LabelPosicao);
    top->addWidget(LabelSituacao);

    const QuestionSheet::Sheet sheet = QuestionSheet::make(this);
    ScrollQuestao = sheet.scroll;
    LabelPergunta = sheet.question;
    ImageQuestao = sheet.picture;
    for (int k = 0; k < 5; ++k) {
        LabelAlternativas << QuestionSheet::alternativeLabel(sheet.page, k);
        sheet.body->addWidget(LabelAlternativas.last());
    }
    LabelExplicacao = textLabel(sheet.page, "LabelExplicacao", 13, false);
    LabelFonte = textLabel(sheet.page, "LabelFonte", 12, false);
    sheet.body->addSpacing(4);
    sheet.body->addWidget(LabelExplicacao);
    sheet.body->addWidget(LabelFonte);
    sheet.body->addStretch(1);

    auto *bottom = new QHBoxLayout;
    CheckBoxErradas =
        WindowKit::button<QCheckBox>(this, "CheckBoxErradas", QRect(), QStringLiteral("Só as erradas"));
    Hints::set(CheckBoxErradas, QStringLiteral("Passar só pelas questões erradas ou sem resposta"));
    // The buttons, placed by the layout: bold captions, glyphs of 20 pixels, at least 32 high.
    BBAnterior = WindowKit::button(this, "BBAnterior", QRect(), QStringLiteral("Anterior"),
                                   Artwork::glyph(this, "anterior", 20), 20);
    BBProximo = WindowKit::button(this, "BBProximo", QRect(), QStringLiteral("Próxima"),
                                  Artwork::glyph(this, "proxima", 20), 20);
    BBVerCodigo = WindowKit::button(this, "BBVerCodigo", QRect(), QStringLiteral("Ver no Código"),
                                    Artwork::glyph(this, "codigo", 20), 20);
    BBImprimir = WindowKit::button(this, "BBImprimir", QRect(), QStringLiteral("Imprimir"));
    BBFechar = WindowKit::button(this, "BBFechar", QRect(), QStringLiteral("Fechar"),
                                 Artwork::glyph(this, "fechar", 20), 20);
    for (QPushButton *b : {BBAnterior, BBProximo, BBVerCodigo, BBImprimir, BBFechar}) {
        b->setFont(WindowKit::font(12, true));
        b->setMinimumHeight(32);
    }
    Hints::set(BBAnterior, QStringLiteral("Questão anterior (seta para a esquerda)"));
    Hints::set(BBProximo, QStringLiteral("Próxima questão (seta para a direita)"));
    Hints::set(BBVerCodigo, QStringLiteral("Abrir o Código de Trânsito no artigo citado na fonte"));
    Hints::set(BBImprimir, QStringLiteral("Imprimir ou salvar em PDF a revisão das 30 questões"));
    Hints::set(BBFechar, QStringLiteral("Fechar a revisão (Esc)"));
    m_ouvir = new ReadAloud(this, this, QRect(), QRect(), [this] { return textoParaOuvir(); });
    for (QToolButton *b : {m_ouvir->ouvirButton(), m_ouvir->optionsButton()}) {
        b->setFont(WindowKit::font(12, true));
        b->setMinimumHeight(32);
        bottom->addWidget(b);
    }
    bottom->addWidget(CheckBoxErradas);
    bottom->addStretch(1);
    for (QPushButton *b : {BBAnterior, BBProximo, BBVerCodigo, BBImprimir, BBFechar})
        bottom->addWidget(b);

    // The content scrolls when the window is smaller than it (a small screen, large text).
    auto *layout = new QVBoxLayout(WindowKit::scrollingContent(this));
    layout->addLayout(top);
    layout->addWidget(ScrollQuestao, 1);
    layout->addLayout(bottom);

    connect(BBAnterior, &QPushButton::clicked, this, guard([this] { BBAnteriorClick(); }));
    connect(BBProximo, &QPushButton::clicked, this, guard([this] { BBProximoClick(); }));
    connect(BBVerCodigo, &QPushButton::clicked, this, guard([this] { BBVerCodigoClick(); }));
    connect(BBImprimir, &QPushButton::clicked, this, guard([this] { BBImprimirClick(); }));
    connect(BBFechar, &QPushButton::clicked, this, guard([this] { BBFecharClick(); }));
    connect(CheckBoxErradas, &QCheckBox::toggled, this, guard([this] { CheckBoxErradasClick(); }));

    connect(&ReadingSettings::instance(), &ReadingSettings::textScaleChanged, this,
            guard([this] { applyTextScale(); }));
    applyTextScale();

    // The window sees its stepping keys before its controls.
    qApp->installEventFilter(this);
    atualizaBotoes();
}

void TFormRevisao::applyTextScale()
{
    const ReadingSettings &reading = ReadingSettings::instance();
    LabelPosicao->setFont(WindowKit::font(reading.scaled(14), true));
    LabelSituacao->setFont(WindowKit::font(reading.scaled(14), true));
    LabelPergunta->setFont(WindowKit::font(reading.scaled(14), true));
    LabelExplicacao->setFont(WindowKit::font(reading.scaled(13), false));
    LabelFonte->setFont(WindowKit::font(reading.scaled(12), false));
    for (QLabel *l : std::as_const(LabelAlternativas))
        l->setFont(WindowKit::font(reading.scaled(13), l->font().bold()));
}

QString TFormRevisao::textoParaOuvir() const
{
    if (m_posicao < 1 || m_posicao > m_prova.size())
        return {};
    const QuestaoCorrigida &q = m_prova[m_posicao - 1];
    QStringList alternatives;
    for (int k = 0; k < quantas(q); ++k)
        alternatives << textoAlternativa(q, k);
    QString text = SpeechText::questionReading(texto(q.numero, QuestionKind::Text), alternatives,
                                               !texto(q.numero, QuestionKind::Picture).isEmpty());
    // The verdict without its mark, the letters by their names.
    QString verdict = situacao(q);
    verdict.remove(kSimboloCerta).remove(kSimboloErrada);
    static const QRegularExpression letterAlone(QStringLiteral("\\b([A-E])\\b(?=[,.)]|$| \\()"));
    QString said;
    qsizetype last = 0;
    for (auto it = letterAlone.globalMatch(verdict); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        said += QStringView(verdict).mid(last, m.capturedStart() - last);
        said += SpeechText::letterName(m.captured(1).at(0));
        last = m.capturedEnd();
    }
    said += QStringView(verdict).mid(last);
    text += QLatin1Char('\n') + SpeechText::spoken(said.trimmed());
    if (const QString explicacao = explicacaoDe(q.numero); !explicacao.isEmpty())
        text += QStringLiteral("\nExplicação: ") + SpeechText::spoken(explicacao);
    return text;
}

TFormRevisao::~TFormRevisao()
{
    qApp->removeEventFilter(this);
}

void TFormRevisao::setEscolheImpressora(EscolheImpressora choose)
{
    escolheImpressora = std::move(choose);
}

void TFormRevisao::setProva(const QList<QuestaoCorrigida> &prova, const QString &descricao)
{
    m_prova = prova;
    m_descricao = descricao;
    m_posicao = 0;
    if (!m_prova.isEmpty())
        MostraPosicao(1);
    atualizaBotoes();
}

void TFormRevisao::MostraPosicao(int posicao)
{
    if (posicao < 1 || posicao > m_prova.size())
        return;
    if (m_ouvir)
        m_ouvir->stop();
    m_posicao = posicao;
    const QuestaoCorrigida &q = m_prova[posicao - 1];
    LabelPosicao->setText(cabecalho(posicao, q.numero));
    LabelSituacao->setText(situacao(q));
    WindowKit::setTextColour(LabelSituacao, q.acertou() ? kRightText : kWrongText);

    QuestionSheet::showQuestion(LabelPergunta, ImageQuestao, texto(q.numero, QuestionKind::Text),
                                texto(q.numero, QuestionKind::Picture));
    const int mostradas = quantas(q);
    for (int k = 0; k < 5; ++k) {
        QLabel *l = LabelAlternativas[k];
        l->setVisible(k < mostradas);
        if (k >= mostradas) {
            l->clear();
            continue;
        }
        const Marca m = marcaDe(q, k);
        l->setText(alternativa(q, k));
        WindowKit::setColour(l, QPalette::Window, m.fundo.isValid() ? m.fundo : QColor(Qt::white));
        l->setFont(WindowKit::font(ReadingSettings::instance().scaled(13), !m.palavra.isEmpty()));
    }
    const QString explicacao = explicacaoDe(q.numero);
    const QString fonte = fonteDe(q.numero);
    LabelExplicacao->setText(QStringLiteral("Explicação: ") + explicacao);
    LabelExplicacao->setVisible(!explicacao.isEmpty());
    LabelFonte->setText(QStringLiteral("Fonte: ") + fonte);
    LabelFonte->setVisible(!fonte.isEmpty());
    const QList<ArticleRef> artigos = ArticleIndex::citedArticles(fonte);
    BBVerCodigo->setEnabled(!artigos.isEmpty());
    Hints::set(BBVerCodigo,
               artigos.isEmpty()
                   ? QStringLiteral("A fonte desta questão não cita artigo do Código de Trânsito")
                   : QStringLiteral("Abrir o Código de Trânsito no ") + artigos.first().toString());
    ScrollQuestao->ensureVisible(0, 0);
    atualizaBotoes();
    emit posicaoMudou(posicao);
}

bool TFormRevisao::conta(int p) const
{
    return p >= 1 && p <= m_prova.size() && (!CheckBoxErradas->isChecked() || !m_prova[p - 1].acertou());
}

int TFormRevisao::vizinha(int p, int step) const
{
    for (int q = p + step; q >= 1 && q <= m_prova.size(); q += step)
        if (conta(q))
            return q;
    return 0;
}

void TFormRevisao::atualizaBotoes()
{
    BBAnterior->setEnabled(vizinha(m_posicao, -1) != 0);
    BBProximo->setEnabled(vizinha(m_posicao, +1) != 0);
    BBImprimir->setEnabled(!m_prova.isEmpty());
    if (m_prova.isEmpty())
        BBVerCodigo->setEnabled(false);
}

void TFormRevisao::BBProximoClick()
{
    if (const int p = vizinha(m_posicao, +1))
        MostraPosicao(p);
}

void TFormRevisao::BBAnteriorClick()
{
    if (const int p = vizinha(m_posicao, -1))
        MostraPosicao(p);
}

void TFormRevisao::Primeira()
{
    if (const int p = vizinha(0, +1))
        MostraPosicao(p);
}

void TFormRevisao::Ultima()
{
    if (const int p = vizinha(static_cast<int>(m_prova.size()) + 1, -1))
        MostraPosicao(p);
}

void TFormRevisao::CheckBoxErradasClick()
{
    // A position the filter leaves out gives way to the next one it keeps (or the one before).
    if (!conta(m_posicao)) {
        if (const int p = vizinha(m_posicao, +1))
            MostraPosicao(p);
        else if (const int q = vizinha(m_posicao, -1))
            MostraPosicao(q);
    }
    atualizaBotoes();
}

void TFormRevisao::BBVerCodigoClick()
{
    if (m_posicao < 1)
        return;
    QuestionSheet::openCitedArticle(fonteDe(m_prova[m_posicao - 1].numero));
}

void TFormRevisao::BBImprimirClick()
{
    if (m_prova.isEmpty())
        return;
    escolheImpressora(this, [this](QPagedPaintDevice &printer) { Imprime(printer); });
}

void TFormRevisao::BBFecharClick()
{
    close();
}

QString TFormRevisao::descricao(int type, const QDateTime &start)
{
    QString name = ExamTypes::name(type);
    if (!name.isEmpty() && name.at(0).isDigit())
        name.prepend(QStringLiteral("Prova "));
    if (!start.isValid())
        return name;
    const QString when = start.toString(QStringLiteral("dd/MM/yyyy HH:mm"));
    return name.isEmpty() ? when : name + QStringLiteral(", ") + when;
}

QList<int> TFormRevisao::posicoesImpressas() const
{
    QList<int> list;
    for (int p = 1; p <= m_prova.size(); ++p)
        if (conta(p))
            list << p;
    return list;
}

QString TFormRevisao::resumoImpresso() const
{
    int acertos = 0;
    for (const QuestaoCorrigida &q : m_prova)
        acertos += q.acertou() ? 1 : 0;
    QString html = QStringLiteral("<h2>Revisão da prova</h2>");
    if (!m_descricao.isEmpty())
        html += QStringLiteral("<p><b>") + m_descricao.toHtmlEscaped() + QStringLiteral("</b></p>");
    html += QStringLiteral("<p>%1 %2 em %3 questões.</p>")
                .arg(acertos)
                .arg(acertos == 1 ? QStringLiteral("acerto") : QStringLiteral("acertos"))
                .arg(m_prova.size());
    if (CheckBoxErradas->isChecked()) {
        const qsizetype n = posicoesImpressas().size();
        html += QStringLiteral("<p>Só as erradas ou sem resposta: %1 %2.</p>")
                    .arg(n)
                    .arg(n == 1 ? QStringLiteral("questão") : QStringLiteral("questões"));
    }
    return html;
}

QString TFormRevisao::posicaoImpressa(int posicao, QTextDocument &document) const
{
    const QuestaoCorrigida &q = m_prova[posicao - 1];
    QString html =
        QStringLiteral("<h3>") + cabecalho(posicao, q.numero).toHtmlEscaped() + QStringLiteral("</h3>");
    html += QStringLiteral("<p style=\"color:%1\"><b>%2</b></p>")
                .arg((q.acertou() ? kRightText : kWrongText).name(), situacao(q).toHtmlEscaped());
    html += QStringLiteral("<p><b>") + texto(q.numero, QuestionKind::Text).trimmed().toHtmlEscaped() +
            QStringLiteral("</b></p>");
    const QString code = texto(q.numero, QuestionKind::Picture);
    const QImage figura = CarregarFigura(code, 3.0).toImage();
    if (!figura.isNull()) {
        const QSize size = TPictureStore::pictureSize(code);
        const QUrl url(QStringLiteral("figura:") + code);
        document.addResource(QTextDocument::ImageResource, url, figura);
        html += QStringLiteral("<p><img src=\"%1\" width=\"%2\" height=\"%3\"/></p>")
                    .arg(url.toString())
                    .arg(size.width())
                    .arg(size.height());
    }
    html += QStringLiteral("<table cellspacing=\"0\" cellpadding=\"3\" width=\"100%\">");
    for (int k = 0; k < quantas(q); ++k) {
        const Marca m = marcaDe(q, k);
        html += QStringLiteral("<tr><td") +
                (m.fundo.isValid() ? QStringLiteral(" bgcolor=\"%1\"").arg(m.fundo.name()) : QString()) +
                QStringLiteral(">") + (m.palavra.isEmpty() ? QString() : QStringLiteral("<b>")) +
                alternativa(q, k).toHtmlEscaped() +
                (m.palavra.isEmpty() ? QString() : QStringLiteral("</b>")) + QStringLiteral("</td></tr>");
    }
    html += QStringLiteral("</table>");
    const QString explicacao = explicacaoDe(q.numero);
    if (!explicacao.isEmpty())
        html +=
            QStringLiteral("<p><i>Explicação:</i> ") + explicacao.toHtmlEscaped() + QStringLiteral("</p>");
    const QString fonte = fonteDe(q.numero);
    if (!fonte.isEmpty())
        html += QStringLiteral("<p><i>Fonte:</i> ") + fonte.toHtmlEscaped() + QStringLiteral("</p>");
    return html;
}

namespace {
void preparaDocumento(QTextDocument &document)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(10);
    document.setDefaultFont(font);
}
} // namespace

void TFormRevisao::MontaImpressao(QTextDocument &document) const
{
    preparaDocumento(document);
    QString html = resumoImpresso();
    for (int p : posicoesImpressas())
        html += QStringLiteral("<hr/>") + posicaoImpressa(p, document);
    document.setHtml(html);
}

void TFormRevisao::Imprime(QPagedPaintDevice &printer) const
{
    // Each position is laid out on its own and goes whole on a page (a new page when it does not
    // fit what is left of one); every page is headed with the exam and its number. Layout is in the
    // screen's units, as QTextDocument::print lays out, and drawn scaled to the printer's.
    QPainter painter;
    if (!painter.begin(&printer))
        return;
    const QScreen *screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInchY() : 96.0;
    const int resolution = printer.logicalDpiY();
    const double scale = resolution / dpi;
    const QRectF paper = printer.pageLayout().paintRectPixels(resolution);
    const double width = paper.width() / scale;
    const double height = paper.height() / scale;
    const double gap = 12.0;

    std::vector<std::unique_ptr<QTextDocument>> parts;
    const auto add = [&](const auto &html) {
        auto document = std::make_unique<QTextDocument>();
        preparaDocumento(*document);
        document->setHtml(html(*document));
        document->setTextWidth(width);
        parts.push_back(std::move(document));
    };
    add([this](QTextDocument &) { return resumoImpresso(); });
    for (int p : posicoesImpressas())
        add([this, p](QTextDocument &d) { return posicaoImpressa(p, d); });

    const auto header = [&](int page, int pages) {
        auto document = std::make_unique<QTextDocument>();
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPointSizeF(8);
        document->setDefaultFont(font);
        const QString what = QStringLiteral("Quelvado · Revisão da prova") +
                             (m_descricao.isEmpty() ? QString() : QStringLiteral(" · ") + m_descricao);
        document->setHtml(
            QStringLiteral("<table width=\"100%\" cellspacing=\"0\" cellpadding=\"0\"><tr><td>") +
            what.toHtmlEscaped() +
            QStringLiteral("</td><td align=\"right\">página %1 de %2</td></tr></table><hr/>")
                .arg(page)
                .arg(pages));
        document->setTextWidth(width);
        return document;
    };
    const double top = header(1, 1)->size().height() + gap / 2;
    const double room = std::max(height - top, 1.0);

    // Where each part goes: its page and height on it; a part taller than a page runs on over as
    // many whole pages as it needs (from its own page's top).
    struct Placed {
        int page;
        double y;
        double from; // the part's own offset shown at y
        double size;
        QTextDocument *part;
    };
    std::vector<Placed> placed;
    int page = 0;
    double y = 0;
    for (const auto &part : parts) {
        const double h = part->size().height();
        if (y > 0 && y + h > room) {
            ++page;
            y = 0;
        }
        const int pieces = std::max(1, static_cast<int>(std::ceil(h / room)));
        for (int piece = 0; piece < pieces; ++piece) {
            const double from = piece * room;
            if (piece > 0) {
                ++page;
                y = 0;
            }
            const double size = std::max(0.0, std::min(room, h - from));
            placed.push_back({page, y, from, size, part.get()});
            y += size;
        }
        y += gap;
    }
    const int pages = page + 1;
    for (int p = 0; p < pages; ++p) {
        if (p > 0)
            printer.newPage();
        painter.save();
        painter.scale(scale, scale);
        header(p + 1, pages)->drawContents(&painter, QRectF(0, 0, width, top));
        for (const Placed &item : placed) {
            if (item.page != p)
                continue;
            painter.save();
            painter.translate(0, top + item.y - item.from);
            item.part->drawContents(&painter, QRectF(0, item.from, width, item.size));
            painter.restore();
        }
        painter.restore();
    }
    painter.end();
}

void TFormRevisao::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    tamanhoGuardado = size();
}

bool TFormRevisao::eventFilter(QObject *watched, QEvent *event)
{
    if (QKeyEvent *key = WindowKit::keyPressIn(this, watched, event); key && isActiveWindow()) {
        if (key->modifiers() & ~(Qt::KeypadModifier))
            return QWidget::eventFilter(watched, event);
        switch (key->key()) {
        case Qt::Key_Left:
        case Qt::Key_PageUp:
            guarded([this] { BBAnteriorClick(); });
            return true;
        case Qt::Key_Right:
        case Qt::Key_PageDown:
            guarded([this] { BBProximoClick(); });
            return true;
        case Qt::Key_Home:
            guarded([this] { Primeira(); });
            return true;
        case Qt::Key_End:
            guarded([this] { Ultima(); });
            return true;
        case Qt::Key_Escape:
            guarded([this] { BBFecharClick(); });
            return true;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}
