# The main window on GTK 3: BrowserFrm, its container, twips, button texts, the page tools (keys,
# find bar, zoom, full screen).

set(ORVANE_GTKWINDOW_SOURCES
    browser/BrowserFrm.cpp browser/BrowserFrm.h browser/BrowserFrmImpl.h
    browser/FormResize.cpp
    browser/FindBar.cpp browser/FindBar.h
    browser/FullScreen.cpp browser/FullScreen.h
    browser/KeyTable.h
    browser/PageTools.cpp browser/PageTools.h
    browser/PageEvents.cpp
    browser/Toolbar.cpp
    browser/ButtonTexts.cpp browser/ButtonTexts.h
    browser/FreeLayout.cpp browser/FreeLayout.h
    browser/GObjectPtr.h
    browser/TwipsGeometry.cpp browser/TwipsGeometry.h
    browser/WindowTwips.cpp browser/WindowTwips.h
    browser/Zoom.cpp browser/Zoom.h)
add_library(orvane_gtkwindow STATIC ${ORVANE_GTKWINDOW_SOURCES})
target_include_directories(orvane_gtkwindow PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(orvane_gtkwindow PUBLIC orvane_logic PkgConfig::GTK3)
# The buttons' icons, as bitmaps drawn beforehand at 32 and 64 pixels.
orvane_gresource(orvane_gtkwindow icons)
