# Our picture plug-ins for the preview, one DLL each, built into spi\ beside
# vorn.exe: ifjpeg.spi (JPEG), ifgif.spi (GIF) and ifxld4.spi (PNG, TGA, PSD,
# PNM). They decode with the distribution's stb_image (libstb-dev, header only,
# installed by scripts/setup.sh); each keeps only its own formats.
set(VORN_STB_INCLUDE /usr/include/stb CACHE PATH "Folder of stb_image.h")
if(NOT EXISTS ${VORN_STB_INCLUDE}/stb_image.h)
  message(WARNING "stb_image.h is missing from ${VORN_STB_INCLUDE} (libstb-dev; "
                  "scripts/setup.sh installs it): vorn builds without its picture plug-ins.")
  return()
endif()

set(spi_dir ${CMAKE_SOURCE_DIR}/components/spi)
# Outside code: its own warnings are not ours to mend, and its integer sums
# wrap as the machine does (some overflow on damaged data).
set_source_files_properties(${spi_dir}/stbimpl.cpp PROPERTIES COMPILE_OPTIONS "-w;-fwrapv")

set(VORN_SPI_NAMES)
function(vorn_spi name plugin)
  add_library(${name} SHARED ${spi_dir}/spiplugin.cpp ${spi_dir}/spidecode.cpp
              ${spi_dir}/stbimpl.cpp ${spi_dir}/spi.def)
  set_target_properties(${name} PROPERTIES PREFIX "" SUFFIX ".spi"
                        RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/spi
                        ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/components/spi)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  target_include_directories(${name} SYSTEM PRIVATE ${VORN_STB_INCLUDE})
  target_compile_definitions(${name} PRIVATE VORN_SPI_PLUGIN=${plugin} ${ARGN})
  target_link_options(${name} PRIVATE -Wl,--kill-at -s)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    # The .def names the exports without the @n of __stdcall: bind them so.
    target_link_options(${name} PRIVATE -Wl,--enable-stdcall-fixup)
  endif()
  set(VORN_SPI_NAMES ${VORN_SPI_NAMES} ${name} PARENT_SCOPE)
endfunction()

vorn_spi(ifjpeg SpiJpegPlugin STBI_ONLY_JPEG)
vorn_spi(ifgif SpiGifPlugin STBI_ONLY_GIF)
vorn_spi(ifxld4 SpiXld4Plugin STBI_ONLY_PNG STBI_ONLY_TGA STBI_ONLY_PSD STBI_ONLY_PNM)

add_custom_target(spi_plugins ALL DEPENDS ${VORN_SPI_NAMES})
add_dependencies(vorn spi_plugins)

# The in-process tests load the plug-ins from spi\ beside them; the test target
# is defined later in the Windows build.
function(vorn_spi_test_deps)
  if(TARGET win_tests)
    add_dependencies(win_tests spi_plugins)
  endif()
endfunction()
cmake_language(DEFER CALL vorn_spi_test_deps)

# Every plug-in exports exactly the names hosts look up, undecorated (read from
# the files, so the x86 build is checked where it cannot run).
if(BUILD_TESTING)
  set(spi_files)
  foreach(n ${VORN_SPI_NAMES})
    list(APPEND spi_files $<TARGET_FILE:${n}>)
  endforeach()
  string(REPLACE ";" "|" spi_files "${spi_files}")
  add_test(NAME SpiExports
    COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${CMAKE_OBJDUMP} "-DFILES=${spi_files}"
            -DDEF=${spi_dir}/spi.def -P ${spi_dir}/checkexports.cmake)
endif()
