# SPDX-FileCopyrightText: 2026 Vitrine Dolmar
# SPDX-License-Identifier: GPL-3.0-or-later
# The window's charts come from the chart module; the test reads them through Qt Charts itself.
find_package(Qt6 REQUIRED COMPONENTS Charts)
quelvado_test(tst_progress SOURCES tst_progress.cpp LIBS quelvado_study quelvado_testwindows Qt6::Charts)
