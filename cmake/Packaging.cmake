# Installing on Linux (`cmake --install`) and the Debian package (`cpack -G DEB`,
# or the `package` target): the two programs in bin, the desktop entry, icons
# in the hicolor sizes, AppStream data, manual pages and the package's own docs.
# Cross and Windows builds package themselves elsewhere.
if(NOT CMAKE_SYSTEM_NAME STREQUAL "Linux" OR CMAKE_CROSSCOMPILING)
  return()
endif()

include(GNUInstallDirs)

# Goes with the version in project(): the metadata, manual pages and changelog
# carry this date, so that two builds of one version give the same files.
set(QUORVEL_RELEASE_DATE 2026-12-10)
set(QUORVEL_APP_ID example.quorvel.Quorvel)

set(linux_sources ${PROJECT_SOURCE_DIR}/resources/linux)
set(staged ${CMAKE_BINARY_DIR}/packaging)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

execute_process(COMMAND date -R -u -d ${QUORVEL_RELEASE_DATE}
                OUTPUT_VARIABLE QUORVEL_RELEASE_DATE_RFC2822 OUTPUT_STRIP_TRAILING_WHITESPACE
                COMMAND_ERROR_IS_FATAL ANY)

# Debian wants manual pages and changelogs compressed, without a time stamp (-n).
find_program(QUORVEL_GZIP gzip REQUIRED)
function(quorvel_gzipped ASource AConfigured AOutVar)
  configure_file(${ASource} ${AConfigured} @ONLY)
  add_custom_command(OUTPUT ${AConfigured}.gz
                     COMMAND ${QUORVEL_GZIP} -9nkf ${AConfigured}
                     DEPENDS ${AConfigured} VERBATIM)
  set(${AOutVar} ${AConfigured}.gz PARENT_SCOPE)
endfunction()

set(packaging_outputs)
set(man_programs quorvel-cli)
if(QUORVEL_BUILD_UI)
  list(APPEND man_programs quorvel)
endif()
foreach(program IN LISTS man_programs)
  quorvel_gzipped(${linux_sources}/${program}.1.in ${staged}/man/${program}.1 page)
  list(APPEND packaging_outputs ${page})
  install(FILES ${page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()

quorvel_gzipped(${linux_sources}/changelog.in ${staged}/doc/changelog changelog)
list(APPEND packaging_outputs ${changelog})
set(doc_dir ${CMAKE_INSTALL_DATAROOTDIR}/doc/quorvel)
install(FILES ${changelog} ${linux_sources}/copyright DESTINATION ${doc_dir})

install(TARGETS quorvel-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

if(QUORVEL_BUILD_UI)
  install(TARGETS Quorvel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${linux_sources}/${QUORVEL_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)
  configure_file(${linux_sources}/${QUORVEL_APP_ID}.metainfo.xml.in ${staged}/${QUORVEL_APP_ID}.metainfo.xml @ONLY)
  install(FILES ${staged}/${QUORVEL_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/metainfo)

  # The icons are drawn from the About dialog's glyph when the build runs.
  find_program(QUORVEL_CONVERT convert REQUIRED)
  set(glyph ${PROJECT_SOURCE_DIR}/resources/about/app-glyph.png)
  foreach(size 16 22 24 32 48 64 128 256 512)
    set(folder ${staged}/icons/${size}x${size}/apps)
    set(icon ${folder}/${QUORVEL_APP_ID}.png)
    add_custom_command(OUTPUT ${icon}
                       COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
                       COMMAND ${QUORVEL_CONVERT} ${glyph} -resize ${size}x${size} -strip
                               -define png:exclude-chunks=date,time PNG32:${icon}
                       DEPENDS ${glyph} VERBATIM)
    list(APPEND packaging_outputs ${icon})
    install(FILES ${icon} DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/${size}x${size}/apps)
  endforeach()
endif()

add_custom_target(quorvel_packaging_files ALL DEPENDS ${packaging_outputs})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quorvel)
# The four-number build version, as quorvel-cli --version and the About dialog show it.
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Quorvel developers")
set(CPACK_PACKAGE_CONTACT "The Quorvel developers <dev@quorvel.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "sort and lay out the uses clauses of Pascal sources")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Quorvel tidies the uses clauses of Delphi and Object Pascal sources: it sorts\n"
    "the unit names, lays them out one per line or word-wrapped and keeps comments.\n"
    "A window previews each file beside its formatted text and formats whole\n"
    "folders; quorvel-cli does the same in scripts, CI and pre-commit hooks.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${QUORVEL_UPDATE_BASE_URL}/")
# Dependencies come from the binaries' linked libraries (dpkg-shlibdeps).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
include(CPack)
