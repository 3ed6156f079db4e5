# Installation and the Debian package.
#
# Orvane keeps its settings file "Orvane.ini" in the folder that holds its executable, so the
# program lives in a folder of its own, /opt/orvane, beside the window library it loads, and
# /usr/bin/orvane is a symbolic link to it (the program finds its real folder through
# /proc/self/exe). Every destination below is relative to the install prefix and mirrors the root
# of the file system: the prefix defaults to "/", the package is built with the same layout, and
# `cmake --install build --prefix STAGE` or `DESTDIR=STAGE cmake --install build` lays out a
# staging tree.

if(CMAKE_INSTALL_PREFIX_INITIALIZED_TO_DEFAULT)
    set(CMAKE_INSTALL_PREFIX "/" CACHE PATH "Install prefix (the root of the installed tree)" FORCE)
endif()

set(ORVANE_INSTALL_APPDIR "opt/orvane")
set(ORVANE_INSTALL_BINDIR "usr/bin")
set(ORVANE_INSTALL_DATADIR "usr/share")
set(ORVANE_INSTALL_DOCDIR "${ORVANE_INSTALL_DATADIR}/doc/orvane")
set(ORVANE_PACKAGE_FILES ${CMAKE_SOURCE_DIR}/resources/package)
set(ORVANE_INSTALL_STAGE ${CMAKE_BINARY_DIR}/install)
file(MAKE_DIRECTORY ${ORVANE_INSTALL_STAGE})

