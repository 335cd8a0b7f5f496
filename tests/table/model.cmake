# The display list model, its sort proxy and the table view.
quillon_test(tst_displaylistmodel SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_displaylistmodel.cpp LIBS quillon_table)
quillon_test(tst_mysortfilterproxymodel SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_mysortfilterproxymodel.cpp LIBS quillon_table)
quillon_test(tst_mytableview SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_mytableview.cpp LIBS quillon_table)
quillon_test(tst_updatestatustext SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_updatestatustext.cpp LIBS quillon_update)
