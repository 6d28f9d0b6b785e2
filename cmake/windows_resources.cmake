# velmoria_add_windows_resources(TARGET FILE_NAME DESCRIPTION MANIFEST [EXTRA_RC_TEXT]): gives a
# Windows program its version information, the icon (assets/velmoria.ico) and its manifest, from
# packaging/windows/version.rc.in. Does nothing on other platforms.
set(VELMORIA_VERSION_QUAD "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.0.0")
set(VELMORIA_VERSION_COMMAS "${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},0,0")

function(velmoria_add_windows_resources target file_name description manifest)
  if(NOT WIN32)
    return()
  endif()
  set(RC_FILENAME "${file_name}")
  set(RC_DESCRIPTION "${description}")
  set(RC_EXTRA "${ARGN}")
  set(VELMORIA_ICON "${PROJECT_SOURCE_DIR}/assets/velmoria.ico")
  set(RC_MANIFEST "${CMAKE_CURRENT_BINARY_DIR}/${target}.manifest")
  configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/${manifest} ${RC_MANIFEST} @ONLY)
  set(rc "${CMAKE_CURRENT_BINARY_DIR}/${target}.rc")
  configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/version.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
  set_property(SOURCE ${rc} APPEND PROPERTY OBJECT_DEPENDS
               ${PROJECT_SOURCE_DIR}/assets/velmoria.ico ${RC_MANIFEST})
endfunction()
