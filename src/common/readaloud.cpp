// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "readaloud.h"

#include "common/dialogs.h"
#include "common/errordisplay.h"
#include "common/hints.h"
#include "common/settingsfile.h"
#include "common/windowkit.h"

#include <QActionGroup>
#include <QEvent>
#include <QMenu>
#include <QShortcut>
#include <QToolButton>

#include <algorithm>
#include <iterator>

namespace {
const QString kSection = QStringLiteral("Leitura");
const QString kSpeedKey = QStringLiteral("Velocidade");
const QString kTextKey = QStringLiteral("Texto");

struct SpeedName {
    SpeechEngine::Speed speed;
    const char *key;
    const char *caption;
};
const SpeedName kSpeeds[] = {
    {SpeechEngine::Speed::Slow, "devagar", "Voz devagar"},
    {SpeechEngine::Speed::Normal, "normal", "Voz normal"},
    {SpeechEngine::Speed::Fast, "rapida", "Voz rápida"},
};
const int kScales[] = {100, 125, 150};

QString ouvirHint()
{
    return QStringLiteral("Ouvir (F8)|Lê em voz alta o texto da questão; F8 ou Ouvir de novo para parar");
}
} // namespace

ReadingSettings &ReadingSettings::instance()
{
    static ReadingSettings *settings = new ReadingSettings;
    return *settings;
}

ReadingSettings::ReadingSettings()
{
    reload();
}

void ReadingSettings::reload()
{
    const QString file = SettingsFile::path();
    const QString speed = SettingsFile::readString(file, kSection, kSpeedKey, QStringLiteral("normal"));
    m_speed = SpeechEngine::Speed::Normal;
    for (const SpeedName &s : kSpeeds)
        if (speed.compare(QLatin1String(s.key), Qt::CaseInsensitive) == 0)
            m_speed = s.speed;
    const int scale = SettingsFile::readString(file, kSection, kTextKey, QStringLiteral("100")).toInt();
    const int old = m_textScale;
    m_textScale = 100;
    for (int s : kScales)
        if (scale == s)
            m_textScale = s;
    if (old != m_textScale)
        emit textScaleChanged(m_textScale);
}

void ReadingSettings::setSpeed(SpeechEngine::Speed speed)
{
    m_speed = speed;
    for (const SpeedName &s : kSpeeds)
        if (s.speed == speed)
            SettingsFile::writeString(SettingsFile::path(), kSection, kSpeedKey, QLatin1String(s.key));
}

void ReadingSettings::setTextScale(int percent)
{
    if (percent == m_textScale ||
        std::find(std::begin(kScales), std::end(kScales), percent) == std::end(kScales))
        return;
    m_textScale = percent;
    SettingsFile::writeString(SettingsFile::path(), kSection, kTextKey, QString::number(percent));
    emit textScaleChanged(percent);
}

