# The GTK window's platform layer: the window services on GTK 3 and X11.

add_library(orvane_gtkplatform STATIC
    platform/window/GtkPlacement.cpp platform/window/GtkPlacement.h)
target_include_directories(orvane_gtkplatform PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(orvane_gtkplatform PUBLIC orvane_logic PkgConfig::GTK3 PRIVATE PkgConfig::XCB)
