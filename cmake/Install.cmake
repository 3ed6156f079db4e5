# Installation and the Debian package.
#
# Orvane keeps its settings file "Orvane.ini" in the folder that holds its executable, so the
# program lives in a folder of its own, /opt/orvane, and /usr/bin/orvane is a symbolic link to it
# (the program finds its real folder through /proc/self/exe). Every destination below is relative
# to the install prefix and mirrors the root of the file system: the prefix defaults to "/", the
# package is built with the same layout, and `cmake --install build --prefix STAGE` or
# `DESTDIR=STAGE cmake --install build` lays out a staging tree.

if(CMAKE_INSTALL_PREFIX_INITIALIZED_TO_DEFAULT)
    set(CMAKE_INSTALL_PREFIX "/" CACHE PATH "Install prefix (the root of the installed tree)" FORCE)
endif()

set(ORVANE_INSTALL_APPDIR "opt/orvane")
set(ORVANE_INSTALL_BINDIR "usr/bin")
set(ORVANE_INSTALL_DATADIR "usr/share")

# The program and the window library it loads from its own folder.
install(TARGETS orvane RUNTIME DESTINATION ${ORVANE_INSTALL_APPDIR})
install(TARGETS orvane_gtk LIBRARY DESTINATION ${ORVANE_INSTALL_APPDIR} NAMELINK_SKIP)

# Relative link, so that it also points at the program inside a staging tree.
file(RELATIVE_PATH _orvane_link_target "/${ORVANE_INSTALL_BINDIR}" "/${ORVANE_INSTALL_APPDIR}/orvane")
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/install)
file(CREATE_LINK ${_orvane_link_target} ${CMAKE_BINARY_DIR}/install/orvane SYMBOLIC)
install(FILES ${CMAKE_BINARY_DIR}/install/orvane DESTINATION ${ORVANE_INSTALL_BINDIR})

install(FILES ${CMAKE_SOURCE_DIR}/resources/orvane.desktop
        DESTINATION ${ORVANE_INSTALL_DATADIR}/applications)

# The program icon, in the sizes of the program's own icon and as a scalable drawing.
foreach(size 48 32 16)
    install(FILES ${CMAKE_SOURCE_DIR}/resources/orvane/orvane-${size}.png
            DESTINATION ${ORVANE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME orvane.png OPTIONAL)
endforeach()
install(FILES ${CMAKE_SOURCE_DIR}/resources/orvane/orvane.svg
        DESTINATION ${ORVANE_INSTALL_DATADIR}/icons/hicolor/scalable/apps OPTIONAL)

# --- Debian package ------------------------------------------------------------------------
set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "orvane")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Ulmeco")
set(CPACK_PACKAGING_INSTALL_PREFIX "/")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
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
# Libraries the executable links are found by dpkg-shlibdeps; the pieces Qt loads at run time
# are named here: the engine's helper process QtWebEngineProcess, Qt's French translations, the
# SVG image and icon plug-ins, and the xcb platform plug-in (shipped in libqt6gui6 on Debian 12;
# qt6-qpa-plugins holds only the VNC and TUIO plug-ins). xdg-utils hands mailto: and other
# external addresses to the desktop.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libqt6webenginecore6-bin, qt6-translations-l10n, libqt6svg6, libqt6gui6")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "hicolor-icon-theme, xdg-utils")

include(CPack)
