# Delay-import libraries for the system DLLs that the Windows program needs
# only after its first window is up: the web client (wininet), sockets
# (ws2_32), sound (winmm, which brings msacm32 and COM with it) and OLE (ole32,
# oleaut32, for the rich-text box and the HTML view). Linked through these,
# a DLL is mapped at the first call into it instead of before wWinMain, so
# the bank window does not wait for DLLs it does not use.
#
# Debian's mingw-w64 ships the import libraries but no .def files to make
# delay-import libraries from. The export names are read from each import
# library instead (its code thunks: data exports cannot be delay-loaded) and
# dlltool makes the delay-import library, once, at configure time.
#
# Every one of these DLLs ships with each Windows the program supports; were
# one missing, its first call would end the program as a missing import ends
# it today at start.
set(VORBELZOZ_DELAY_LOADED_DLLS wininet ws2_32 winmm ole32 oleaut32)

if(NOT CMAKE_NM OR NOT CMAKE_DLLTOOL)
  message(FATAL_ERROR "The delay-import libraries need nm and dlltool (CMAKE_NM, CMAKE_DLLTOOL)")
endif()

set(delay_dir ${CMAKE_BINARY_DIR}/delay-imports)
file(MAKE_DIRECTORY ${delay_dir})
set(VORBELZOZ_DELAY_IMPORT_LIBRARIES)
foreach(dll ${VORBELZOZ_DELAY_LOADED_DLLS})
  find_library(import_library_${dll} NAMES lib${dll}.a REQUIRED NO_CACHE)
  set(delay_library ${delay_dir}/lib${dll}_delay.a)
  execute_process(COMMAND ${CMAKE_NM} -g --defined-only ${import_library_${dll}}
    OUTPUT_VARIABLE symbols RESULT_VARIABLE nm_failed)
  if(nm_failed)
    message(FATAL_ERROR "nm could not read ${import_library_${dll}}")
  endif()
  string(REGEX MATCHALL "[0-9a-f]+ T [A-Za-z_][A-Za-z0-9_@]*" names "${symbols}")
  list(TRANSFORM names REPLACE "^[0-9a-f]+ T " "")
  list(REMOVE_DUPLICATES names)
  list(SORT names)
  if(NOT names)
    message(FATAL_ERROR "No exports found in ${import_library_${dll}}")
  endif()
  list(JOIN names "\n" exports)
  file(WRITE ${delay_dir}/${dll}.def "LIBRARY ${dll}.dll\nEXPORTS\n${exports}\n")
  execute_process(COMMAND ${CMAKE_DLLTOOL} --input-def ${delay_dir}/${dll}.def
    --output-delaylib ${delay_library} --dllname ${dll}.dll
    RESULT_VARIABLE dlltool_failed)
  if(dlltool_failed)
    message(FATAL_ERROR "dlltool could not make ${delay_library}")
  endif()
  list(APPEND VORBELZOZ_DELAY_IMPORT_LIBRARIES ${delay_library})
endforeach()
