# Source lists. The pure core never includes windows.h; it builds for Windows
# and natively (tests, fuzzing, benchmarks). the CTest test core_has_no_windows_h checks that.
set(VORN_CORE_SOURCES
  common/strutil.cpp
  common/datafile.cpp
  common/settings.cpp
  common/keymap.cpp
  common/listfile.cpp
  common/regapps.cpp
  common/toolrules.cpp
  common/urlpath.cpp
  launcher/shell/appstate.cpp
  launcher/shell/cmdline.cpp
  launcher/shell/keyfollow.cpp
  launcher/shell/requestqueue.cpp
  launcher/editbox/datemacro.cpp
  launcher/editbox/editgeom.cpp
  launcher/editbox/execrules.cpp
  launcher/editbox/completerules.cpp
  common/itemarray.cpp
  launcher/lists/listfilter.cpp
  launcher/lists/typeahead.cpp
  launcher/lists/history.cpp
  launcher/lists/favpages.cpp
  launcher/lists/itemkinds.cpp
  launcher/shellext/shellrules.cpp
  launcher/dragdrop/dragrules.cpp
  launcher/migemo/migemopattern.cpp
  launcher/preview/previewrules.cpp
  launcher/explorer/explorerrules.cpp
  optbox/optrules.cpp
  optbox/listeditrules.cpp
)

# Win32 shell of vorn: every .cpp under launcher/ that is not in the core,
# minus the program entry (kept apart so tests can link the rest).
file(GLOB VORN_LAUNCHER_ALL CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/launcher/*/*.cpp)
set(VORN_WIN_SOURCES common/fileio_win.cpp common/winutil.cpp)
foreach(f ${VORN_LAUNCHER_ALL})
  file(RELATIVE_PATH rel ${CMAKE_SOURCE_DIR} ${f})
  list(FIND VORN_CORE_SOURCES ${rel} idx)
  if(idx EQUAL -1 AND NOT rel STREQUAL "launcher/shell/main.cpp")
    list(APPEND VORN_WIN_SOURCES ${rel})
  endif()
endforeach()
