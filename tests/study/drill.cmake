# SPDX-FileCopyrightText: 2026 Vitrine Dolmar
# SPDX-License-Identifier: GPL-3.0-or-later

# The drill of one's own mistakes: its schedule, and its window over a history of its own.
quelvado_test(tst_drill SOURCES tst_drill.cpp LIBS quelvado_study quelvado_resources quelvado_testwindows)
add_dependencies(tst_drill cnt_rtf)
