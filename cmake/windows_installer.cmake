# The Windows installer, vorbelzoz-setup.exe beside the release zip, made by
# NSIS from packaging/windows/installer.nsi. tools/make_installer_list.py
# lists the program folder, the same files as the zip, with their SHA-256
# into an include; it rewrites the include only when something changed, so
# the slow LZMA packing runs only then.
find_program(VORBELZOZ_MAKENSIS makensis REQUIRED)
find_program(VORBELZOZ_IMAGEMAGICK_CONVERT convert REQUIRED)

set(VORBELZOZ_INSTALLER ${CMAKE_BINARY_DIR}/vorbelzoz-setup.exe)
set(installer_list_dir ${CMAKE_BINARY_DIR}/installer)
set(installer_list ${installer_list_dir}/installed_files.nsh)
set(installer_script ${CMAKE_SOURCE_DIR}/packaging/windows/installer.nsi)

add_custom_target(vorbelzoz_installer_list ALL
  COMMAND ${VORBELZOZ_HOST_PYTHON3} ${CMAKE_SOURCE_DIR}/tools/make_installer_list.py
    "${VORBELZOZ_PROGRAM_DIR}" "${CMAKE_SOURCE_DIR}/data/使用说明.txt" ${installer_list_dir}
  DEPENDS ${CMAKE_SOURCE_DIR}/tools/make_installer_list.py ${CMAKE_SOURCE_DIR}/tools/make_release_zip.py
  BYPRODUCTS ${installer_list}
  VERBATIM)
add_dependencies(vorbelzoz_installer_list vorbelzoz vorbelzoz_service_program)

# The picture at the side of the welcome and finish pages: the program's
# icon, from the one SVG, on a pale blue, as the 164 x 314 BMP NSIS shows.
set(installer_side_icon ${installer_list_dir}/side-icon.png)
set(installer_side_bitmap ${installer_list_dir}/side.bmp)
add_custom_command(OUTPUT ${installer_side_bitmap}
  COMMAND ${VORBELZOZ_RSVG_CONVERT} -w 128 -h 128 -o ${installer_side_icon}
    ${CMAKE_SOURCE_DIR}/packaging/icons/vorbelzoz.svg
  COMMAND ${VORBELZOZ_IMAGEMAGICK_CONVERT} -size 164x314 xc:aliceblue ${installer_side_icon}
    -gravity north -geometry +0+56 -composite BMP3:${installer_side_bitmap}
  DEPENDS ${CMAKE_SOURCE_DIR}/packaging/icons/vorbelzoz.svg
  VERBATIM)

# makensis opens the bundled files by their UTF-8 names: a UTF-8 locale.
add_custom_command(OUTPUT ${VORBELZOZ_INSTALLER}
  COMMAND ${CMAKE_COMMAND} -E env LC_ALL=C.UTF-8 ${VORBELZOZ_MAKENSIS} -V2 -INPUTCHARSET UTF8
    -DVERSION=${PROJECT_VERSION} -DLIST_DIR=${installer_list_dir}
    -DICON=${CMAKE_BINARY_DIR}/windows-resources/vorbelzoz.ico -DSIDE_BITMAP=${installer_side_bitmap}
    -DOUTFILE=${VORBELZOZ_INSTALLER} ${installer_script}
  DEPENDS ${installer_script} ${installer_list} ${CMAKE_BINARY_DIR}/windows-resources/vorbelzoz.ico
    ${installer_side_bitmap}
  COMMENT "Packing the Windows installer"
  VERBATIM)
add_custom_target(vorbelzoz_installer ALL DEPENDS ${VORBELZOZ_INSTALLER})
add_dependencies(vorbelzoz_installer vorbelzoz_installer_list)
