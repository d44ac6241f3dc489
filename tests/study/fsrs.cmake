# SPDX-FileCopyrightText: 2026 Vitrine Dolmar
# SPDX-License-Identifier: GPL-3.0-or-later

# The review scheduler's memory model (FSRS), replayed against the reference's fixture.
quelvado_test(tst_fsrs SOURCES tst_fsrs.cpp LIBS quelvado_study_core)
