# The menu entry and the application icon on Linux: the PNG sizes of the
# hicolor theme are rendered from the one SVG at build time, so the drawing
# has a single source.
find_program(VORBELZOZ_RSVG_CONVERT rsvg-convert REQUIRED)
find_program(VORBELZOZ_DESKTOP_FILE_VALIDATE desktop-file-validate)

set(VORBELZOZ_ICON_SVG ${CMAKE_SOURCE_DIR}/packaging/icons/vorbelzoz.svg)
set(VORBELZOZ_DESKTOP_FILE ${CMAKE_SOURCE_DIR}/packaging/vorbelzoz.desktop)
set(VORBELZOZ_ICON_SIZES 16 22 24 32 48 64 128 256)
set(icon_pngs)
foreach(size ${VORBELZOZ_ICON_SIZES})
  set(png ${CMAKE_BINARY_DIR}/icons/hicolor/${size}x${size}/apps/vorbelzoz.png)
  add_custom_command(OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icons/hicolor/${size}x${size}/apps
    COMMAND ${VORBELZOZ_RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${VORBELZOZ_ICON_SVG}
    DEPENDS ${VORBELZOZ_ICON_SVG}
    VERBATIM)
  list(APPEND icon_pngs ${png})
  install(FILES ${png} DESTINATION share/icons/hicolor/${size}x${size}/apps)
endforeach()
add_custom_target(vorbelzoz_icons ALL DEPENDS ${icon_pngs})

install(FILES ${VORBELZOZ_ICON_SVG} DESTINATION share/icons/hicolor/scalable/apps)
install(FILES ${VORBELZOZ_DESKTOP_FILE} DESTINATION share/applications)

if(VORBELZOZ_TESTS AND VORBELZOZ_DESKTOP_FILE_VALIDATE)
  add_test(NAME desktop_entry_is_valid
    COMMAND ${VORBELZOZ_DESKTOP_FILE_VALIDATE} ${VORBELZOZ_DESKTOP_FILE})
endif()
