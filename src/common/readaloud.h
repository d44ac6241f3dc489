// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading aloud and larger text, the same in every window where a question is read: an "Ouvir"
// button ("BBOuvir") and the key F8 read the window's text aloud, a second press or any move to
// another question stops it; beside it a "Aa" button ("BBLeitura") opens a menu with the voice's
// speed (three steps) and, where the window offers it, the size of the text (100, 125 or 150 %).
// Both settings are kept in the settings file and shared by every window.
//
// To add it to a window: make a ReadAloud with the window, where its two buttons go and a function
// that returns the text to read (SpeechText::questionReading and spoken() give it); call stop()
// whenever the window shows another question; and, for the larger text, connect
// ReadingSettings::textScaleChanged to a function that sets the window's fonts through
// ReadingSettings::scaled() (text boxes keep their sizes and scroll).
//
// Where no voice is installed, "Ouvir", F8 and the speeds are off and the hint says what to
// install; the text size still works.

#include "common/speech.h"

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QString>

#include <functional>

class QActionGroup;
class QMenu;
class QShortcut;
class QToolButton;
class QWidget;

// The reading settings of the whole program, kept in the settings file (section "Leitura").
class ReadingSettings : public QObject {
    Q_OBJECT
public:
    static ReadingSettings &instance();

    SpeechEngine::Speed speed() const { return m_speed; }
    void setSpeed(SpeechEngine::Speed speed);
    // 100, 125 or 150.
    int textScale() const { return m_textScale; }
    void setTextScale(int percent);
    // A size in pixels grown to the text scale.
    int scaled(int pixelSize) const { return (pixelSize * m_textScale + 50) / 100; }
    // Reads them again from the settings file (the start, and tests that change the file).
    void reload();

signals:
    void textScaleChanged(int percent);

private:
    ReadingSettings();
    SpeechEngine::Speed m_speed = SpeechEngine::Speed::Normal;
    int m_textScale = 100;
};

class ReadAloud : public QObject {
    Q_OBJECT
public:
    // The key that reads and stops, in every window.
    static constexpr int kKey = Qt::Key_F8;

    enum class TextSize { Offered, NotOffered };
    // Puts "Ouvir" at ouvir and "Aa" at options on parent (left for a layout to place when a
    // rectangle is null), and F8 on window. text gives what to read when asked.
    ReadAloud(QWidget *window, QWidget *parent, QRect ouvir, QRect options, std::function<QString()> text,
              TextSize textSize = TextSize::Offered);
    ~ReadAloud() override;

    QToolButton *ouvirButton() const { return m_ouvir; }
    QToolButton *optionsButton() const { return m_options; }

    // "Ouvir" and F8: reads the text, or stops when this window is reading.
    void toggle();
    // Stops this window's reading (another question is shown, the window hides).
    void stop();
    bool isReading() const { return m_reading; }
    // Looks again whether a voice is there (on and off, and the hint); done as the window shows.
    void refresh();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void engineFinished();
    void engineFailed(const QString &message);

    QWidget *m_window;
    QToolButton *m_ouvir;
    QToolButton *m_options;
    QMenu *m_menu;
    QActionGroup *m_speeds;
    QShortcut *m_key;
    std::function<QString()> m_text;
    QPointer<SpeechEngine> m_engine;
    bool m_reading = false;
};
