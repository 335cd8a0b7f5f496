# The download flows the main window runs: the catalogue at start-up.
quillon_library(flows
    SOURCES
        CatalogueStartupFlow.h CatalogueStartupFlow.cpp
        FirmwareServer.h FirmwareServer.cpp
    LIBS quillon_download quillon_catalogue Qt6::Network)
