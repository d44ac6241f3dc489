# SPDX-FileCopyrightText: 2026 Vitrine Dolmar
# SPDX-License-Identifier: GPL-3.0-or-later

# The chance of passing against synthetic candidates whose memory follows another model, and the
# replay of answers into memory (grades, first attempts, daily counts).
quelvado_test(tst_readiness SOURCES tst_readiness.cpp LIBS quelvado_study_core)
