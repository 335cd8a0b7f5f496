# The information panel: its HTML fragments and the panel document of a row.
quillon_test(tst_panelhtml SOURCES tst_panelhtml.cpp LIBS quillon_panel)
quillon_test(tst_displayinfopanel SOURCES tst_displayinfopanel.cpp LIBS quillon_panel)
