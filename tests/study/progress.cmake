# SPDX-FileCopyrightText: 2026 Vitrine Dolmar
# SPDX-License-Identifier: GPL-3.0-or-later
quelvado_test(tst_progress SOURCES tst_progress.cpp LIBS quelvado_study quelvado_testwindows)
