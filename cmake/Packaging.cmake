# Installing the programs like any desktop program: `cmake --install` puts the binaries in bin/
# and their launchers, icons, AppStream metadata and manual pages where the Freedesktop and Debian
# conventions expect them; CPack turns the same install into a Debian package.
#
# Generated files are made in the build tree in their installed layout (build/share/...), beside
# build/bin, so a program that looks for data at <its own directory>/../share finds the same
# files in the build tree as after installing.

include(GNUInstallDirs)

set(DRILLS_APP_ID_PREFIX "example.drills" CACHE STRING
    "Reverse-DNS prefix of the launcher, icon and AppStream ids: PREFIX.halvard and so on")
set(DRILLS_HOMEPAGE "https://drills.example" CACHE STRING
    "Home page named in the package and the AppStream metadata; screenshots go under HOMEPAGE/screenshots/")

# Directories made by the install are 0755 whatever the umask, as Debian packages expect.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

find_program(DRILLS_RSVG_CONVERT rsvg-convert)
find_program(DRILLS_HELP2MAN help2man)
find_program(DRILLS_GZIP gzip)
if(NOT DRILLS_RSVG_CONVERT OR NOT DRILLS_HELP2MAN OR NOT DRILLS_GZIP)
  message(FATAL_ERROR "The icons and manual pages need rsvg-convert (package librsvg2-bin), help2man and "
                      "gzip; `bash tools/setup.sh` installs them.")
endif()

