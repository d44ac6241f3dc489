// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Line charts over time, drawn by the chart module (src/charts, on Qt Charts) that is loaded the
// first time a chart is made. A window describes what to draw (ChartContent) and the module
// draws it; without the module the chart's place says what is missing.

#include <QColor>
#include <QList>
#include <QPen>
#include <QPointF>
#include <QString>

class QWidget;

struct ChartSeries {
    enum class Kind {
        Line,   // points joined by a line
        Points, // points alone
        Band,   // the area between points (the lower edge) and upper
    };
    Kind kind = Kind::Line;
    QString name;          // in the legend
    QList<QPointF> points; // x in milliseconds since the epoch when the x axis holds dates
    QList<QPointF> upper;  // a band's upper edge
    QColor colour;         // invalid: the chart's own
    QColor border;         // a band's edge
    QPen pen;              // a line's, when penSet
    bool penSet = false;
    bool pointsVisible = false; // a line's points marked
    qreal markerSize = 0;       // points: 0 for the chart's own
    bool squareMarkers = false;
};

struct ChartAxis {
    bool dates = false; // x: moments (milliseconds since the epoch), labelled by format
    QString format;     // dates: a QDateTime format; values: a printf format
    QString title;
    double min = 0;
    double max = 1;
    int ticks = 2;
};

struct ChartContent {
    QList<ChartSeries> series; // drawn in this order
    ChartAxis x;
    ChartAxis y;
};

namespace Chart {
// A new chart view named name in parent, with title above and the legend below.
QWidget *make(QWidget *parent, const char *name, const QString &title);
// Draws content in a view make() made, in place of what it showed.
void show(QWidget *view, const ChartContent &content);
} // namespace Chart

// The chart module's entry points.
extern "C" QWidget *quelvado_chart_make(QWidget *parent, const QString &title);
extern "C" void quelvado_chart_show(QWidget *view, const ChartContent &content);
