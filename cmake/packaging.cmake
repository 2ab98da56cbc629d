# The Debian package, built by `cpack -G DEB` (scripts/package.sh) from the
# program folder of the build:
#   /usr/lib/orbita        the program folder: orbita, orbita-tool, ORBITA.DAT,
#                          KARNACJE/, TESTY/, the sounds, FAKTURA.BMP, orbita.png
#   /usr/bin               orbita and orbita-tool, relative symbolic links into it
#   /usr/share/...         the desktop entry, the theme icons, the AppStream
#                          metadata, the copyright and the changelog
# Installed there the program folder is read-only; the program keeps skins,
# tests and backups in the per-user data folder.
set(ORBITA_APP_ID org.example.orbita)
set(ORBITA_HOMEPAGE "https://orbita.example.org/")
set(ORBITA_SCREENSHOTS "https://orbita.example.org/screenshots")
set(ORBITA_MAINTAINER "Orbita developers <orbita@example.org>")
set(ORBITA_PACKAGE_LIBDIR lib/orbita)
set(packaging_source ${CMAKE_SOURCE_DIR}/packaging)
set(packaging_build ${CMAKE_BINARY_DIR}/packaging)

# Dates of the metadata: $SOURCE_DATE_EPOCH when set (reproducible builds),
# else the time of configuring.
string(TIMESTAMP ORBITA_RELEASE_DATE "%Y-%m-%d" UTC)
string(TIMESTAMP ORBITA_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
configure_file(${packaging_source}/${ORBITA_APP_ID}.metainfo.xml.in
  ${packaging_build}/${ORBITA_APP_ID}.metainfo.xml @ONLY)
configure_file(${packaging_source}/changelog.in ${packaging_build}/changelog @ONLY)

# The program folder.
install(TARGETS orbita orbita-tool RUNTIME DESTINATION ${ORBITA_PACKAGE_LIBDIR})
set(program_files ORBITA.DAT INTRO.WAV OTWORZ.WAV ZAMKNIJ.WAV INSTALUJ.WAV FAKTURA.BMP orbita.png)
list(TRANSFORM program_files PREPEND ${ORBITA_PROGRAM_DIR}/)
install(FILES ${program_files} DESTINATION ${ORBITA_PACKAGE_LIBDIR})
install(DIRECTORY ${ORBITA_PROGRAM_DIR}/KARNACJE ${ORBITA_PROGRAM_DIR}/TESTY
  DESTINATION ${ORBITA_PACKAGE_LIBDIR} FILES_MATCHING PATTERN "*.obs" PATTERN "*.obt")
# The launchers: the program finds its folder through /proc/self/exe, which
# names the file the links point to.
install(CODE "
  set(bin \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin\")
  file(MAKE_DIRECTORY \"\${bin}\")
  foreach(name orbita orbita-tool)
    file(CREATE_LINK ../${ORBITA_PACKAGE_LIBDIR}/\${name} \"\${bin}/\${name}\" SYMBOLIC)
  endforeach()")

# The theme icons, drawn by the artwork generator.
set(theme_icons)
foreach(icon 48x48/apps/orbita.png 128x128/apps/orbita.png 256x256/apps/orbita.png scalable/apps/orbita.svg)
  list(APPEND theme_icons ${packaging_build}/icons/${icon})
endforeach()
add_custom_command(OUTPUT ${theme_icons}
  COMMAND $<TARGET_FILE:orbita-artgen> theme-icons ${packaging_build}/icons
  DEPENDS orbita-artgen
  COMMENT "Drawing the theme icons")
# The changelog (changelog.gz: the package has no Debian revision) is
# compressed without a name or time in the header, as Debian asks.
add_custom_command(OUTPUT ${packaging_build}/changelog.gz
  COMMAND gzip -9nkf ${packaging_build}/changelog
  DEPENDS ${packaging_build}/changelog
  COMMENT "Compressing the package changelog")
add_custom_target(orbita_packaging_files ALL DEPENDS ${theme_icons} ${packaging_build}/changelog.gz)
install(DIRECTORY ${packaging_build}/icons/ DESTINATION share/icons/hicolor)
install(FILES ${packaging_source}/${ORBITA_APP_ID}.desktop DESTINATION share/applications)
install(FILES ${packaging_build}/${ORBITA_APP_ID}.metainfo.xml DESTINATION share/metainfo)
install(FILES ${packaging_source}/copyright ${packaging_build}/changelog.gz DESTINATION share/doc/orbita)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orbita)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Orbita developers")
set(CPACK_PACKAGE_CONTACT ${ORBITA_MAINTAINER})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "multimedia periodic table of the elements (Polish)")
set(CPACK_PACKAGE_DESCRIPTION
  "Orbita is a Polish-language periodic table of the elements for pupils and\n"
  "teachers: element pages with descriptions and notes, a chemical dictionary,\n"
  "chemical tables, timed tests with grades, a unit converter and skins.\n"
  "\n"
  "The package also holds orbita-tool, the companion command-line program for\n"
  "content authors and teachers.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${ORBITA_HOMEPAGE})
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The shared libraries the binaries link come from dpkg-shlibdeps. What they
# load or read without linking is named here: Qt's Polish button texts and
# the fonts that stand in for the Windows faces the pages ask for.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n, fonts-liberation2, fonts-dejavu-core")
include(CPack)