# The program and the window library on GTK that it loads from its own folder. Only that one:
# the package holds no Qt window and depends on no Qt library.
install(TARGETS orvane RUNTIME DESTINATION ${ORVANE_INSTALL_APPDIR})
install(TARGETS orvane_gtk LIBRARY DESTINATION ${ORVANE_INSTALL_APPDIR} NAMELINK_SKIP)
# Without the compilers' version notes (.comment), as Debian strips its own binaries.
if(CMAKE_OBJCOPY)
    install(CODE "foreach(_orvane_file orvane liborvane_gtk.so)
                      execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment
                          \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${ORVANE_INSTALL_APPDIR}/\${_orvane_file}\")
                  endforeach()")
endif()

# /usr/bin/orvane -> /opt/orvane/orvane, an absolute link (the two are in different top-level
# folders). Made at install time under the prefix then in force, so that a staging tree made
# with --prefix links to its own program; DESTDIR and the package's staging stay out of it.
install(CODE "set(_orvane_appdir \"${ORVANE_INSTALL_APPDIR}\")
              set(_orvane_bindir \"${ORVANE_INSTALL_BINDIR}\")")
install(CODE [[
    string(REGEX REPLACE "/+" "/" _orvane_target "${CMAKE_INSTALL_PREFIX}/${_orvane_appdir}/orvane")
    string(REGEX REPLACE "/+" "/" _orvane_installed "${CMAKE_INSTALL_PREFIX}/${_orvane_bindir}/orvane")
    string(REGEX REPLACE "/+" "/" _orvane_link "$ENV{DESTDIR}/${_orvane_installed}")
    get_filename_component(_orvane_linkdir "${_orvane_link}" DIRECTORY)
    file(MAKE_DIRECTORY "${_orvane_linkdir}")
    message(STATUS "Installing: ${_orvane_link} -> ${_orvane_target}")
    file(REMOVE "${_orvane_link}")
    file(CREATE_LINK "${_orvane_target}" "${_orvane_link}" SYMBOLIC)
    list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${_orvane_installed}")
]])

# The desktop entry, the AppStream description and the program icon, in the sizes of the
# program's own icon and as a scalable drawing.
install(FILES ${CMAKE_SOURCE_DIR}/resources/orvane.desktop
        DESTINATION ${ORVANE_INSTALL_DATADIR}/applications)
install(FILES ${ORVANE_PACKAGE_FILES}/orvane.metainfo.xml
        DESTINATION ${ORVANE_INSTALL_DATADIR}/metainfo RENAME fr.ulmeco.orvane.metainfo.xml)
foreach(size 48 32 16)
    install(FILES ${CMAKE_SOURCE_DIR}/resources/orvane/orvane-${size}.png
            DESTINATION ${ORVANE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME orvane.png OPTIONAL)
endforeach()
install(FILES ${CMAKE_SOURCE_DIR}/resources/orvane/orvane.svg
        DESTINATION ${ORVANE_INSTALL_DATADIR}/icons/hicolor/scalable/apps OPTIONAL)

# The manual page and the package's change log, compressed as Debian wants them (gzip -9, no
# name or time stamp inside, so that the package is the same from one build to the next). The
# manual is in French: it goes to the French manuals and to the default ones, which a user
# without a French locale reads.
find_program(ORVANE_GZIP gzip REQUIRED)
foreach(name orvane.1 changelog)
    execute_process(COMMAND ${ORVANE_GZIP} -9n -c ${ORVANE_PACKAGE_FILES}/${name}
                    OUTPUT_FILE ${ORVANE_INSTALL_STAGE}/${name}.gz COMMAND_ERROR_IS_FATAL ANY)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${ORVANE_PACKAGE_FILES}/${name})
endforeach()
install(FILES ${ORVANE_INSTALL_STAGE}/orvane.1.gz DESTINATION ${ORVANE_INSTALL_DATADIR}/man/fr/man1)
install(FILES ${ORVANE_INSTALL_STAGE}/orvane.1.gz DESTINATION ${ORVANE_INSTALL_DATADIR}/man/man1)
install(FILES ${ORVANE_PACKAGE_FILES}/copyright DESTINATION ${ORVANE_INSTALL_DOCDIR})
install(FILES ${ORVANE_INSTALL_STAGE}/changelog.gz DESTINATION ${ORVANE_INSTALL_DOCDIR}
        RENAME changelog.Debian.gz)

# What lintian is told to accept, each with its reason on the line before.
install(FILES ${ORVANE_PACKAGE_FILES}/lintian-overrides
        DESTINATION ${ORVANE_INSTALL_DATADIR}/lintian/overrides RENAME orvane)

# --- Debian package ------------------------------------------------------------------------
set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "orvane")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Ulmeco")
set(CPACK_PACKAGING_INSTALL_PREFIX "/")
set(CPACK_STRIP_FILES ON)
# Directories in the package belong to root whoever builds it.
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The Debian revision of this upstream version (resources/package/changelog's first entry).
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Ulmeco <orvane@ulmeco.fr>"
    CACHE STRING "Maintainer field of the Debian package")
set(CPACK_DEBIAN_PACKAGE_SECTION "web")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "http://www.ulmeco.fr/")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Navigateur internet d'Ulmeco / Ulmeco's web browser")
# The summary is the first line of the package's Description; what follows is the long text.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Orvane est le petit navigateur web du logiciel de comptabilité Ulmeco : une
seule fenêtre, une barre d'outils fixe, le site d'accueil et la messagerie
web donnés par Ulmeco au lancement, des liens configurables dans Orvane.ini.
.
Orvane is the small web browser of the Ulmeco accounting application: one
window, a fixed toolbar, the home and web-mail sites given by Ulmeco at start,
and configurable links kept in Orvane.ini beside the program.")
# Libraries the program and its window library link are found by dpkg-shlibdeps. Named here is
# what they use without linking it: the web processes' sandbox (bwrap and xdg-dbus-proxy, which
# the program looks for in /usr/bin and without which the sandbox stays off), and the SVG loader
# of the image library, which draws the toolbar's icons.
# GTK (libgtk-3-0) and WebKitGTK (libwebkit2gtk-4.1-0) come from dpkg-shlibdeps, with versions.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "bubblewrap, xdg-dbus-proxy, librsvg2-common")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "hicolor-icon-theme")

include(CPack)
