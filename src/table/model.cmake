# The display list model, its sort proxy and the table view with its menus.
quillon_library(table
    SOURCES
        displayListModel.h
        displayListModel.cpp
        MySortFilterProxyModel.h
        MySortFilterProxyModel.cpp
        MyTableView.h
        MyTableView.cpp
    LIBS
        Qt6::Gui
        Qt6::Network
        Qt6::Widgets
        quillon_theme
        quillon_update
)
