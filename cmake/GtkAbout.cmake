# The About box on GTK, with its pictures in a GResource bundle.

add_library(orvane_about STATIC about/frmAbout.cpp about/frmAbout.h)
target_include_directories(orvane_about PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(orvane_about PUBLIC orvane_logic PkgConfig::GTK3)
orvane_gresource(orvane_about about)