ReadAloud::ReadAloud(QWidget *window, QWidget *parent, QRect ouvir, QRect options,
                     std::function<QString()> text, TextSize textSize)
    : QObject(window), m_window(window), m_text(std::move(text))
{
    m_ouvir = WindowKit::button<QToolButton>(parent, "BBOuvir", ouvir, QStringLiteral("Ouvir"));
    m_ouvir->setCheckable(true);
    m_ouvir->setToolButtonStyle(Qt::ToolButtonTextOnly);
    m_ouvir->setFocusPolicy(Qt::TabFocus);
    m_ouvir->setAccessibleName(QStringLiteral("Ouvir (F8)"));
    connect(m_ouvir, &QToolButton::clicked, this, guard([this] {
                // The button shows whether this window reads; the click only asks.
                m_ouvir->setChecked(m_reading);
                toggle();
            }));

    m_options = WindowKit::button<QToolButton>(parent, "BBLeitura", options, QStringLiteral("Aa"));
    m_options->setPopupMode(QToolButton::InstantPopup);
    m_options->setFocusPolicy(Qt::TabFocus);
    m_options->setAccessibleName(QStringLiteral("Opções de leitura"));
    Hints::set(m_options, textSize == TextSize::Offered
                              ? QStringLiteral("Opções de leitura|Velocidade da voz e tamanho do texto")
                              : QStringLiteral("Opções de leitura|Velocidade da voz"));
    m_menu = new QMenu(m_options);
    m_menu->setObjectName(QStringLiteral("MenuLeitura"));
    m_speeds = new QActionGroup(m_menu);
    for (const SpeedName &s : kSpeeds) {
        QAction *a = m_menu->addAction(QString::fromUtf8(s.caption));
        a->setObjectName(QStringLiteral("Velocidade_") + QLatin1String(s.key));
        a->setCheckable(true);
        a->setChecked(ReadingSettings::instance().speed() == s.speed);
        m_speeds->addAction(a);
        const SpeechEngine::Speed speed = s.speed;
        connect(a, &QAction::triggered, this,
                guard([speed] { ReadingSettings::instance().setSpeed(speed); }));
    }
    if (textSize == TextSize::Offered) {
        m_menu->addSeparator();
        auto *sizes = new QActionGroup(m_menu);
        for (int scale : kScales) {
            QAction *a = m_menu->addAction(scale == 100 ? QStringLiteral("Texto normal")
                                                        : QStringLiteral("Texto maior (%1 %)").arg(scale));
            a->setObjectName(QStringLiteral("Texto_%1").arg(scale));
            a->setCheckable(true);
            a->setChecked(ReadingSettings::instance().textScale() == scale);
            sizes->addAction(a);
            connect(a, &QAction::triggered, this,
                    guard([scale] { ReadingSettings::instance().setTextScale(scale); }));
        }
        connect(&ReadingSettings::instance(), &ReadingSettings::textScaleChanged, sizes,
                guard([sizes](int percent) {
                    for (QAction *a : sizes->actions())
                        a->setChecked(a->objectName() == QStringLiteral("Texto_%1").arg(percent));
                }));
    }
    // The speed chosen in another window shows here too.
    connect(m_menu, &QMenu::aboutToShow, this, guard([this] {
                for (QAction *a : m_speeds->actions())
                    for (const SpeedName &s : kSpeeds)
                        if (a->objectName() == QStringLiteral("Velocidade_") + QLatin1String(s.key))
                            a->setChecked(ReadingSettings::instance().speed() == s.speed);
            }));
    m_options->setMenu(m_menu);

    m_key = new QShortcut(QKeySequence(kKey), window);
    m_key->setContext(Qt::WindowShortcut);
    connect(m_key, &QShortcut::activated, this, guard([this] {
                if (m_ouvir->isVisible() && m_ouvir->isEnabled())
                    toggle();
            }));
    // Whether a voice is there is looked at as the window shows (loading the voice does not hold
    // up the program's start) and at each press.
    window->installEventFilter(this);
    Hints::set(m_ouvir, ouvirHint());
}

ReadAloud::~ReadAloud()
{
    // The buttons may be gone already (they belong to the window's pages): the engine's end is
    // not heard any more.
    if (m_engine) {
        disconnect(m_engine, nullptr, this, nullptr);
        if (m_reading)
            m_engine->stop();
    }
}

void ReadAloud::refresh()
{
    const QString why = SpeechEngine::current().problem();
    m_ouvir->setEnabled(why.isEmpty());
    for (QAction *a : m_speeds->actions())
        a->setEnabled(why.isEmpty());
    Hints::set(m_ouvir, why.isEmpty() ? ouvirHint() : QStringLiteral("Ouvir indisponível|") + why);
}

void ReadAloud::toggle()
{
    if (m_reading) {
        stop();
        return;
    }
    refresh();
    if (!m_ouvir->isEnabled())
        return;
    const QString text = m_text ? m_text() : QString();
    if (text.trimmed().isEmpty())
        return;
    SpeechEngine &engine = SpeechEngine::current();
    if (m_engine != &engine) {
        if (m_engine)
            disconnect(m_engine, nullptr, this, nullptr);
        m_engine = &engine;
        connect(m_engine, &SpeechEngine::finished, this, guard([this] { engineFinished(); }));
        connect(m_engine, &SpeechEngine::failed, this, guard([this](const QString &m) { engineFailed(m); }));
    }
    // Another window's reading stops first (its finished() comes while m_reading is still false).
    engine.stop();
    m_reading = true;
    m_ouvir->setChecked(true);
    engine.say(text, ReadingSettings::instance().speed());
}

void ReadAloud::stop()
{
    if (!m_reading)
        return;
    if (m_engine)
        m_engine->stop();
    // An engine that had nothing running says nothing: the button goes back all the same.
    engineFinished();
}

void ReadAloud::engineFinished()
{
    m_reading = false;
    m_ouvir->setChecked(false);
}

void ReadAloud::engineFailed(const QString &message)
{
    if (!m_reading)
        return;
    Dialogs::current().message(Dialogs::Icon::Warning, QStringLiteral("Ouvir"), message);
}

bool ReadAloud::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window && event->type() == QEvent::Hide)
        stop();
    if (watched == m_window && event->type() == QEvent::Show)
        guarded([this] { refresh(); });
    return QObject::eventFilter(watched, event);
}
