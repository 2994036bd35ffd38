# The Windows executables' resources: the program's icon, a multi-size .ico
# rendered from the one SVG at build time so the drawing has a single source,
# and on both executables an application manifest and a version block
# numbered from the project version. The manifest is resource 1 of type
# RT_MANIFEST; Debian's mingw-w64 links no default manifest of its own
# (no default-manifest.o), and the win32_resources test checks that each
# executable carries exactly one.
# windres runs as a custom command, not as CMake's RC language, because the
# compile options of the C++ targets (-Wall, -fexec-charset) are no windres
# options; its COFF object is linked like any other object.
find_program(VORBELZOZ_RSVG_CONVERT rsvg-convert REQUIRED)
find_program(VORBELZOZ_ICOTOOL icotool REQUIRED)
if(NOT CMAKE_RC_COMPILER)
  message(FATAL_ERROR "The Windows resources need windres (CMAKE_RC_COMPILER)")
endif()

set(resource_dir ${CMAKE_BINARY_DIR}/windows-resources)
set(windows_dir ${CMAKE_SOURCE_DIR}/packaging/windows)
set(icon_svg ${CMAKE_SOURCE_DIR}/packaging/icons/vorbelzoz.svg)
file(MAKE_DIRECTORY ${resource_dir})
configure_file(${windows_dir}/vorbelzoz_version.h.in ${resource_dir}/vorbelzoz_version.h @ONLY)
foreach(manifest vorbelzoz vorbelzoz_service)
  configure_file(${windows_dir}/${manifest}.manifest.in ${resource_dir}/${manifest}.manifest @ONLY)
endforeach()

# 16 to 48 for lists and the title bar, 64 and 256 for Explorer's large
# views; the 256 one is stored as PNG, as Windows Vista and later read it.
set(icon_pngs)
foreach(size 16 24 32 48 64 256)
  set(png ${resource_dir}/icon-${size}.png)
  add_custom_command(OUTPUT ${png}
    COMMAND ${VORBELZOZ_RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${icon_svg}
    DEPENDS ${icon_svg}
    VERBATIM)
  if(size EQUAL 256)
    list(APPEND icon_pngs --raw=${png})
  else()
    list(APPEND icon_pngs ${png})
  endif()
  list(APPEND icon_png_files ${png})
endforeach()
set(icon_ico ${resource_dir}/vorbelzoz.ico)
add_custom_command(OUTPUT ${icon_ico}
  COMMAND ${VORBELZOZ_ICOTOOL} --create --output=${icon_ico} ${icon_pngs}
  DEPENDS ${icon_png_files}
  COMMENT "Making the Windows icon from the SVG"
  VERBATIM)

function(vorbelzoz_add_windows_resources target rc_file)
  set(object ${resource_dir}/${target}_resources.o)
  add_custom_command(OUTPUT ${object}
    COMMAND ${CMAKE_RC_COMPILER} --input-format=rc --output-format=coff
      -I ${resource_dir} -I ${windows_dir} -I ${CMAKE_SOURCE_DIR}
      -i ${windows_dir}/${rc_file} -o ${object}
    DEPENDS ${windows_dir}/${rc_file} ${windows_dir}/version_info.rc ${resource_dir}/vorbelzoz_version.h
      ${CMAKE_SOURCE_DIR}/runtime/win32/resource_ids.h ${ARGN}
    COMMENT "Compiling the resources of ${target}"
    VERBATIM)
  # The executables are defined in other folders, where this folder's custom
  # commands have no rule: a target here makes the object first.
  add_custom_target(${target}_resources DEPENDS ${object})
  add_dependencies(${target} ${target}_resources)
  target_sources(${target} PRIVATE ${object})
endfunction()

if(TARGET vorbelzoz)
  vorbelzoz_add_windows_resources(vorbelzoz vorbelzoz.rc ${icon_ico} ${resource_dir}/vorbelzoz.manifest)
endif()
if(TARGET vorbelzoz_service)
  vorbelzoz_add_windows_resources(vorbelzoz_service vorbelzoz_service.rc
    ${resource_dir}/vorbelzoz_service.manifest)
endif()
