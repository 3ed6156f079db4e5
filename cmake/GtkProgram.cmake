# The window program on GTK 3 and WebKitGTK, loaded by the executable after the instance test.
# Symbols of the static libraries stay inside: only the entry point is exported.

if(TARGET orvane_gtkwindow AND TARGET orvane_about AND TARGET orvane_gtkplatform
   AND TARGET orvane_web)
    add_library(orvane_gtk SHARED app/GtkMain.cpp app/ProgramEntry.h app/StartUp.cpp
                                  app/StartUp.h platform/window/Toolkit.cpp
                                  platform/window/Toolkit.h)
    target_link_libraries(orvane_gtk PRIVATE orvane_gtkwindow orvane_about orvane_gtkplatform
                                             orvane_web PkgConfig::GTK3)
    target_link_options(orvane_gtk PRIVATE -Wl,--exclude-libs,ALL -Wl,--no-undefined)
    set_target_properties(orvane_gtk PROPERTIES LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}
                                                CXX_VISIBILITY_PRESET hidden)
    add_dependencies(orvane orvane_gtk)
endif()
