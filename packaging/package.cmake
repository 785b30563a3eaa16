# The Debian package: what is installed where, and CPack's settings for it.
#   /usr/games/gloomgrid                  the launcher (gloomgrid.sh): makes the
#                                         player's own game folder and starts
#   /usr/lib/games/gloomgrid/gloomgrid    the game there
#   /usr/share/games/gloomgrid/           pictures, sounds, setup.ini, icon.bmp
#   /usr/share/applications, icons/hicolor, man/man6, doc/gloomgrid
# The target gloomgrid_deb (`make package`) builds only what the package holds
# and runs CPack: build/gloomgrid_<version>_amd64.deb.
set(GLOOMGRID_MAINTAINER "GloomGrid maintainers <maintainers@users.noreply.c-seed-28356f87.example>")
set(PACKAGING_DIR ${CMAKE_SOURCE_DIR}/packaging)
set(PACKAGING_OUT ${CMAKE_BINARY_DIR}/packaging)

# The manual page and the changelog, with the version filled in and
# compressed without a time stamp, as Debian asks.
set(VERSION ${PROJECT_VERSION})
set(MAINTAINER ${GLOOMGRID_MAINTAINER})
set(package_docs "")
foreach(doc gloomgrid.6 changelog copyright)
  configure_file(${PACKAGING_DIR}/${doc} ${PACKAGING_OUT}/${doc} @ONLY)
  if(NOT doc STREQUAL "copyright")
    add_custom_command(OUTPUT ${PACKAGING_OUT}/${doc}.gz
      COMMAND gzip -9n -f -k ${PACKAGING_OUT}/${doc}
      DEPENDS ${PACKAGING_OUT}/${doc}
      VERBATIM)
    list(APPEND package_docs ${PACKAGING_OUT}/${doc}.gz)
  endif()
endforeach()
add_custom_target(package_docs ALL DEPENDS ${package_docs})

set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
install(PROGRAMS ${PACKAGING_DIR}/gloomgrid.sh DESTINATION games RENAME gloomgrid)
install(TARGETS gloomgrid RUNTIME DESTINATION lib/games/gloomgrid)
# Only the generated game files: a developer's played folder may also hold
# its own hiscore.dat or an edited setup.ini.
install(DIRECTORY ${GLOOMGRID_DIST}/ DESTINATION share/games/gloomgrid
        FILES_MATCHING PATTERN "*.bmp" PATTERN "*.wav")
install(FILES ${CMAKE_SOURCE_DIR}/shell/setup.ini DESTINATION share/games/gloomgrid)
install(DIRECTORY ${GLOOMGRID_ICONS}/hicolor DESTINATION share/icons)
install(FILES ${PACKAGING_DIR}/gloomgrid.desktop DESTINATION share/applications)
install(FILES ${PACKAGING_OUT}/gloomgrid.6.gz DESTINATION share/man/man6)
install(FILES ${PACKAGING_OUT}/copyright DESTINATION share/doc/gloomgrid)
install(FILES ${PACKAGING_OUT}/changelog.gz DESTINATION share/doc/gloomgrid)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME gloomgrid)
set(CPACK_PACKAGE_CONTACT ${GLOOMGRID_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "haunted-house sliding-tile puzzle")
set(CPACK_PACKAGE_DESCRIPTION "Thirteen haunted pictures, each dealt at random onto a 5 x 5 grid with four
empty pockets outside its edges: slide the tiles back into place before the
timer bar fills, score, and enter the hall of fame. Each player keeps their
own scores and settings.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)

add_custom_target(gloomgrid_deb
  COMMAND ${CMAKE_CPACK_COMMAND} -G DEB --config ${CMAKE_BINARY_DIR}/CPackConfig.cmake
  WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
  DEPENDS gloomgrid package_docs
  COMMENT "The Debian package"
  VERBATIM)
