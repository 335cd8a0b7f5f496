# The main window's side of discovery: from a search command to filled, evaluated table rows.
quillon_library(search
    SOURCES
        SearchOrchestrator.h SearchOrchestrator.cpp
    LIBS quillon_discovery quillon_platform quillon_control quillon_catalogue Qt6::Network)
