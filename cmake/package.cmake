# The release archive: vorn-<version>-<win32|win64>.zip through CPack, with the
# programs, the outside components, the dictionary, the plug-ins, the user
# guide in code page 932 with CR LF line ends and the licence texts of every
# third-party part. No data\ folder: vorn makes it on its first start.
set(VORN_VERSION 0.64)
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(VORN_PACKAGE_ARCH win32)
else()
  set(VORN_PACKAGE_ARCH win64)
endif()

install(TARGETS vorn RUNTIME DESTINATION .)
foreach(program Optbox tools)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION .)
  endif()
endforeach()
if(TARGET migemo_components)
  install(FILES ${CMAKE_BINARY_DIR}/BREGEXP.DLL ${CMAKE_BINARY_DIR}/migemo.dll DESTINATION .)
  install(DIRECTORY ${CMAKE_BINARY_DIR}/dict DESTINATION .)
endif()
if(EXISTS ${CMAKE_SOURCE_DIR}/components/spi/spi.cmake)
  install(DIRECTORY ${CMAKE_BINARY_DIR}/spi DESTINATION . FILES_MATCHING PATTERN "*.spi")
endif()

# The user guide and the licences, made in the build folder.
set(pkg ${CMAKE_BINARY_DIR}/package)
set(guide "${pkg}/お読みください.txt")
add_custom_command(OUTPUT ${guide}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${pkg}
  COMMAND sh -c "sed 's/$/\\r/' '${CMAKE_SOURCE_DIR}/package/readme_ja.txt' | iconv -f UTF-8 -t CP932 > '${guide}'"
  DEPENDS ${CMAKE_SOURCE_DIR}/package/readme_ja.txt VERBATIM)

set(licenses ${pkg}/licenses)
set(license_sources
  "Oniguruma.txt|${VORN_COMPONENTS}/src/onig/COPYING"
  "C-Migemo.txt|${VORN_COMPONENTS}/src/cmigemo/doc/LICENSE_MIT.txt"
  "C-Migemo-ja.txt|${VORN_COMPONENTS}/src/cmigemo/doc/LICENSE_j.txt"
  "cmigemo-copyright.txt|/usr/share/doc/cmigemo-common/copyright"
  "stb.txt|/usr/share/doc/libstb-dev/copyright"
  "libjpeg-turbo.txt|${VORN_COMPONENTS}/src/libjpeg-turbo/LICENSE.md"
  "libjpeg-turbo-IJG.txt|${VORN_COMPONENTS}/src/libjpeg-turbo/README.ijg"
  "libpng.txt|${VORN_COMPONENTS}/src/libpng/LICENSE"
  "zlib.txt|${VORN_COMPONENTS}/src/zlib/LICENSE"
  "giflib.txt|${VORN_COMPONENTS}/src/giflib/COPYING"
  "GPL-2.txt|/usr/share/common-licenses/GPL-2"
  "SKK-JISYO.txt|${CMAKE_SOURCE_DIR}/package/SKK-JISYO.txt")
set(license_outputs)
foreach(entry ${license_sources})
  string(REPLACE "|" ";" parts "${entry}")
  list(GET parts 0 name)
  list(GET parts 1 from)
  add_custom_command(OUTPUT ${licenses}/${name}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${licenses}
    COMMAND sh -c "sed 's/\\r*$/\\r/' '${from}' > '${licenses}/${name}'"
    DEPENDS ${from} VERBATIM)
  list(APPEND license_outputs ${licenses}/${name})
endforeach()
add_custom_target(package_texts ALL DEPENDS ${guide} ${license_outputs})
install(FILES ${guide} DESTINATION .)
install(DIRECTORY ${licenses} DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME vorn)
set(CPACK_PACKAGE_VERSION ${VORN_VERSION})
set(VORN_PACKAGE_NAME vorn-${VORN_VERSION}-${VORN_PACKAGE_ARCH})
set(CPACK_PACKAGE_FILE_NAME ${VORN_PACKAGE_NAME})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
set(CPACK_STRIP_FILES ON)
include(CPack)

# The archive unpacked into an empty folder and used as a user would (the
# package target must have been built: scripts/test.sh does).
if(BUILD_TESTING)
  set(release_root ${CMAKE_BINARY_DIR}/release-test)
  add_test(NAME release_unpack
    COMMAND sh -c "rm -rf '${release_root}' && mkdir -p '${release_root}' && cd '${release_root}' && ${CMAKE_COMMAND} -E tar xf '${CMAKE_BINARY_DIR}/${VORN_PACKAGE_NAME}.zip'")
  set_tests_properties(release_unpack PROPERTIES FIXTURES_SETUP release LABELS e2e)
  file(GLOB RELEASE_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/release/*.cpp)
  add_executable(release_tests ${RELEASE_TEST_SOURCES} ${VORN_E2E_HARNESS}
                 ${CMAKE_SOURCE_DIR}/tests/gtest_main_win.cpp)
  target_include_directories(release_tests PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_libraries(release_tests gtest ${VORN_WIN_LIBS} version)
  gtest_discover_tests(release_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
                       PROPERTIES RUN_SERIAL TRUE TIMEOUT 120 LABELS e2e FIXTURES_REQUIRED release
                       ENVIRONMENT VORN_RELEASE_DIR=${release_root}/${VORN_PACKAGE_NAME})
endif()
