# install.cmake -- install the game like a desktop game, and package it for Debian
set(QUORVANE_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)

# QUORVANE_INSTALL_BINDIR and QUORVANE_INSTALL_DATADIR come with the game's
# target, which needs the path between them.
install(TARGETS quorvane RUNTIME DESTINATION ${QUORVANE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/data/menu.bmp DESTINATION ${QUORVANE_INSTALL_DATADIR})

# Software centres find the game by its AppStream id, a reverse domain name,
# and reach the launcher through it: both files carry the id as their name.
# The project owns no domain yet; .invalid says so plainly, until it does.
set(QUORVANE_APP_ID invalid.quorvane.quorvane)
install(FILES ${QUORVANE_PACKAGING_DIR}/quorvane.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications
        RENAME ${QUORVANE_APP_ID}.desktop)

# The metainfo's releases come from the changelog, its one source: each entry's
# version and date (in the changelog's RFC 5322 form, e.g. "Mon, 07 Dec 2026").
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${QUORVANE_PACKAGING_DIR}/changelog)
file(READ ${QUORVANE_PACKAGING_DIR}/changelog QUORVANE_CHANGES)
string(REGEX MATCHALL "(^|\n)quorvane \\([^)]+\\)" QUORVANE_VERSIONS "${QUORVANE_CHANGES}")
string(REGEX MATCHALL "\n -- [^\n]+" QUORVANE_DATES "${QUORVANE_CHANGES}")
set(QUORVANE_RELEASES "")
set(QUORVANE_MONTHS Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
unset(QUORVANE_SOURCE_DATE_EPOCH)
foreach(version date IN ZIP_LISTS QUORVANE_VERSIONS QUORVANE_DATES)
  string(REGEX REPLACE ".*\\((.*)\\)" "\\1" version "${version}")
  if(NOT date MATCHES ", ([0-9][0-9]) (Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) ([0-9][0-9][0-9][0-9]) ([0-9][0-9]):([0-9][0-9]):([0-9][0-9]) ([+-])([0-9][0-9])([0-9][0-9])$")
    message(FATAL_ERROR "packaging/changelog: no date in the entry of ${version}")
  endif()
  list(FIND QUORVANE_MONTHS ${CMAKE_MATCH_2} month)
  math(EXPR month "${month} + 1")
  if(NOT DEFINED QUORVANE_SOURCE_DATE_EPOCH)
    # The newest entry's time in seconds since 1970 UTC: the days from the
    # civil date, the year counted from March so that a leap day comes last.
    set(day ${CMAKE_MATCH_1})
    set(year ${CMAKE_MATCH_3})
    math(EXPR seconds "${CMAKE_MATCH_4} * 3600 + ${CMAKE_MATCH_5} * 60 + ${CMAKE_MATCH_6}")
    math(EXPR zone "${CMAKE_MATCH_7}1 * (${CMAKE_MATCH_8} * 3600 + ${CMAKE_MATCH_9} * 60)")
    if(month GREATER 2)
      math(EXPR from_march "${month} - 3")
    else()
      math(EXPR from_march "${month} + 9")
      math(EXPR year "${year} - 1")
    endif()
    math(EXPR days "${year} * 365 + ${year} / 4 - ${year} / 100 + ${year} / 400 + (153 * ${from_march} + 2) / 5 + ${day} - 1 - 719468")
    math(EXPR QUORVANE_SOURCE_DATE_EPOCH "${days} * 86400 + ${seconds} - ${zone}")
  endif()
  if(month LESS 10)
    set(month 0${month})
  endif()
  string(APPEND QUORVANE_RELEASES "    <release version=\"${version}\" date=\"${CMAKE_MATCH_3}-${month}-${CMAKE_MATCH_1}\"/>\n")
endforeach()
configure_file(${QUORVANE_PACKAGING_DIR}/quorvane.metainfo.xml.in ${PROJECT_BINARY_DIR}/${QUORVANE_APP_ID}.metainfo.xml @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/${QUORVANE_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# Icons are cut from the title picture by tools/make_icons and committed, so
# that building needs no image tools.
file(GLOB QUORVANE_ICONS ${QUORVANE_PACKAGING_DIR}/icons/quorvane-*.png)
foreach(icon IN LISTS QUORVANE_ICONS)
  string(REGEX REPLACE ".*quorvane-([0-9]+)\\.png$" "\\1" size "${icon}")
  install(FILES ${icon} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME quorvane.png)
endforeach()

# Debian ships manual pages and changelogs compressed; man reads them either way.
find_program(QUORVANE_GZIP gzip)
foreach(doc quorvane.6 changelog)
  if(QUORVANE_GZIP)
    add_custom_command(
      OUTPUT ${PROJECT_BINARY_DIR}/${doc}.gz
      COMMAND ${CMAKE_COMMAND} -E copy ${QUORVANE_PACKAGING_DIR}/${doc} ${PROJECT_BINARY_DIR}/${doc}
      # -n leaves out the name and time stamp, so the package is reproducible.
      COMMAND ${QUORVANE_GZIP} -9nf ${PROJECT_BINARY_DIR}/${doc}
      DEPENDS ${QUORVANE_PACKAGING_DIR}/${doc}
      VERBATIM)
    list(APPEND QUORVANE_DOCS ${PROJECT_BINARY_DIR}/${doc}.gz)
  else()
    list(APPEND QUORVANE_DOCS ${QUORVANE_PACKAGING_DIR}/${doc})
  endif()
endforeach()
add_custom_target(quorvane_docs ALL DEPENDS ${QUORVANE_DOCS})
list(GET QUORVANE_DOCS 0 QUORVANE_MANPAGE)
list(GET QUORVANE_DOCS 1 QUORVANE_CHANGELOG)
install(FILES ${QUORVANE_MANPAGE} DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${QUORVANE_CHANGELOG} DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The licence in the machine-readable copyright format, from the one LICENSE text.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/LICENSE)
file(READ ${PROJECT_SOURCE_DIR}/LICENSE QUORVANE_LICENSE)
string(REGEX MATCH "Copyright \\(c\\) ([^\n]*)\n\n(.*[^\n])" QUORVANE_LICENSE "${QUORVANE_LICENSE}")
string(REPLACE "\n\n" "\n.\n" QUORVANE_LICENSE_BODY "${CMAKE_MATCH_2}")
string(REPLACE "\n" "\n " QUORVANE_LICENSE_BODY "${QUORVANE_LICENSE_BODY}")
file(WRITE ${PROJECT_BINARY_DIR}/copyright
     "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"
     "Upstream-Name: quorvane\n\n"
     "Files: *\nCopyright: ${CMAKE_MATCH_1}\nLicense: MIT\n ${QUORVANE_LICENSE_BODY}\n")
install(FILES ${PROJECT_BINARY_DIR}/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})

# Debian package: cpack -G DEB in the build folder.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quorvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "3-D brick-breaking game")
# CPack puts the summary on the first line and indents this text under it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Turn the paddle around the rim of a round field and knock the glowing\nbricks out with the balls. Six power-ups, each on its own key, split the\nballs, let them pass through bricks, speed them up, swap the turning keys\nor make the paddle bigger or smaller for a few seconds.")
if(NOT CPACK_DEBIAN_PACKAGE_MAINTAINER)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Quorvane maintainers <maintainers@quorvane.invalid>")
endif()
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# The same package from the same source. Every date in it is the newest
# changelog entry's (CPack stamps files with SOURCE_DATE_EPOCH), unless the
# packager chose another; read when cpack runs, so that its environment counts.
file(CONFIGURE OUTPUT ${PROJECT_BINARY_DIR}/CPackDate.cmake CONTENT
     "if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})\n  set(ENV{SOURCE_DATE_EPOCH} @QUORVANE_SOURCE_DATE_EPOCH@)\nendif()\n")
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_BINARY_DIR}/CPackDate.cmake)
# The staged folders take the packager's umask, and under 077 they would hide
# the game's data from every other user: 755 for all of them, as Debian wants.
file(WRITE ${PROJECT_BINARY_DIR}/CPackFolders.cmake
     "file(CHMOD_RECURSE \${CPACK_TEMPORARY_INSTALL_DIRECTORY} DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE\n"
     "     OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)\n")
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_BINARY_DIR}/CPackFolders.cmake)
include(CPack)
