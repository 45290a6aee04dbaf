# libjpeg with the 6.2 interface, for the banner decoder, as the interface target veltrane_libjpeg.
# Natively it is Debian's libjpeg62-turbo. The Windows builds compile libjpeg-turbo from Debian's source
# package (scripts/fetch-libjpeg.sh puts it in third_party/src) as a static library with the same toolchain;
# so does the fuzz build, with the fuzzer's coverage and the address and undefined-behaviour checkers, so
# that the fuzzer is guided inside the decoder and the checkers see its memory accesses.
include_guard(GLOBAL)

add_library(veltrane_libjpeg INTERFACE)

if(NOT WIN32 AND NOT VELTRANE_FUZZ)
    find_package(JPEG REQUIRED)
    if(DEFINED JPEG_VERSION AND NOT JPEG_VERSION STREQUAL "62")
        message(FATAL_ERROR "libjpeg interface ${JPEG_VERSION} found, 62 needed (libjpeg62-turbo-dev)")
    endif()
    target_link_libraries(veltrane_libjpeg INTERFACE JPEG::JPEG)
    return()
endif()

set(libjpeg_source ${CMAKE_SOURCE_DIR}/third_party/src/libjpeg-turbo)
if(NOT EXISTS ${libjpeg_source}/jpeglib.h)
    execute_process(COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/fetch-libjpeg.sh RESULT_VARIABLE fetch_result)
    if(NOT fetch_result EQUAL 0)
        message(FATAL_ERROR "libjpeg-turbo source could not be fetched (scripts/fetch-libjpeg.sh)")
    endif()
endif()

include(ExternalProject)
if(VELTRANE_FUZZ)
    set(libjpeg_toolchain -DCMAKE_C_COMPILER=${CMAKE_C_COMPILER})
    list(JOIN VELTRANE_FUZZ_FLAGS " " libjpeg_c_flags)
    string(APPEND libjpeg_c_flags " -g")
else()
    set(libjpeg_toolchain -DCMAKE_TOOLCHAIN_FILE=${CMAKE_TOOLCHAIN_FILE})
    set(libjpeg_c_flags "-ffunction-sections -fdata-sections")
endif()
set(libjpeg_binary ${CMAKE_BINARY_DIR}/third_party/libjpeg-turbo)
set(libjpeg_library ${libjpeg_binary}/libjpeg.a)
# Only the static library is built: no TurboJPEG, no tools, no SIMD (it would speed up one 600 x 61
# picture by well under a millisecond and adds assembly to the build).
ExternalProject_Add(libjpeg_turbo
    SOURCE_DIR ${libjpeg_source}
    BINARY_DIR ${libjpeg_binary}
    PREFIX ${CMAKE_BINARY_DIR}/third_party/libjpeg-turbo-stamp
    CMAKE_ARGS
        -Wno-dev
        ${libjpeg_toolchain}
        -DCMAKE_INSTALL_PREFIX=${libjpeg_binary}/unused-install
        -DCMAKE_BUILD_TYPE=Release
        -DENABLE_SHARED=OFF
        -DENABLE_STATIC=ON
        -DWITH_JPEG7=OFF
        -DWITH_JPEG8=OFF
        -DWITH_SIMD=OFF
        -DWITH_TURBOJPEG=OFF
        -DWITH_ARITH_ENC=OFF
    CMAKE_CACHE_ARGS
        "-DCMAKE_C_FLAGS:STRING=${libjpeg_c_flags}"
    BUILD_COMMAND ${CMAKE_COMMAND} --build <BINARY_DIR> --target jpeg-static
    INSTALL_COMMAND ""
    BUILD_BYPRODUCTS ${libjpeg_library})

# jconfig.h is generated into the build folder, the other headers come from the source.
target_include_directories(veltrane_libjpeg SYSTEM INTERFACE ${libjpeg_source} ${libjpeg_binary})
target_link_libraries(veltrane_libjpeg INTERFACE ${libjpeg_library})
add_dependencies(veltrane_libjpeg libjpeg_turbo)
