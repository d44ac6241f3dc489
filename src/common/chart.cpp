// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "chart.h"

#include "common/modules.h"

#include <QLabel>

namespace {
struct Entries {
    decltype(&quelvado_chart_make) make = nullptr;
    decltype(&quelvado_chart_show) show = nullptr;
};

const Entries &entries()
{
    static const Entries loaded = [] {
        Entries e;
        e.make = Modules::function<decltype(&quelvado_chart_make)>("quelvado_charts", "quelvado_chart_make");
        e.show = Modules::function<decltype(&quelvado_chart_show)>("quelvado_charts", "quelvado_chart_show");
        return e.make && e.show ? e : Entries{};
    }();
    return loaded;
}
} // namespace

QWidget *Chart::make(QWidget *parent, const char *name, const QString &title)
{
    QWidget *view = nullptr;
    if (entries().make) {
        view = entries().make(parent, title);
    } else {
        auto *label =
            new QLabel(Modules::missing(QStringLiteral("desenhar o gráfico \"%1\"").arg(title)), parent);
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignCenter);
        view = label;
    }
    view->setObjectName(QLatin1String(name));
    return view;
}

void Chart::show(QWidget *view, const ChartContent &content)
{
    if (entries().show && !qobject_cast<QLabel *>(view))
        entries().show(view, content);
}
