# The drill of one's own mistakes: its schedule.
quelvado_test(tst_drill SOURCES tst_drill.cpp LIBS quelvado_study_core)
