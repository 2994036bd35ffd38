# SQLite, the learning record's store. On Linux it is Debian's libsqlite3;
# the Windows program links a static build of its own (filled in by the
# cross build), so the executable still needs only system DLLs.
add_library(vorbelzoz_sqlite3 INTERFACE)
if(NOT WIN32)
  find_package(SQLite3 REQUIRED)
  target_link_libraries(vorbelzoz_sqlite3 INTERFACE SQLite::SQLite3)
endif()