# The newest changelog entry is the package's version, maintainer and release date, so that the
# package, the changelog and the AppStream release cannot disagree.
set(drills_changelog ${CMAKE_SOURCE_DIR}/packaging/changelog)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${drills_changelog})
file(STRINGS ${drills_changelog} drills_changelog_heads REGEX "^drills \\(")
file(STRINGS ${drills_changelog} drills_changelog_trailers REGEX "^ -- ")
list(GET drills_changelog_heads 0 drills_head)
list(GET drills_changelog_trailers 0 drills_trailer)
if(NOT drills_head MATCHES "^drills \\(([^)]+)\\)" OR NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
  message(FATAL_ERROR "packaging/changelog begins with '${drills_head}', but the project's version is "
                      "${PROJECT_VERSION}: add a changelog entry for ${PROJECT_VERSION}.")
endif()
if(NOT drills_trailer MATCHES "^ -- (([^<]+) <[^>]+>)  (.+)$")
  message(FATAL_ERROR "packaging/changelog: cannot read the maintainer and date from '${drills_trailer}'")
endif()
set(DRILLS_MAINTAINER "${CMAKE_MATCH_1}")
string(STRIP "${CMAKE_MATCH_2}" DRILLS_DEVELOPER)
set(drills_release_time "${CMAKE_MATCH_3}")
execute_process(COMMAND date -u -d "${drills_release_time}" +%Y-%m-%d
                OUTPUT_VARIABLE DRILLS_RELEASE_DATE OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND date -u -d "${drills_release_time}" +%s
                OUTPUT_VARIABLE drills_release_epoch OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)

set(drills_share ${CMAKE_BINARY_DIR}/share)
set(drills_generated "")

# One program's launcher, icons, metadata and manual page; the arguments are one row of
# packaging/programs.cmake.
function(drills_desktop_program binary)
  cmake_parse_arguments(PARSE_ARGV 1 APP ""
    "NAME;NAME_JA;LETTER;COLOUR;GENERIC;GENERIC_JA;SUMMARY;SUMMARY_JA;DESCRIPTION;DESCRIPTION_JA;KEYWORDS;KEYWORDS_JA;SCREENSHOT_KEYS"
    "")
  set(APP_BINARY ${binary})
  set(APP_ID ${DRILLS_APP_ID_PREFIX}.${binary})
  set(src ${CMAKE_SOURCE_DIR}/packaging)
  set(outputs "")

  configure_file(${src}/app.desktop.in ${drills_share}/applications/${APP_ID}.desktop @ONLY)
  configure_file(${src}/app.metainfo.xml.in ${drills_share}/metainfo/${APP_ID}.metainfo.xml @ONLY)
  install(TARGETS ${binary} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${drills_share}/applications/${APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${drills_share}/metainfo/${APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

  # The icon: one drawing, the program's letter and colour filled in, rendered at the sizes menus use.
  set(ICON_LETTER ${APP_LETTER})
  set(ICON_COLOUR ${APP_COLOUR})
  set(hicolor ${drills_share}/icons/hicolor)
  set(svg ${hicolor}/scalable/apps/${APP_ID}.svg)
  configure_file(${src}/icon.svg.in ${svg} @ONLY)
  install(FILES ${svg} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  foreach(size 48 128 256)
    set(png ${hicolor}/${size}x${size}/apps/${APP_ID}.png)
    add_custom_command(OUTPUT ${png}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${hicolor}/${size}x${size}/apps
      COMMAND ${DRILLS_RSVG_CONVERT} --width=${size} --height=${size} --output=${png} ${svg}
      DEPENDS ${svg} VERBATIM)
    install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
    list(APPEND outputs ${png})
  endforeach()

  # The manual page: options from --help, the rest from packaging/manual.h2m. Dated by the
  # changelog, so that the same sources always give the same page.
  set(h2m ${CMAKE_BINARY_DIR}/packaging/${binary}.h2m)
  configure_file(${src}/manual.h2m ${h2m} @ONLY)
  string(SUBSTRING "${APP_GENERIC}" 0 1 initial)
  string(SUBSTRING "${APP_GENERIC}" 1 -1 rest)
  string(TOLOWER "${initial}" initial)
  set(man ${drills_share}/man/man1/${binary}.1)
  add_custom_command(OUTPUT ${man}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${drills_share}/man/man1
    COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${drills_release_epoch}
            ${DRILLS_HELP2MAN} --no-info --section=1 --name=${initial}${rest} --version-string=${PROJECT_VERSION}
            --include=${h2m} --output=${man} $<TARGET_FILE:${binary}>
    COMMAND ${DRILLS_GZIP} -9nf ${man}
    DEPENDS ${binary} ${h2m} VERBATIM)
  install(FILES ${man}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  list(APPEND outputs ${man}.gz)

  # The screenshot the metadata points to, made on request (`--target screenshots`) for the home page.
  set(shot ${CMAKE_BINARY_DIR}/screenshots/${binary}.png)
  add_custom_command(OUTPUT ${shot}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/screenshots
    COMMAND $<TARGET_FILE:${binary}> --headless --keys ${APP_SCREENSHOT_KEYS} --clock 10:20:30 --screenshot ${shot}
    DEPENDS ${binary} VERBATIM)
  set_property(GLOBAL APPEND PROPERTY DRILLS_SCREENSHOTS ${shot})

  set(drills_generated ${drills_generated} ${outputs} PARENT_SCOPE)
endfunction()

include(${CMAKE_SOURCE_DIR}/packaging/programs.cmake)

add_custom_target(desktop_files ALL DEPENDS ${drills_generated})
get_property(drills_screenshots GLOBAL PROPERTY DRILLS_SCREENSHOTS)
add_custom_target(screenshots DEPENDS ${drills_screenshots})

# The changelog and copyright go where Debian keeps them for every package.
set(drills_doc ${CMAKE_BINARY_DIR}/share/doc/${PROJECT_NAME})
add_custom_command(OUTPUT ${drills_doc}/changelog.gz
  COMMAND ${CMAKE_COMMAND} -E make_directory ${drills_doc}
  COMMAND ${DRILLS_GZIP} -9nc ${drills_changelog} > ${drills_doc}/changelog.gz
  DEPENDS ${drills_changelog})
add_custom_target(package_docs ALL DEPENDS ${drills_doc}/changelog.gz)
install(FILES ${drills_doc}/changelog.gz ${CMAKE_SOURCE_DIR}/packaging/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The Debian package: `cmake --build build --target package` makes build/drills_VERSION_ARCH.deb.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${PROJECT_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "${DRILLS_DEVELOPER}")
set(CPACK_PACKAGE_CONTACT "${DRILLS_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "maths drills for lower-secondary pupils, in Japanese")
set(CPACK_PACKAGE_DESCRIPTION
    "Four drill programs for one pupil at one window, keyboard only:
Halvard (solving linear equations), Morvane (equations and their
solutions), Quillon (ratios and proportions) and Brenwick (word problems).
Each draws problems with random numbers, marks the typed answer with a
circle or a cross, keeps a progress table and shows a worked solution
step by step. All screens are in Japanese.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS ${CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${DRILLS_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${DRILLS_HOMEPAGE})
# The libraries come from what the binaries really link; the font is opened by path at run time,
# the PostgreSQL client library only when a server store is used, SDL_image only for a PNG and
# cairo only for a printed sheet.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic, libcairo2, libpq5, libsdl2-image-2.0-0")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
include(CPack)

if(DRILLS_TESTS)
  # Both install from this build tree, which writes install_manifest.txt here: one at a time.
  add_test(NAME install COMMAND bash ${CMAKE_SOURCE_DIR}/tests/install_test.sh
                                ${CMAKE_BINARY_DIR} ${DRILLS_APP_ID_PREFIX} ${PROJECT_VERSION})
  add_test(NAME package COMMAND bash ${CMAKE_SOURCE_DIR}/tests/package_test.sh
                                ${CMAKE_BINARY_DIR} ${CMAKE_SOURCE_DIR} ${PROJECT_VERSION})
  set_tests_properties(install package PROPERTIES TIMEOUT 600 SKIP_RETURN_CODE 77
                       RESOURCE_LOCK build_tree_install)
endif()

# The teacher's report, beside the four programs: a command-line tool with no launcher of its own.
install(TARGETS drills-report RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
set(drills_report_man ${drills_share}/man/man1/drills-report.1)
add_custom_command(OUTPUT ${drills_report_man}.gz
  COMMAND ${CMAKE_COMMAND} -E make_directory ${drills_share}/man/man1
  COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${drills_release_epoch}
          ${DRILLS_HELP2MAN} --no-info --section=1 "--name=report what pupils did in the drills"
          --version-string=${PROJECT_VERSION} --include=${CMAKE_SOURCE_DIR}/packaging/report.h2m
          --output=${drills_report_man} $<TARGET_FILE:drills-report>
  COMMAND ${DRILLS_GZIP} -9nf ${drills_report_man}
  DEPENDS drills-report ${CMAKE_SOURCE_DIR}/packaging/report.h2m VERBATIM)
add_custom_target(drills_report_manual ALL DEPENDS ${drills_report_man}.gz)
install(FILES ${drills_report_man}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
