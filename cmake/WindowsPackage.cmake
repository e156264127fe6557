# The Windows zip for users: quorvel-cli.exe, Quorvel.exe when the build has
# the window (a static Qt: one file, nothing beside it), and a short README
# (`make windows`: cpack -G ZIP in the build folder). Installing builds only
# what was built before, so packaging does not build every test first.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
install(TARGETS quorvel-cli RUNTIME DESTINATION .)
if(TARGET Quorvel AND QUORVEL_STATIC_QT)
  install(TARGETS Quorvel RUNTIME DESTINATION .)
  set(quorvel_zip_name quorvel)
else()
  set(quorvel_zip_name quorvel-cli)
endif()
install(FILES ${PROJECT_SOURCE_DIR}/packaging/windows/README.txt DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME ${quorvel_zip_name})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME ${quorvel_zip_name}-${PROJECT_VERSION}-windows-x64)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_STRIP_FILES ON)  # the debug information stays in the build folder
include(CPack)
