# The main window's side of discovery: from a search command to filled, evaluated table rows.
quillon_library(search
    SOURCES
        NetworkAdapter.h
        NetworkAdapterList.h NetworkAdapterList.cpp
        SearchOrchestrator.h SearchOrchestrator.cpp
    LIBS quillon_discovery quillon_control quillon_catalogue Qt6::Network)
