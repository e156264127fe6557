# The Windows resources of the window's program file besides its version: the
# icon, drawn from the About dialog's glyph when the build runs, and the
# manifest (resources/windows/Quorvel.manifest). MSVC embeds a .manifest source
# itself; with MinGW the manifest goes into the resource script.
function(quorvel_add_windows_program_resources ATarget)
  find_program(QUORVEL_CONVERT convert REQUIRED)
  set(generated ${CMAKE_BINARY_DIR}/generated)
  set(quorvel_icon ${generated}/Quorvel.ico)
  add_custom_command(OUTPUT ${quorvel_icon}
    COMMAND ${QUORVEL_CONVERT} ${PROJECT_SOURCE_DIR}/resources/about/app-glyph.png
            -define icon:auto-resize=256,64,48,32,24,16 ${quorvel_icon}
    DEPENDS ${PROJECT_SOURCE_DIR}/resources/about/app-glyph.png
    COMMENT "Drawing Quorvel.ico")
  set(manifest ${PROJECT_SOURCE_DIR}/resources/windows/Quorvel.manifest)
  if(MSVC)
    set(quorvel_manifest_line "")
    target_sources(${ATarget} PRIVATE ${manifest})
  else()
    set(quorvel_manifest_line "1 24 \"${manifest}\"  // CREATEPROCESS_MANIFEST_RESOURCE_ID, RT_MANIFEST")
  endif()
  set(rc ${generated}/Quorvel.rc)
  configure_file(${PROJECT_SOURCE_DIR}/resources/windows/Quorvel.rc.in ${rc} @ONLY)
  set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS "${quorvel_icon};${manifest}")
  target_sources(${ATarget} PRIVATE ${rc} ${quorvel_icon})
endfunction()
