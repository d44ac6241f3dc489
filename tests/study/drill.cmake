# The drill of one's own mistakes: its schedule, and its window over a history of its own.
# quelvado_download: the study windows bring today's exam core, which keeps its time limit in the
# settings file (the study core does not link the download core yet).
quelvado_test(tst_drill SOURCES tst_drill.cpp LIBS quelvado_study quelvado_download quelvado_resources)
add_dependencies(tst_drill cnt_rtf)
