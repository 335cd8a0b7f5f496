# The application update check and the cache maintenance commands of the Help and Tools menus.
quillon_library(maintenance
    SOURCES
        ApplicationUpdateCheck.h ApplicationUpdateCheck.cpp
        FirmwareCache.h FirmwareCache.cpp
        FileHashListing.h FileHashListing.cpp
        ReadmeFile.h ReadmeFile.cpp
    LIBS Qt6::Gui quillon_catalogue quillon_download quillon_platform)

# "View README" opens the file beside the program, so the build puts it there.
configure_file(${PROJECT_SOURCE_DIR}/resources/ReadMe.html ${PROJECT_BINARY_DIR}/src/app/ReadMe.html COPYONLY)
