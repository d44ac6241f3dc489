// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later

// Every question of the bank, shown on the exam page with its real fonts and boxes, can be read
// whole: the question text fits its label and the five alternatives fit their box at 1x.

#include "exam/formprova.h"
#include "exam/questionbank.h"

#include "controls/shadowlabel.h"

#include "fakes.h"

#include <QAbstractTextDocumentLayout>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTextEdit>
#include <QtTest>

class TestExamLayout : public QObject {
    Q_OBJECT
private slots:
    void everyQuestionFitsThePage();
    void alternativesScrollFromTheKeyboard();
};

void TestExamLayout::everyQuestionFitsThePage()
{
    TFormProva form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.findChild<QStackedWidget *>(QStringLiteral("Notebook1"))->setCurrentIndex(1);
    auto *label = form.findChild<TShadowLabel *>(QStringLiteral("LabelPergunta"));
    auto *memo = form.findChild<QTextEdit *>(QStringLiteral("Memo2"));
    QVERIFY(label && memo);
    QVERIFY(label->font().pointSizeF() >= 8 || label->font().pixelSize() >= 11);
    QVERIFY(memo->font().pointSizeF() >= 8 || memo->font().pixelSize() >= 11);

    QStringList tooLong;
    int tallest = 0;
    int tallestNumber = 0;
    for (const StoredQuestion &q : QuestionBank::instance().questions()) {
        form.exam().NumeroQuestao = q.number;
        form.MostraQuestao();
        const int needed = qCeil(memo->document()->documentLayout()->documentSize().height());
        if (needed > tallest) {
            tallest = needed;
            tallestNumber = q.number;
        }
        if (!label->textFits())
            tooLong << QStringLiteral("%1: question text does not fit its label").arg(q.number);
        if (needed > memo->viewport()->height())
            tooLong << QStringLiteral("%1: alternatives need %2 px, the box shows %3")
                           .arg(q.number)
                           .arg(needed)
                           .arg(memo->viewport()->height());
    }
    qInfo("tallest alternatives: question %d, %d px of %d", tallestNumber, tallest,
          memo->viewport()->height());
    QVERIFY2(tooLong.isEmpty(), qPrintable(tooLong.join(QLatin1Char('\n'))));
}

void TestExamLayout::alternativesScrollFromTheKeyboard()
{
    // With a larger system font the box may still overflow: it takes the focus from Tab and
    // scrolls with the arrow keys.
    TFormProva form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.findChild<QStackedWidget *>(QStringLiteral("Notebook1"))->setCurrentIndex(1);
    auto *memo = form.findChild<QTextEdit *>(QStringLiteral("Memo2"));
    QVERIFY(memo->focusPolicy() & Qt::TabFocus);
    QFont big = memo->font();
    big.setPixelSize(big.pixelSize() * 2);
    memo->setFont(big);
    form.exam().NumeroQuestao = 1;
    form.MostraQuestao();
    memo->setFocus();
    QTRY_VERIFY(memo->verticalScrollBar()->maximum() > 0);
    const int before = memo->verticalScrollBar()->value();
    QTest::keyClick(memo, Qt::Key_PageDown);
    QVERIFY(memo->verticalScrollBar()->value() > before);
}

QTEST_MAIN(TestExamLayout)
#include "tst_examlayout.moc"
