# Native build of the pure core: unit tests under ASan/UBSan, fuzz targets,
# benchmarks.
set(VORN_NATIVE_SOURCES ${VORN_CORE_SOURCES} common/fileio_posix.cpp)

# The core and the native builds of the outside components' pure parts: the
# BREGEXP adapter over the distribution's Oniguruma (libonig-dev) and the
# picture plug-ins' decoding, every format, over the distribution's own builds
# of the same libraries (libjpeg62-turbo-dev, libpng-dev, zlib1g-dev,
# libgif-dev) and its stb_image (libstb-dev).
set(VORN_SPI_SOURCES components/spi/spidecode.cpp components/spi/spicodecs.cpp
    components/spi/spijpeg.cpp components/spi/spipng.cpp components/spi/spigif.cpp
    components/spi/spipnm.cpp components/spi/spistb.cpp components/spi/spipsd.cpp components/spi/stbimpl.cpp)
function(vorn_native_libraries)
  add_library(vorn_core STATIC ${VORN_NATIVE_SOURCES})
  target_include_directories(vorn_core PUBLIC ${CMAKE_SOURCE_DIR})
  add_library(bregexp_native STATIC components/bregexp/bregexp.cpp
              components/bregexp/quickmatch.cpp)
  target_include_directories(bregexp_native PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(bregexp_native PUBLIC onig)
  add_library(spi_native STATIC ${VORN_SPI_SOURCES})
  target_include_directories(spi_native PUBLIC ${CMAKE_SOURCE_DIR})
  target_include_directories(spi_native SYSTEM PRIVATE /usr/include/stb)
  target_link_libraries(spi_native PUBLIC jpeg png gif z)
  set_source_files_properties(components/spi/stbimpl.cpp PROPERTIES COMPILE_OPTIONS "-w;-fwrapv")
endfunction()

if(VORN_FUZZ)
  add_compile_options(-g -O1 -fsanitize=fuzzer-no-link,address,undefined)
  vorn_native_libraries()
  # Undefined behaviour in the decoder is a finding, not a note.
  target_compile_options(spi_native PRIVATE -fno-sanitize-recover=undefined)
  add_subdirectory(fuzz)
  return()
endif()

if(VORN_SANITIZE AND NOT VORN_BENCH)
  add_compile_options(-g -fsanitize=address,undefined -fno-sanitize-recover=undefined
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

vorn_native_libraries()

# C/Migemo as migemo.dll has it: the same sources with the same change
# (components/migemo/cmigemo.cmake), for the tests and the benchmarks. Its
# functions stay inside the programs (hidden), so that the plain build a test
# loads beside it binds to its own.
set(VORN_CMIGEMO_DIR ${VORN_COMPONENTS}/src/cmigemo)
if(NOT EXISTS ${VORN_CMIGEMO_DIR}/src/migemo.c)
  message(FATAL_ERROR "C/Migemo's sources are missing from ${VORN_COMPONENTS}: "
                      "run scripts/components.sh (scripts/setup.sh does).")
endif()
include(${CMAKE_SOURCE_DIR}/components/migemo/cmigemo.cmake)
add_library(migemo_native STATIC ${VORN_CMIGEMO_SOURCES})
target_include_directories(migemo_native SYSTEM PUBLIC ${VORN_CMIGEMO_INCLUDE})
target_compile_options(migemo_native PRIVATE -w -fvisibility=hidden)

if(VORN_BENCH)
  if(EXISTS ${CMAKE_SOURCE_DIR}/bench/CMakeLists.txt)
    add_subdirectory(bench)
  endif()
  return()
endif()

find_package(GTest REQUIRED)
include(GoogleTest)
file(GLOB NATIVE_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/native/*.cpp)
add_executable(core_tests ${NATIVE_TEST_SOURCES})
# The Migemo chain runs with our build of C/Migemo and the distribution's cp932
# dictionary; C/Migemo's sources as they came are loaded beside it to compare.
set(VORN_NATIVE_DICT_DIR /usr/share/cmigemo/cp932 CACHE PATH "Migemo dictionary (code page 932)")
add_library(migemo_plain MODULE ${VORN_CMIGEMO_PLAIN_SOURCES})
target_compile_options(migemo_plain PRIVATE -w)
target_link_options(migemo_plain PRIVATE -Wl,-Bsymbolic)
add_dependencies(core_tests migemo_plain)
target_link_libraries(core_tests vorn_core bregexp_native spi_native migemo_native
                      ${CMAKE_DL_LIBS} GTest::gtest_main)
target_compile_definitions(core_tests PRIVATE VORN_MIGEMO_DICT="${VORN_NATIVE_DICT_DIR}"
                           VORN_MIGEMO_PLAIN="$<TARGET_FILE:migemo_plain>")
# The picture corpus of the plug-ins' agreement test (scripts/components.sh).
target_compile_definitions(core_tests PRIVATE VORN_SPI_CORPUS="${VORN_COMPONENTS}/corpus"
                           VORN_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
gtest_discover_tests(core_tests DISCOVERY_TIMEOUT 60)

# The core must stay free of windows.h.
add_test(NAME core_has_no_windows_h
  COMMAND ${CMAKE_SOURCE_DIR}/scripts/check-core.sh ${CMAKE_SOURCE_DIR} ${VORN_CORE_SOURCES})
# Who may include what inside launcher/ (the layer table of docs/architecture.md),
# and the check itself over a made-up tree.
add_test(NAME launcher_layers_hold
  COMMAND ${CMAKE_SOURCE_DIR}/scripts/check-layers.sh ${CMAKE_SOURCE_DIR})
add_test(NAME layer_check_reports_each_rule
  COMMAND ${CMAKE_SOURCE_DIR}/tests/native/check_layers_test.sh ${CMAKE_SOURCE_DIR}/scripts/check-layers.sh)
