// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later

// The baselines of the start-up benchmark: a bare Qt window (optionally painting one line of text) that
// reports its first paint the same way the program does ("first-paint-ms N rss-kb N") and ends.

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPainter>
#include <QTimer>
#include <QWidget>

#include <cstdio>

namespace {
class Bare : public QWidget {
protected:
    void paintEvent(QPaintEvent *) override
    {
        if (m_done)
            return;
        if (withText) {
            QPainter p(this);
            p.drawText(10, 20, QStringLiteral("Quelvado - Prova Simulada"));
        }
        m_done = true;
        QTimer::singleShot(0, [] {
            long rss = 0;
            QFile status(QStringLiteral("/proc/self/status"));
            if (status.open(QIODevice::ReadOnly))
                for (const QByteArray &line : status.readAll().split('\n'))
                    if (line.startsWith("VmRSS:"))
                        rss = line.mid(6).trimmed().split(' ').value(0).toLong();
            std::printf("first-paint-ms 0 rss-kb %ld\n", rss);
            std::fflush(stdout);
            QCoreApplication::quit();
        });
    }

public:
    bool withText = false;

private:
    bool m_done = false;
};
} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    Bare w;
    // "--text": the window paints one line of text, so the font set-up is part of the baseline.
    w.withText = argc > 1 && QByteArray(argv[1]) == "--text";
    w.resize(800, 81);
    w.setWindowState(Qt::WindowMaximized);
    w.show();
    return app.exec();
}
