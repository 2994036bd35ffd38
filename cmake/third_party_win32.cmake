# Flite (speech) and LAME (MP3) for the Windows service, cross-built from
# Debian's source tarballs and linked statically, so the service needs no
# DLL of its own. scripts/fetch-sources downloads the tarballs into
# VORBELZOZ_SOURCES_DIR; the checksums pin the exact releases.
include(ExternalProject)

set(VORBELZOZ_SOURCES_DIR "${CMAKE_SOURCE_DIR}/build/sources" CACHE PATH
  "Folder holding the third-party source tarballs (scripts/fetch-sources)")

set(VORBELZOZ_FLITE_VERSION 2.2)
set(VORBELZOZ_FLITE_TARBALL ${VORBELZOZ_SOURCES_DIR}/flite_${VORBELZOZ_FLITE_VERSION}.orig.tar.gz)
set(VORBELZOZ_FLITE_SHA256 ab1555fe5adc3f99f1d4a1a0eb1596d329fd6d74f1464a0097c81f53c0cf9e5c)
set(VORBELZOZ_LAME_VERSION 3.100)
set(VORBELZOZ_LAME_TARBALL ${VORBELZOZ_SOURCES_DIR}/lame_${VORBELZOZ_LAME_VERSION}.orig.tar.gz)
set(VORBELZOZ_LAME_SHA256 ddfe36cab873794038ae2c1210557ad34857a4b6bdc515785d1da9e175b1da1e)

foreach(tarball ${VORBELZOZ_FLITE_TARBALL} ${VORBELZOZ_LAME_TARBALL})
  if(NOT EXISTS ${tarball})
    message(FATAL_ERROR "${tarball} is missing: run scripts/fetch-sources ${VORBELZOZ_SOURCES_DIR}")
  endif()
endforeach()

set(VORBELZOZ_MINGW_HOST x86_64-w64-mingw32)

# Flite: configure, then only the folders the service links (no programs,
# no documentation). Optimised, without debug information; its own warnings
# are not this project's to mend.
ExternalProject_Add(flite_source
  URL ${VORBELZOZ_FLITE_TARBALL}
  URL_HASH SHA256=${VORBELZOZ_FLITE_SHA256}
  DOWNLOAD_EXTRACT_TIMESTAMP TRUE
  BUILD_IN_SOURCE TRUE
  PATCH_COMMAND ${CMAKE_COMMAND} -P ${CMAKE_SOURCE_DIR}/cmake/patch_flite.cmake
  CONFIGURE_COMMAND env "CFLAGS=-O2 -w" ./configure --host=${VORBELZOZ_MINGW_HOST} --disable-shared
    --with-audio=none --with-langvox=vorbelzoz
  BUILD_COMMAND $(MAKE) -C include COMMAND $(MAKE) -C src COMMAND $(MAKE) -C lang
  INSTALL_COMMAND ""
  BUILD_BYPRODUCTS
    <SOURCE_DIR>/build/x86_64-mingw32/lib/libflite.a
    <SOURCE_DIR>/build/x86_64-mingw32/lib/libflite_cmulex.a
    <SOURCE_DIR>/build/x86_64-mingw32/lib/libflite_usenglish.a
    <SOURCE_DIR>/build/x86_64-mingw32/lib/libflite_cmu_us_awb.a
    <SOURCE_DIR>/build/x86_64-mingw32/lib/libflite_cmu_us_rms.a
  LOG_CONFIGURE TRUE LOG_OUTPUT_ON_FAILURE TRUE)
# A changed patch needs pristine sources: unpack again.
ExternalProject_Add_StepDependencies(flite_source download ${CMAKE_SOURCE_DIR}/cmake/patch_flite.cmake)
ExternalProject_Get_Property(flite_source SOURCE_DIR)
set(VORBELZOZ_FLITE_DIR ${SOURCE_DIR})
set(flite_lib ${VORBELZOZ_FLITE_DIR}/build/x86_64-mingw32/lib)
file(MAKE_DIRECTORY ${VORBELZOZ_FLITE_DIR}/include)

add_library(vorbelzoz_flite INTERFACE)
add_dependencies(vorbelzoz_flite flite_source)
target_include_directories(vorbelzoz_flite SYSTEM INTERFACE ${VORBELZOZ_FLITE_DIR}/include)
# Voices first: they use the front end, the lexicon and the engine.
target_link_libraries(vorbelzoz_flite INTERFACE
  ${flite_lib}/libflite_cmu_us_awb.a ${flite_lib}/libflite_cmu_us_rms.a
  ${flite_lib}/libflite_usenglish.a ${flite_lib}/libflite_cmulex.a ${flite_lib}/libflite.a winmm)

# LAME: the encoder library only (no command-line program, no decoder), its
# warnings silenced as Flite's are.
ExternalProject_Add(lame_source
  URL ${VORBELZOZ_LAME_TARBALL}
  URL_HASH SHA256=${VORBELZOZ_LAME_SHA256}
  DOWNLOAD_EXTRACT_TIMESTAMP TRUE
  BUILD_IN_SOURCE TRUE
  CONFIGURE_COMMAND env "CFLAGS=-O2 -w" ./configure --host=${VORBELZOZ_MINGW_HOST} --disable-shared --enable-static
    --disable-frontend --disable-decoder --disable-gtktest
  BUILD_COMMAND $(MAKE) -C libmp3lame
  INSTALL_COMMAND ""
  BUILD_BYPRODUCTS <SOURCE_DIR>/libmp3lame/.libs/libmp3lame.a
  LOG_CONFIGURE TRUE LOG_OUTPUT_ON_FAILURE TRUE)
ExternalProject_Get_Property(lame_source SOURCE_DIR)
set(VORBELZOZ_LAME_DIR ${SOURCE_DIR})
# The service includes <lame/lame.h>, as from the Debian package.
set(VORBELZOZ_LAME_INCLUDE ${CMAKE_BINARY_DIR}/lame-include)
file(MAKE_DIRECTORY ${VORBELZOZ_LAME_INCLUDE})
ExternalProject_Add_Step(lame_source header
  COMMAND ${CMAKE_COMMAND} -E make_directory ${VORBELZOZ_LAME_INCLUDE}/lame
  COMMAND ${CMAKE_COMMAND} -E copy ${VORBELZOZ_LAME_DIR}/include/lame.h ${VORBELZOZ_LAME_INCLUDE}/lame/
  DEPENDEES build)

add_library(vorbelzoz_mp3lame INTERFACE)
add_dependencies(vorbelzoz_mp3lame lame_source)
target_include_directories(vorbelzoz_mp3lame SYSTEM INTERFACE ${VORBELZOZ_LAME_INCLUDE})
target_link_libraries(vorbelzoz_mp3lame INTERFACE ${VORBELZOZ_LAME_DIR}/libmp3lame/.libs/libmp3lame.a)

# The licences go into the program folder beside the service.
set(VORBELZOZ_FLITE_LICENCE ${VORBELZOZ_FLITE_DIR}/COPYING)
set(VORBELZOZ_LAME_LICENCE ${VORBELZOZ_LAME_DIR}/COPYING)
