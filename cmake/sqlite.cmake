# SQLite, the learning record's store. On Linux it is Debian's libsqlite3;
# the Windows program links a static build of its own, cross-compiled from
# Debian's source tarball of the same release, so the executable still needs
# only system DLLs.
add_library(vorbelzoz_sqlite3 INTERFACE)
if(NOT WIN32)
  find_package(SQLite3 REQUIRED)
  target_link_libraries(vorbelzoz_sqlite3 INTERFACE SQLite::SQLite3)
  return()
endif()

include(ExternalProject)
set(VORBELZOZ_SOURCES_DIR "${CMAKE_SOURCE_DIR}/build/sources" CACHE PATH
  "Folder holding the third-party source tarballs (scripts/fetch-sources)")
set(VORBELZOZ_SQLITE_VERSION 3.40.1)
set(VORBELZOZ_SQLITE_TARBALL ${VORBELZOZ_SOURCES_DIR}/sqlite3_${VORBELZOZ_SQLITE_VERSION}.orig.tar.xz)
set(VORBELZOZ_SQLITE_SHA256 aaa776260ab4dc976db34aa7891819484c8676b5b2783123ebc6301e2ca5d655)
if(NOT EXISTS ${VORBELZOZ_SQLITE_TARBALL})
  message(FATAL_ERROR "${VORBELZOZ_SQLITE_TARBALL} is missing: run scripts/fetch-sources ${VORBELZOZ_SOURCES_DIR}")
endif()
find_program(VORBELZOZ_TCLSH tclsh REQUIRED)
find_program(VORBELZOZ_MINGW_GCC NAMES x86_64-w64-mingw32-gcc-posix x86_64-w64-mingw32-gcc REQUIRED)

# The tarball is SQLite's source tree, not the single-file amalgamation:
# configure it for the build machine only to generate sqlite3.c (its
# generators are host programs and Tcl scripts), then cross-compile that one
# file into a static library. Serialized threading, as Debian's library has;
# no extension loading, since the program loads none; double-quoted strings
# are identifiers only, so a mistyped column name is an error.
set(sqlite_flags -O2 -w -DSQLITE_THREADSAFE=1 -DSQLITE_OMIT_LOAD_EXTENSION -DSQLITE_DQS=0)
ExternalProject_Add(sqlite_source
  URL ${VORBELZOZ_SQLITE_TARBALL}
  URL_HASH SHA256=${VORBELZOZ_SQLITE_SHA256}
  DOWNLOAD_EXTRACT_TIMESTAMP TRUE
  BUILD_IN_SOURCE TRUE
  CONFIGURE_COMMAND env -u CC -u CFLAGS TCLSH_CMD=${VORBELZOZ_TCLSH} ./configure --disable-tcl
  BUILD_COMMAND $(MAKE) sqlite3.c
    COMMAND ${VORBELZOZ_MINGW_GCC} ${sqlite_flags} -c sqlite3.c -o sqlite3-win64.o
    COMMAND ${CMAKE_COMMAND} -E rm -f libsqlite3-win64.a
    COMMAND ${CMAKE_AR} rcs libsqlite3-win64.a sqlite3-win64.o
  INSTALL_COMMAND ""
  BUILD_BYPRODUCTS <SOURCE_DIR>/libsqlite3-win64.a
  LOG_CONFIGURE TRUE LOG_BUILD TRUE LOG_OUTPUT_ON_FAILURE TRUE)
ExternalProject_Get_Property(sqlite_source SOURCE_DIR)
set(VORBELZOZ_SQLITE_DIR ${SOURCE_DIR})
# Only the public header, not the whole source tree, on the include path.
set(VORBELZOZ_SQLITE_INCLUDE ${CMAKE_BINARY_DIR}/sqlite-include)
file(MAKE_DIRECTORY ${VORBELZOZ_SQLITE_INCLUDE})
ExternalProject_Add_Step(sqlite_source header
  COMMAND ${CMAKE_COMMAND} -E copy ${VORBELZOZ_SQLITE_DIR}/sqlite3.h ${VORBELZOZ_SQLITE_INCLUDE}/
  DEPENDEES build)

add_dependencies(vorbelzoz_sqlite3 sqlite_source)
target_include_directories(vorbelzoz_sqlite3 SYSTEM INTERFACE ${VORBELZOZ_SQLITE_INCLUDE})
target_link_libraries(vorbelzoz_sqlite3 INTERFACE ${VORBELZOZ_SQLITE_DIR}/libsqlite3-win64.a)
set(VORBELZOZ_SQLITE_LICENCE ${VORBELZOZ_SQLITE_DIR}/LICENSE.md)
