// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// TClockFace: the analog clock of the exam page. A round twelve-hour dial with navy dots (large
// at the hours, small at the minutes) and hour, minute and second hands, showing the local time
// of day read from the Clock seam each time it paints. While visible it repaints once a second,
// just after each second begins; hiding it stops the timer, showing it starts it again.

#include <QTime>
#include <QTimer>
#include <QWidget>

class TClockFace : public QWidget {
    Q_OBJECT
public:
    // 135 x 135.
    explicit TClockFace(QWidget *parent = nullptr);

    // The time of day the face shows when painted now (Clock::current(), local time).
    static QTime time();
    // True while the once-a-second repaint is scheduled (only while the clock is visible).
    bool isTicking() const { return m_timer.isActive(); }

    // Hand reach as a share of the dial radius (the radius of the hour dots' centres): the hour
    // hand stops well short of the minute hand, the second hand reaches the dots.
    static constexpr double kHourReach = 0.55;
    static constexpr double kMinuteReach = 0.86;
    static constexpr double kSecondReach = 0.94;

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void tick();
    void scheduleTick();

    QTimer m_timer;
};
