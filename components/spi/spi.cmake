# Our picture plug-ins for the preview, one DLL each, built into spi\ beside
# vorn.exe: ifjpeg.spi (JPEG, libjpeg-turbo), ifgif.spi (GIF, giflib) and
# ifxld4.spi (PNG with libpng and zlib, PNM and PSD with our own readers, TGA
# with the distribution's stb_image). The libraries are the static builds of
# scripts/components.sh (run by scripts/setup.sh); stb_image comes from
# libstb-dev (header only).
set(VORN_STB_INCLUDE /usr/include/stb CACHE PATH "Folder of stb_image.h")
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(spi_triplet i686-w64-mingw32)
else()
  set(spi_triplet x86_64-w64-mingw32)
endif()
set(spi_jpeg ${VORN_COMPONENTS}/jpeg-${spi_triplet})
set(spi_pic ${VORN_COMPONENTS}/pic-${spi_triplet})
foreach(f ${VORN_STB_INCLUDE}/stb_image.h ${spi_jpeg}/lib/libjpeg.a ${spi_pic}/lib/libpng.a
          ${spi_pic}/lib/libz.a ${spi_pic}/lib/libgif.a)
  if(NOT EXISTS ${f})
    message(WARNING "${f} is missing (scripts/setup.sh builds or installs it): "
                    "vorn builds without its picture plug-ins.")
    return()
  endif()
endforeach()

set(spi_dir ${CMAKE_SOURCE_DIR}/components/spi)
# Outside code: its own warnings are not ours to mend, and its integer sums
# wrap as the machine does (some overflow on damaged data).
set_source_files_properties(${spi_dir}/stbimpl.cpp PROPERTIES COMPILE_OPTIONS "-w;-fwrapv")

set(VORN_SPI_NAMES)
# vorn_spi(<name> <description> <codec define> SOURCES <decoders> LIBS <libraries>)
function(vorn_spi name plugin codec)
  cmake_parse_arguments(arg "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} SHARED ${spi_dir}/spiplugin.cpp ${spi_dir}/spidecode.cpp
              ${spi_dir}/spicodecs.cpp ${arg_SOURCES} ${spi_dir}/spi.def)
  set_target_properties(${name} PROPERTIES PREFIX "" SUFFIX ".spi"
                        RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/spi
                        ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/components/spi)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  target_include_directories(${name} SYSTEM PRIVATE ${VORN_STB_INCLUDE} ${spi_jpeg}/include
                             ${spi_pic}/include)
  target_compile_definitions(${name} PRIVATE VORN_SPI_PLUGIN=${plugin} ${codec})
  target_link_libraries(${name} PRIVATE ${arg_LIBS})
  target_link_options(${name} PRIVATE -Wl,--kill-at -s)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    # The .def names the exports without the @n of __stdcall: bind them so.
    target_link_options(${name} PRIVATE -Wl,--enable-stdcall-fixup)
  endif()
  set(VORN_SPI_NAMES ${VORN_SPI_NAMES} ${name} PARENT_SCOPE)
endfunction()

vorn_spi(ifjpeg SpiJpegPlugin SPI_CODEC_JPEG SOURCES ${spi_dir}/spijpeg.cpp
         LIBS ${spi_jpeg}/lib/libjpeg.a)
vorn_spi(ifgif SpiGifPlugin SPI_CODEC_GIF SOURCES ${spi_dir}/spigif.cpp
         LIBS ${spi_pic}/lib/libgif.a)
vorn_spi(ifxld4 SpiXld4Plugin SPI_CODEC_XLD4
         SOURCES ${spi_dir}/spipng.cpp ${spi_dir}/spipnm.cpp ${spi_dir}/spistb.cpp ${spi_dir}/spipsd.cpp
                 ${spi_dir}/stbimpl.cpp
         LIBS ${spi_pic}/lib/libpng.a ${spi_pic}/lib/libz.a)

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

# Timing of the plug-ins under Wine against the libraries' own decoding (run by
# hand: bench/spi_wine_bench.cpp).
add_executable(spi_wine_bench ${CMAKE_SOURCE_DIR}/bench/spi_wine_bench.cpp)
target_include_directories(spi_wine_bench SYSTEM PRIVATE ${spi_jpeg}/include ${spi_pic}/include)
target_link_libraries(spi_wine_bench ${spi_jpeg}/lib/libjpeg.a ${spi_pic}/lib/libpng.a
                      ${spi_pic}/lib/libz.a)
add_dependencies(spi_wine_bench spi_plugins)
