# SPDX-FileCopyrightText: 2026 Vitrine Dolmar
# SPDX-License-Identifier: GPL-3.0-or-later

# The study history: store and reload, totals, migration, damaged files, export.
quelvado_test(tst_history SOURCES tst_history.cpp LIBS quelvado_study_core quelvado_resources SQLite::SQLite3)

# A kill at any moment loses at most the exam being stored.
add_executable(historyworker historyworker.cpp)
target_link_libraries(historyworker PRIVATE quelvado_study_core quelvado_resources)
add_dependencies(tst_history historyworker)
target_compile_definitions(tst_history PRIVATE QUELVADO_HISTORYWORKER="$<TARGET_FILE:historyworker>")
