# The Debian package (scripts/paquete builds it): what `cmake --install` puts in the prefix,
# with the dependencies dpkg-shlibdeps finds in the binaries plus the Qt plug-ins the
# program loads by name at run time, which no binary links.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME teqvaro)
set(CPACK_PACKAGE_VENDOR "Equipo Teqvaro")
set(CPACK_PACKAGE_CONTACT "Equipo Teqvaro <equipo@teqvaro.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "tablero de control de oportunidades de venta")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "El anfitrión de la suite de ventas Teqvaro y su módulo KLD251, el tablero de\n"
  "oportunidades. Cada vendedor ve las oportunidades que le corresponden, a través\n"
  "de las vistas configuradas, con el color de su estado; busca, ordena, recarga y\n"
  "actúa sobre la oportunidad seleccionada. Trabaja sobre una base SQLite de\n"
  "demostración o sobre una base PostgreSQL compartida por el equipo de ventas.")
# Installed under the prefix the build was configured with, so the paths compiled into the
# program (the computer's component registry) are the ones the package holds.
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Equipo Teqvaro <equipo@teqvaro.example>")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The SQLite driver opens the demo database, the SVG reader draws the board's icons and
# Qt's Spanish texts translate its own dialogs and buttons.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, libqt6svg6, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libqt6sql6-psql, fonts-dejavu-core")

include(CPack)
