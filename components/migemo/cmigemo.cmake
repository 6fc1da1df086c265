# C/Migemo's library sources as scripts/components.sh unpacked them into
# VORN_CMIGEMO_DIR, for migemo.dll and the native builds alike:
#   VORN_CMIGEMO_PLAIN_SOURCES  as they came;
#   VORN_CMIGEMO_SOURCES        the same with rxgen.patch applied to rxgen.c
#                               (a copy in the build folder, made again when
#                               either changes; a patch that does not apply
#                               exactly fails the build);
#   VORN_CMIGEMO_INCLUDE        the folder of their headers.
set(VORN_CMIGEMO_INCLUDE ${VORN_CMIGEMO_DIR}/src)
set(_rxgen ${CMAKE_CURRENT_BINARY_DIR}/cmigemo/rxgen.c)
set(VORN_CMIGEMO_PLAIN_SOURCES)
set(VORN_CMIGEMO_SOURCES)
foreach(name migemo mnode romaji rxgen wordbuf wordlist filename charset)
  list(APPEND VORN_CMIGEMO_PLAIN_SOURCES ${VORN_CMIGEMO_INCLUDE}/${name}.c)
  if(name STREQUAL rxgen)
    list(APPEND VORN_CMIGEMO_SOURCES ${_rxgen})
  else()
    list(APPEND VORN_CMIGEMO_SOURCES ${VORN_CMIGEMO_INCLUDE}/${name}.c)
  endif()
endforeach()

find_program(VORN_PATCH patch REQUIRED)
set(_patch ${CMAKE_CURRENT_LIST_DIR}/rxgen.patch)
add_custom_command(OUTPUT ${_rxgen}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/cmigemo
  COMMAND ${VORN_PATCH} -f -s --fuzz=0 -r - -o ${_rxgen}.new ${VORN_CMIGEMO_INCLUDE}/rxgen.c ${_patch}
  COMMAND ${CMAKE_COMMAND} -E rename ${_rxgen}.new ${_rxgen}
  DEPENDS ${VORN_CMIGEMO_INCLUDE}/rxgen.c ${_patch}
  COMMENT "Applying rxgen.patch to C/Migemo" VERBATIM)
