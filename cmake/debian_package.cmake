# The Debian package, vorbelzoz_<version>_amd64.deb in the build folder, made
# by the "package" target. Everything the program reads lies in
# /usr/lib/vorbelzoz beside the executables, as in a program folder; the
# marker file there makes the program keep each learner's own files in the
# learner's own folder (runtime/posix/program_folder.h).
set(VORBELZOZ_INSTALL_DIR lib/vorbelzoz)

install(TARGETS vorbelzoz RUNTIME DESTINATION ${VORBELZOZ_INSTALL_DIR})
install(FILES ${CMAKE_SOURCE_DIR}/packaging/per-user-folder DESTINATION ${VORBELZOZ_INSTALL_DIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/data/单词表 ${CMAKE_SOURCE_DIR}/data/音效
  DESTINATION ${VORBELZOZ_INSTALL_DIR})
# The exam chapters made from ECDICT (02中考 ... 10牛津3000), beside the samples in 01示例.
install(DIRECTORY ${VORBELZOZ_EXAM_BANKS_DIR}/ DESTINATION ${VORBELZOZ_INSTALL_DIR}/单词表)
if(TARGET vorbelzoz_service)
  install(TARGETS vorbelzoz_service RUNTIME DESTINATION ${VORBELZOZ_INSTALL_DIR})
  get_target_property(service_data vorbelzoz_service VORBELZOZ_SERVICE_DATA_SOURCE)
  install(DIRECTORY "${service_data}/" DESTINATION ${VORBELZOZ_INSTALL_DIR}/service-data)
endif()

# /usr/bin/vorbelzoz: a link, so the program still finds its folder through
# /proc/self/exe.
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/packaging)
file(CREATE_LINK ../${VORBELZOZ_INSTALL_DIR}/vorbelzoz ${CMAKE_BINARY_DIR}/packaging/vorbelzoz SYMBOLIC)
install(FILES ${CMAKE_BINARY_DIR}/packaging/vorbelzoz DESTINATION bin)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/copyright DESTINATION share/doc/vorbelzoz)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vorbelzoz)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "English dictation trainer for Chinese-speaking learners")
# The long description; CPack puts the summary above it and indents it.
set(CPACK_PACKAGE_DESCRIPTION "Pick a word bank, hear each word, see its phonetics and Chinese meanings,
type the spelling and get a report of what went wrong. An offline dictionary
and speech service ships with the program, so no internet connection is
needed.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Vorbelzoz developers <maintainers@users.noreply.c-seed-ba1c883f.example>")
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the executables link come from dpkg-shlibdeps; the rest is
# loaded at run time: Qt's X11 platform plugin, espeak-ng's voices, a font
# with Chinese characters, and libcurl and SDL2_mixer, which the program
# opens only when a lookup or a sound first needs them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qt6-qpa-plugins, espeak-ng-data, fonts-wqy-microhei | fonts-noto-cjk, libcurl4, libsdl2-mixer-2.0-0")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
