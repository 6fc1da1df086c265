# The outside components of Migemo search, built beside vorn.exe: migemo.dll,
# BREGEXP.DLL and the dictionary folder dict\. Their sources and Oniguruma come
# from scripts/components.sh (run by scripts/setup.sh) into the cache folder.
set(VORN_DICT_DIR /usr/share/cmigemo/cp932 CACHE PATH "Migemo dictionary (code page 932)")

if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(VORN_ONIG_DIR ${VORN_COMPONENTS}/onig-i686-w64-mingw32)
else()
  set(VORN_ONIG_DIR ${VORN_COMPONENTS}/onig-x86_64-w64-mingw32)
endif()
set(VORN_CMIGEMO_DIR ${VORN_COMPONENTS}/src/cmigemo)

if(NOT EXISTS ${VORN_ONIG_DIR}/lib/libonig.a OR NOT EXISTS ${VORN_CMIGEMO_DIR}/src/migemo.c)
  message(WARNING "The Migemo components are missing from ${VORN_COMPONENTS}: "
                  "run scripts/components.sh (scripts/setup.sh does). vorn builds without "
                  "migemo.dll and BREGEXP.DLL, and its Migemo tests fail.")
  return()
endif()

add_subdirectory(${CMAKE_SOURCE_DIR}/components/bregexp ${CMAKE_BINARY_DIR}/components/bregexp)
add_subdirectory(${CMAKE_SOURCE_DIR}/components/migemo ${CMAKE_BINARY_DIR}/components/migemo)

# The four dictionary files into dict\ beside vorn.exe.
set(VORN_DICT_FILES migemo-dict roma2hira.dat hira2kata.dat han2zen.dat)
set(dict_outputs)
foreach(f ${VORN_DICT_FILES})
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/dict/${f}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/dict
    COMMAND ${CMAKE_COMMAND} -E copy ${VORN_DICT_DIR}/${f} ${CMAKE_BINARY_DIR}/dict/${f}
    DEPENDS ${VORN_DICT_DIR}/${f} VERBATIM)
  list(APPEND dict_outputs ${CMAKE_BINARY_DIR}/dict/${f})
endforeach()
add_custom_target(migemo_dict ALL DEPENDS ${dict_outputs})
add_custom_target(migemo_components ALL DEPENDS bregexp migemo migemo_dict)
