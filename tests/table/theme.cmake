quillon_test(tst_theme SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_theme.cpp LIBS quillon_theme Qt6::Widgets)
