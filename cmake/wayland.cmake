# Wayland, built when its packages are found (scripts/setup installs them, so CI builds it):
# libwayland, wayland-egl, xkbcommon, wayland-scanner, wayland-protocols' XML and the wlr
# protocols' XML, which Debian ships in librust-wayland-protocols-dev. Without one of them the
# configure warns, naming the packages that are missing.
# Sets VELMORIA_HAVE_WAYLAND and defines velmoria_wayland_protocol(TARGET NAME XML).
set(VELMORIA_HAVE_WAYLAND OFF)
if(WIN32)
  return()
endif()

find_package(PkgConfig REQUIRED)
pkg_check_modules(WAYLAND IMPORTED_TARGET wayland-client wayland-egl egl xkbcommon)
pkg_get_variable(WAYLAND_PROTOCOLS_DIR wayland-protocols pkgdatadir)
find_program(WAYLAND_SCANNER wayland-scanner)
file(GLOB VELMORIA_WLR_PROTOCOLS_DIRS
     /usr/share/cargo/registry/wayland-protocols-*/wlr-protocols/unstable)
find_path(VELMORIA_WLR_PROTOCOLS_DIR wlr-layer-shell-unstable-v1.xml
          HINTS ${VELMORIA_WLR_PROTOCOLS_DIRS})

if(WAYLAND_FOUND AND WAYLAND_SCANNER AND WAYLAND_PROTOCOLS_DIR AND VELMORIA_WLR_PROTOCOLS_DIR)
  set(VELMORIA_HAVE_WAYLAND ON)
  set(VELMORIA_XDG_SHELL_XML ${WAYLAND_PROTOCOLS_DIR}/stable/xdg-shell/xdg-shell.xml)
  set(VELMORIA_XDG_OUTPUT_XML
      ${WAYLAND_PROTOCOLS_DIR}/unstable/xdg-output/xdg-output-unstable-v1.xml)
  set(VELMORIA_LAYER_SHELL_XML ${VELMORIA_WLR_PROTOCOLS_DIR}/wlr-layer-shell-unstable-v1.xml)
  set(VELMORIA_VIRTUAL_POINTER_XML
      ${VELMORIA_WLR_PROTOCOLS_DIR}/wlr-virtual-pointer-unstable-v1.xml)
  message(STATUS "Wayland: building the renderer's Wayland backend")
else()
  # Said loudly: the programs then run on X11 only, which a packager would not notice otherwise.
  set(missing)
  if(NOT WAYLAND_FOUND)
    list(APPEND missing "libwayland-dev, libegl-dev or libxkbcommon-dev (wayland-client, egl, ...)")
  endif()
  if(NOT WAYLAND_SCANNER)
    list(APPEND missing "libwayland-bin (wayland-scanner)")
  endif()
  if(NOT WAYLAND_PROTOCOLS_DIR)
    list(APPEND missing "wayland-protocols (xdg-shell, xdg-output XML)")
  endif()
  if(NOT VELMORIA_WLR_PROTOCOLS_DIR)
    list(APPEND missing "librust-wayland-protocols-dev (the wlr protocols' XML)")
  endif()
  list(JOIN missing "; " missing)
  message(WARNING "Wayland: the Wayland backend is NOT built, the programs will run on X11 only. "
                  "Missing: ${missing}")
endif()

# Generates NAME-client-protocol.h and NAME-protocol.c from XML into the build tree and adds
# them to TARGET (a static library), whose users see the header.
function(velmoria_wayland_protocol target name xml)
  set(dir ${CMAKE_CURRENT_BINARY_DIR}/protocols)
  add_custom_command(
    OUTPUT ${dir}/${name}-client-protocol.h ${dir}/${name}-protocol.c
    COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
    COMMAND ${WAYLAND_SCANNER} client-header ${xml} ${dir}/${name}-client-protocol.h
    COMMAND ${WAYLAND_SCANNER} private-code ${xml} ${dir}/${name}-protocol.c
    DEPENDS ${xml}
    VERBATIM)
  target_sources(${target} PRIVATE ${dir}/${name}-client-protocol.h ${dir}/${name}-protocol.c)
  target_include_directories(${target} PUBLIC ${dir})
endfunction()
