# Optbox.exe, the settings program, built beside vorn.exe (included by
# cmake/windows.cmake). Its pure rules (optrules) are part of vorn_core.

# Every resources/optbox*.rc is converted to code page 932 (scripts/rc-to-cp932.sh) into the build's
# resources folder, so that the scripts include each other there.
file(GLOB OPTBOX_RC_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/resources/optbox*.rc)
set(OPTBOX_RC_OUTPUTS)
set(OPTBOX_RC_COMMANDS)
foreach(src ${OPTBOX_RC_SOURCES})
  get_filename_component(name ${src} NAME)
  list(APPEND OPTBOX_RC_OUTPUTS ${CMAKE_BINARY_DIR}/resources/${name})
  list(APPEND OPTBOX_RC_COMMANDS COMMAND sh ${CMAKE_SOURCE_DIR}/scripts/rc-to-cp932.sh ${src}
       ${CMAKE_BINARY_DIR}/resources/${name})
endforeach()
add_custom_command(OUTPUT ${OPTBOX_RC_OUTPUTS}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/resources
  ${OPTBOX_RC_COMMANDS}
  DEPENDS ${OPTBOX_RC_SOURCES} ${CMAKE_SOURCE_DIR}/resources/optbox_res.h
          ${CMAKE_SOURCE_DIR}/resources/optbox.manifest ${CMAKE_SOURCE_DIR}/resources/vorn.ico
          ${CMAKE_SOURCE_DIR}/scripts/rc-to-cp932.sh
  VERBATIM)
add_custom_target(optbox_resources DEPENDS ${OPTBOX_RC_OUTPUTS})

file(GLOB OPTBOX_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/optbox/*.cpp)
list(REMOVE_ITEM OPTBOX_SOURCES ${CMAKE_SOURCE_DIR}/optbox/optrules.cpp)
list(REMOVE_ITEM OPTBOX_SOURCES ${CMAKE_SOURCE_DIR}/optbox/listeditrules.cpp)
add_executable(Optbox WIN32 ${OPTBOX_SOURCES} ${CMAKE_BINARY_DIR}/resources/optbox.rc)
add_dependencies(Optbox optbox_resources)
target_link_libraries(Optbox vorn_win)
# Built whenever vorn is, so the built-in "Optbox" commands find it.
add_dependencies(vorn Optbox)
