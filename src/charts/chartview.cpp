// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
// The chart module: ChartContent drawn with Qt Charts.
#include "common/chart.h"

#include <QAreaSeries>
#include <QChart>
#include <QChartView>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QLineSeries>
#include <QScatterSeries>
#include <QValueAxis>

namespace {
QAbstractAxis *axisOf(const ChartAxis &a)
{
    if (a.dates) {
        auto *axis = new QDateTimeAxis;
        axis->setFormat(a.format);
        axis->setRange(QDateTime::fromMSecsSinceEpoch(qint64(a.min)),
                       QDateTime::fromMSecsSinceEpoch(qint64(a.max)));
        axis->setTickCount(a.ticks);
        axis->setTitleText(a.title);
        return axis;
    }
    auto *axis = new QValueAxis;
    axis->setRange(a.min, a.max);
    axis->setTickCount(a.ticks);
    axis->setLabelFormat(a.format);
    axis->setTitleText(a.title);
    return axis;
}

QAbstractSeries *seriesOf(const ChartSeries &s)
{
    switch (s.kind) {
    case ChartSeries::Kind::Band: {
        auto *lower = new QLineSeries;
        auto *upper = new QLineSeries;
        lower->append(s.points);
        upper->append(s.upper);
        auto *band = new QAreaSeries(upper, lower);
        // The area series does not own its two lines: they go with it.
        upper->setParent(band);
        lower->setParent(band);
        band->setName(s.name);
        if (s.colour.isValid())
            band->setColor(s.colour);
        if (s.border.isValid())
            band->setBorderColor(s.border);
        return band;
    }
    case ChartSeries::Kind::Points: {
        auto *points = new QScatterSeries;
        points->setName(s.name);
        if (s.markerSize > 0)
            points->setMarkerSize(s.markerSize);
        if (s.squareMarkers)
            points->setMarkerShape(QScatterSeries::MarkerShapeRectangle);
        if (s.colour.isValid())
            points->setColor(s.colour);
        points->append(s.points);
        return points;
    }
    case ChartSeries::Kind::Line:
        break;
    }
    auto *line = new QLineSeries;
    line->setName(s.name);
    line->setPointsVisible(s.pointsVisible);
    if (s.penSet)
        line->setPen(s.pen);
    if (s.colour.isValid())
        line->setColor(s.colour);
    line->append(s.points);
    return line;
}
} // namespace

extern "C" Q_DECL_EXPORT QWidget *quelvado_chart_make(QWidget *parent, const QString &title)
{
    // The view's own chart (a chart set in its place would leave the view's first one unowned).
    auto *view = new QChartView(parent);
    QChart *chart = view->chart();
    chart->setTitle(title);
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->setMargins(QMargins(4, 4, 4, 4));
    view->setRenderHint(QPainter::Antialiasing);
    return view;
}

extern "C" Q_DECL_EXPORT void quelvado_chart_show(QWidget *view, const ChartContent &content)
{
    auto *chartView = qobject_cast<QChartView *>(view);
    if (!chartView)
        return;
    QChart *chart = chartView->chart();
    chart->removeAllSeries();
    for (QAbstractAxis *axis : chart->axes()) {
        chart->removeAxis(axis);
        delete axis;
    }
    for (const ChartSeries &s : content.series)
        chart->addSeries(seriesOf(s));
    QAbstractAxis *x = axisOf(content.x);
    QAbstractAxis *y = axisOf(content.y);
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    for (QAbstractSeries *series : chart->series()) {
        series->attachAxis(x);
        series->attachAxis(y);
    }
}
