// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "questionsheet.h"

#include "codereader/articleindex.h"
#include "codereader/formcodigo.h"
#include "common/appwindows.h"
#include "common/windowkit.h"
#include "signs/picturestore.h"

#include <QLabel>
#include <QScrollArea>
#include <QVBoxLayout>

QString QuestionSheet::rightSymbol()
{
    return QStringLiteral("✔");
}

QString QuestionSheet::wrongSymbol()
{
    return QStringLiteral("✘");
}

QString QuestionSheet::letter(int k)
{
    return QString(QChar(u'A' + k));
}

QLabel *QuestionSheet::textLabel(QWidget *parent, const char *name, int pixelSize, bool bold)
{
    auto *l = WindowKit::make<QLabel>(parent, name);
    l->setWordWrap(true);
    l->setFont(WindowKit::font(pixelSize, bold));
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return l;
}

QLabel *QuestionSheet::alternativeLabel(QWidget *sheet, int k)
{
    QLabel *l = textLabel(sheet, nullptr, 13, false);
    l->setObjectName(QStringLiteral("LabelAlternativa") + letter(k));
    l->setAutoFillBackground(true);
    l->setMargin(4);
    return l;
}

QuestionSheet::Sheet QuestionSheet::make(QWidget *parent)
{
    Sheet s;
    s.scroll = WindowKit::make<QScrollArea>(parent, "ScrollQuestao");
    s.scroll->setWidgetResizable(true);
    s.scroll->setFocusPolicy(Qt::NoFocus);
    s.page = WindowKit::make<QWidget>(nullptr, "FolhaQuestao");
    WindowKit::fillBackground(s.page, Qt::white);
    s.body = new QVBoxLayout(s.page);
    s.body->setSpacing(8);
    s.question = textLabel(s.page, "LabelPergunta", 14, true);
    s.body->addWidget(s.question);
    s.picture = WindowKit::make<QLabel>(s.page, "ImageQuestao");
    s.picture->setAlignment(Qt::AlignCenter);
    s.body->addWidget(s.picture);
    s.scroll->setWidget(s.page);
    return s;
}

void QuestionSheet::showQuestion(QLabel *text, QLabel *picture, const QString &question,
                                 const QString &pictureCode)
{
    text->setText(question.trimmed());
    const QPixmap figura = CarregarFigura(pictureCode, picture->devicePixelRatioF());
    picture->setPixmap(figura);
    picture->setVisible(!figura.isNull());
}

bool QuestionSheet::openCitedArticle(const QString &source)
{
    const QList<ArticleRef> artigos = ArticleIndex::citedArticles(source);
    auto *leitor = qobject_cast<TFormCodigo *>(AppWindows::get(AppWindow::Codigo));
    if (artigos.isEmpty())
        return false;
    if (leitor) {
        AppWindows::show(AppWindow::Codigo);
        leitor->MostraArtigo(artigos.first());
    }
    return true;
}
