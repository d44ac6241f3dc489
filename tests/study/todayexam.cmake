# SPDX-FileCopyrightText: 2026 Vitrine Dolmar
# SPDX-License-Identifier: GPL-3.0-or-later

# The exam in today's format: the draw, the correction, the countdown and its window.
quelvado_test(tst_todayexam SOURCES tst_todayexam.cpp
  LIBS quelvado_study quelvado_resources quelvado_testwindows)
