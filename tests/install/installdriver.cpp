// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later

// Drives the real program the way a person would, from inside its own process: the install test
// loads this library into the installed program with LD_PRELOAD, so the program under test is the
// installed file itself, with no test hook of its own.
//
// Once the main window shows, it opens the exam window, starts the personalised exam, answers the
// first question, goes on to the second, asks to close the exam window, opens the traffic code
// reader and loads its text, opens the help, and closes the main window. Each step prints one line
// to standard output ("driver: ..."); a step that does not come within the time limit prints
// "driver: timeout ..." and ends the program with exit code 3.

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTextBrowser>
#include <QTextEdit>
#include <QTimer>
#include <QtTest/QTest>

#include <cstdio>
#include <functional>
#include <vector>

namespace {

QWidget *window(const char *name)
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String(name))
            return w;
    return nullptr;
}

template <typename T> T *control(const char *windowName, const char *name)
{
    QWidget *w = window(windowName);
    return w ? w->findChild<T *>(QLatin1String(name)) : nullptr;
}

void say(const QString &line)
{
    std::printf("driver: %s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

// One step: done when it returns true; retried every 50 ms until then.
struct Step {
    const char *name;
    std::function<bool()> run;
};

class Driver : public QObject {
public:
    Driver()
    {
        m_steps = {
            {"main window",
             [] {
                 auto *button = control<QAbstractButton>("FormTopo", "RxSBProva");
                 if (!button || !button->isVisible())
                     return false;
                 button->click();
                 return true;
             }},
            {"exam selection",
             [] {
                 auto *radio = control<QRadioButton>("FormProva", "RadioProva17");
                 auto *start = control<QAbstractButton>("FormProva", "BitBtn1");
                 if (!radio || !start || !radio->isVisible())
                     return false;
                 radio->click();
                 start->click();
                 return true;
             }},
            {"first question",
             [] {
                 auto *pages = control<QStackedWidget>("FormProva", "Notebook1");
                 QWidget *counter = control<QWidget>("FormProva", "LEDDisplayQuestao");
                 auto *alternatives = control<QTextEdit>("FormProva", "Memo2");
                 auto *answer = control<QLineEdit>("FormProva", "EditResposta");
                 auto *next = control<QAbstractButton>("FormProva", "BBProximo");
                 if (!pages || pages->currentIndex() != 1 || !counter || !alternatives || !answer || !next ||
                     counter->property("Value").toInt() != 1 || alternatives->toPlainText().isEmpty())
                     return false;
                 say(QStringLiteral("questão 1: ") +
                     alternatives->toPlainText().section(QLatin1Char('\n'), 0, 0));
                 answer->setFocus();
                 QTest::keyClick(answer, Qt::Key_A);
                 say(QStringLiteral("resposta 1: ") + answer->text());
                 next->click();
                 return true;
             }},
            {"second question",
             [] {
                 QWidget *counter = control<QWidget>("FormProva", "LEDDisplayQuestao");
                 auto *alternatives = control<QTextEdit>("FormProva", "Memo2");
                 if (!counter || !alternatives || counter->property("Value").toInt() != 2)
                     return false;
                 say(QStringLiteral("questão 2: ") +
                     alternatives->toPlainText().section(QLatin1Char('\n'), 0, 0));
                 window("FormProva")->close();
                 return true;
             }},
            {"traffic code",
             [] {
                 if (auto *button = control<QAbstractButton>("FormTopo", "RxSBCodigo");
                     button && !m_codeAsked) {
                     m_codeAsked = true;
                     button->click();
                 }
                 auto *open = control<QAbstractButton>("FormCodigo", "BBAbrirCodigo");
                 if (!open || !open->isVisible())
                     return false;
                 open->click();
                 return true;
             }},
            {"traffic code text",
             [] {
                 auto *text = control<QTextEdit>("FormCodigo", "RichEdit");
                 if (!text || text->document()->characterCount() < 1000)
                     return false;
                 say(QStringLiteral("código: %1 caracteres").arg(text->document()->characterCount()));
                 return true;
             }},
            {"help",
             [] {
                 if (auto *button = control<QAbstractButton>("FormTopo", "RxSBAjuda");
                     button && !m_helpAsked) {
                     m_helpAsked = true;
                     button->click();
                 }
                 auto *browser = control<QTextBrowser>("HelpWindow", "HelpBrowser");
                 if (!browser || browser->document()->characterCount() < 100)
                     return false;
                 say(QStringLiteral("ajuda: %1 caracteres").arg(browser->document()->characterCount()));
                 return true;
             }},
            {"closing",
             [] {
                 QWidget *main = window("FormTopo");
                 if (!main)
                     return false;
                 say(QStringLiteral("fim"));
                 main->close();
                 return true;
             }},
        };
        m_timer.setInterval(50);
        connect(&m_timer, &QTimer::timeout, this, [this] { tick(); });
        m_timer.start();
    }

private:
    void tick()
    {
        // A step that waits on a loop of its own (the reader's load) lets this timer run again
        // meanwhile: that turn is skipped.
        if (m_inStep)
            return;
        if (m_next >= m_steps.size()) {
            m_timer.stop();
            return;
        }
        const Step &step = m_steps[m_next];
        m_inStep = true;
        const bool done = step.run();
        m_inStep = false;
        if (done) {
            ++m_next;
            m_tries = 0;
        } else if (++m_tries > 400) { // 20 s
            say(QStringLiteral("timeout at step \"%1\"").arg(QLatin1String(step.name)));
            std::fflush(stdout);
            QCoreApplication::exit(3);
        }
    }

    static inline bool m_codeAsked = false;
    static inline bool m_helpAsked = false;
    std::vector<Step> m_steps;
    std::size_t m_next = 0;
    int m_tries = 0;
    bool m_inStep = false;
    QTimer m_timer;
};

void startDriver()
{
    auto *driver = new Driver;
    driver->setParent(QCoreApplication::instance());
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(startDriver)
