# Windows programs (MinGW-w64 cross build) and their tests under Wine.
add_compile_definitions(_WIN32_WINNT=0x0601 WINVER=0x0601 _CRT_SECURE_NO_WARNINGS)
add_link_options(-static -static-libgcc -static-libstdc++)
set(VORN_WIN_LIBS comctl32 shell32 ole32 oleaut32 uuid shlwapi psapi winmm comdlg32 gdi32 user32)

add_library(vorn_core STATIC ${VORN_CORE_SOURCES})
target_include_directories(vorn_core PUBLIC ${CMAKE_SOURCE_DIR})

add_library(vorn_win STATIC ${VORN_WIN_SOURCES})
target_include_directories(vorn_win PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(vorn_win PUBLIC vorn_core ${VORN_WIN_LIBS})

# Resource scripts are written in UTF-8 and compiled in code page 932; a
# double-byte character whose second byte is "\" is kept whole
# (scripts/rc-to-cp932.sh).
function(vorn_resource out_var name)
  set(src ${CMAKE_SOURCE_DIR}/resources/${name}.rc)
  set(dst ${CMAKE_BINARY_DIR}/resources/${name}.rc)
  file(GLOB res_deps ${CMAKE_SOURCE_DIR}/resources/*)
  add_custom_command(OUTPUT ${dst}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/resources
    COMMAND sh ${CMAKE_SOURCE_DIR}/scripts/rc-to-cp932.sh ${src} ${dst}
    DEPENDS ${res_deps} ${CMAKE_SOURCE_DIR}/scripts/rc-to-cp932.sh VERBATIM)
  set(${out_var} ${dst} PARENT_SCOPE)
endfunction()

enable_language(RC)
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 932 -I${CMAKE_SOURCE_DIR}/resources")
vorn_resource(VORN_RC vorn)
add_executable(vorn WIN32 launcher/shell/main.cpp ${VORN_RC})
target_link_libraries(vorn vorn_win)

# migemo.dll, BREGEXP.DLL and dict\ beside vorn.exe.
include(${CMAKE_SOURCE_DIR}/components/components.cmake)
if(TARGET migemo_components)
  add_dependencies(vorn migemo_components)
endif()

# The other programs and plug-ins of the tree, each described in its own folder.
include(${CMAKE_SOURCE_DIR}/components/spi/spi.cmake OPTIONAL)
include(${CMAKE_SOURCE_DIR}/tools/tools.cmake OPTIONAL)
include(${CMAKE_SOURCE_DIR}/optbox/optbox.cmake OPTIONAL)

if(BUILD_TESTING)
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  include(GoogleTest)

  # In-process tests of the Win32 code.
  file(GLOB WINE_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/wine/*.cpp)
  if(WINE_TEST_SOURCES)
    add_executable(win_tests ${WINE_TEST_SOURCES} ${CMAKE_SOURCE_DIR}/tests/gtest_main_win.cpp)
    target_link_libraries(win_tests vorn_win gtest)
    gtest_discover_tests(win_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
                         PROPERTIES RUN_SERIAL TRUE TIMEOUT 60 LABELS wine)
  endif()

  # End-to-end tests: they start the real vorn.exe beside them. Their helpers
  # (VORN_E2E_HARNESS) also drive the release tests and the tour.
  file(GLOB E2E_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/*.cpp)
  set(VORN_E2E_HARNESS)
  foreach(h harness observe listread optbox_harness)
    list(APPEND VORN_E2E_HARNESS ${CMAKE_SOURCE_DIR}/tests/e2e/${h}.cpp)
  endforeach()
  if(E2E_TEST_SOURCES)
    add_executable(e2e_tests ${E2E_TEST_SOURCES} ${CMAKE_SOURCE_DIR}/tests/gtest_main_win.cpp)
    target_include_directories(e2e_tests PRIVATE ${CMAKE_SOURCE_DIR})
    target_link_libraries(e2e_tests gtest ${VORN_WIN_LIBS})
    add_dependencies(e2e_tests vorn)
    gtest_discover_tests(e2e_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
                         PROPERTIES RUN_SERIAL TRUE TIMEOUT 120 LABELS e2e)
  endif()
  if(TARGET migemo_components)
    foreach(user e2e_tests win_tests)
      if(TARGET ${user})
        add_dependencies(${user} migemo_components)
      endif()
    endforeach()
  endif()
  # A stand-in image plug-in for the preview's tests ("standin.spi"): classic
  # interface, undecorated exports on x86 too.
  add_library(standin_spi SHARED ${CMAKE_SOURCE_DIR}/tests/e2e/tools/spi/standin_spi.cpp)
  set_target_properties(standin_spi PROPERTIES PREFIX "" OUTPUT_NAME standin SUFFIX ".spi")
  target_link_options(standin_spi PRIVATE -Wl,--kill-at)
  foreach(user e2e_tests win_tests)
    if(TARGET ${user})
      add_dependencies(${user} standin_spi)
    endif()
  endforeach()
  # The steps of the tour that scripts/run.sh gives of a running vorn, each
  # typed with the harness's real key presses ("tour.exe folder <path>", ...).
  add_executable(tour ${CMAKE_SOURCE_DIR}/tests/e2e/tools/tour/tour.cpp ${VORN_E2E_HARNESS})
  target_include_directories(tour PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_libraries(tour gtest ${VORN_WIN_LIBS})
  # Small helper programs the end-to-end tests start (one .cpp each).
  file(GLOB E2E_TOOL_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/tools/*.cpp)
  foreach(t ${E2E_TOOL_SOURCES})
    get_filename_component(tn ${t} NAME_WE)
    add_executable(${tn} WIN32 ${t})
    target_link_libraries(${tn} ${VORN_WIN_LIBS})
    foreach(user e2e_tests win_tests)
      if(TARGET ${user})
        add_dependencies(${user} ${tn})
      endif()
    endforeach()
  endforeach()
endif()

# Timing of the file search's walk against "dir /s /b" (run by hand under Wine).
add_executable(search_walk_bench bench/search_walk_bench.cpp)
target_link_libraries(search_walk_bench vorn_win)

# Benchmarks that drive vorn.exe from a second program against a bare program
# doing the same thing (scripts/bench.sh runs them).
add_library(winbench STATIC bench/winbench.cpp)
target_link_libraries(winbench user32)
foreach(b list_refresh_bench hotkey_bench)
  add_executable(${b} bench/${b}.cpp)
  target_link_libraries(${b} winbench comctl32)
  add_dependencies(${b} vorn)
endforeach()
add_executable(bare_list WIN32 bench/bare_list.cpp)
target_link_libraries(bare_list comctl32)
add_executable(bare_hotkey WIN32 bench/bare_hotkey.cpp)
add_dependencies(list_refresh_bench bare_list)
add_dependencies(hotkey_bench bare_hotkey)

# The release archive (cmake --build <dir> --target package).
include(${CMAKE_SOURCE_DIR}/cmake/package.cmake)
