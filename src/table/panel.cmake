# The information panel below the display table: HTML fragments and the panel document.
quillon_library(panel
    SOURCES
        PanelHtml.h PanelHtml.cpp
        DisplayInfoPanel.h DisplayInfoPanel.cpp
    LIBS Qt6::Gui Qt6::Network quillon_catalogue)
