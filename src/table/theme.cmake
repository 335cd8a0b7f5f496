# Theme and icons: the appearance rule, icon lookups, panel colours, and every image resource.
quillon_library(theme
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/Theme.h ${CMAKE_CURRENT_LIST_DIR}/Theme.cpp
    LIBS Qt6::Gui Qt6::Svg)

# Resources go onto the target itself: a .qrc among a static library's sources would be dropped by the linker.
set(_quillon_resources ${PROJECT_SOURCE_DIR}/resources)
file(GLOB _quillon_icons CONFIGURE_DEPENDS
    ${_quillon_resources}/*.svg ${_quillon_resources}/dark/*.svg)
qt_add_resources(quillon_theme quillon_icons
    PREFIX "/"
    BASE ${PROJECT_SOURCE_DIR}
    FILES ${_quillon_icons})
qt_add_resources(quillon_theme quillon_images
    PREFIX "/images"
    BASE ${_quillon_resources}/images
    FILES ${_quillon_resources}/images/Tessel.ico)
