# install.cmake -- install the game like a desktop game, and package it for Debian
include(GNUInstallDirs)

set(QUORVANE_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)

install(TARGETS quorvane RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The game reads menu.bmp from its working directory; the launcher below starts
# it in this folder.
install(FILES ${PROJECT_SOURCE_DIR}/data/menu.bmp DESTINATION ${CMAKE_INSTALL_DATADIR}/quorvane)

# Icons are cut from the title picture by tools/make_icons and committed, so
# that building needs no image tools.
file(GLOB QUORVANE_ICONS ${QUORVANE_PACKAGING_DIR}/icons/quorvane-*.png)
foreach(icon IN LISTS QUORVANE_ICONS)
  string(REGEX REPLACE ".*quorvane-([0-9]+)\\.png$" "\\1" size "${icon}")
  install(FILES ${icon} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME quorvane.png)
endforeach()

# Debian ships manual pages compressed; man reads them either way.
find_program(QUORVANE_GZIP gzip)
if(QUORVANE_GZIP)
  set(QUORVANE_MANPAGE ${PROJECT_BINARY_DIR}/quorvane.6.gz)
  add_custom_command(
    OUTPUT ${QUORVANE_MANPAGE}
    COMMAND ${CMAKE_COMMAND} -E copy ${QUORVANE_PACKAGING_DIR}/quorvane.6 ${PROJECT_BINARY_DIR}/quorvane.6
    # -n leaves out the name and time stamp, so the package is reproducible.
    COMMAND ${QUORVANE_GZIP} -9nf ${PROJECT_BINARY_DIR}/quorvane.6
    DEPENDS ${QUORVANE_PACKAGING_DIR}/quorvane.6
    VERBATIM)
  add_custom_target(quorvane_manpage ALL DEPENDS ${QUORVANE_MANPAGE})
else()
  set(QUORVANE_MANPAGE ${QUORVANE_PACKAGING_DIR}/quorvane.6)
endif()
install(FILES ${QUORVANE_MANPAGE} DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)

# The desktop entry's Path must name the data folder where it finally lives,
# and the prefix is only known at install time (cmake --install --prefix, or
# CPack's /usr under its staging DESTDIR), so the entry is configured then.
install(CODE "
  set(QUORVANE_DESKTOP_TEMPLATE [[${QUORVANE_PACKAGING_DIR}/quorvane.desktop.in]])
  set(QUORVANE_DESKTOP_STAGING [[${PROJECT_BINARY_DIR}/desktop-entry]])
  set(QUORVANE_DATADIR [[${CMAKE_INSTALL_DATADIR}]])
")
install(CODE [[
  set(_quorvane_share_dir "${QUORVANE_DATADIR}")
  if(NOT IS_ABSOLUTE "${_quorvane_share_dir}")
    set(_quorvane_share_dir "${CMAKE_INSTALL_PREFIX}/${_quorvane_share_dir}")
  endif()
  get_filename_component(_quorvane_share_dir "${_quorvane_share_dir}" ABSOLUTE)
  set(_quorvane_data_dir "${_quorvane_share_dir}/quorvane")
  # A backslash starts an escape in a desktop entry's values; a literal one is doubled.
  string(REPLACE "\\" "\\\\" QUORVANE_DESKTOP_PATH "${_quorvane_data_dir}")
  # One staging file per destination: an install test and a package build may
  # run at the same time from the same build folder.
  string(MD5 _quorvane_key "$ENV{DESTDIR}${_quorvane_data_dir}")
  set(_quorvane_entry "${QUORVANE_DESKTOP_STAGING}/${_quorvane_key}/quorvane.desktop")
  configure_file("${QUORVANE_DESKTOP_TEMPLATE}" "${_quorvane_entry}" @ONLY)
  file(INSTALL DESTINATION "${_quorvane_share_dir}/applications" TYPE FILE FILES "${_quorvane_entry}")
  file(REMOVE_RECURSE "${QUORVANE_DESKTOP_STAGING}/${_quorvane_key}")
]])

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
include(CPack)
