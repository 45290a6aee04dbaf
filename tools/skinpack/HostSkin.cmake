# How the Harbor skin becomes a "SkinStream" value file, for the native build (with its own skinart and
# skinpack targets) and for the cross builds (with the same tools compiled by the host's compiler).
#
#   include(${CMAKE_SOURCE_DIR}/tools/skinpack/HostSkin.cmake)
#   veltrane_host_skinstream(${CMAKE_BINARY_DIR}/harbor.skinstream)   # adds target host_skinstream
include_guard(GLOBAL)

# skinart draws the bitmaps into WORK_DIR, the description and the member order are copied beside
# them, and skinpack packs the folder into OUTPUT. SKINART and SKINPACK are the tools' targets or the
# files that other commands of the build make.
function(veltrane_skinstream_command)
    cmake_parse_arguments(S "" "OUTPUT;WORK_DIR;SKINART;SKINPACK;COMMENT" "" ${ARGN})
    set(art ${CMAKE_SOURCE_DIR}/art/skin)
    add_custom_command(OUTPUT ${S_OUTPUT}
        COMMAND ${S_SKINART} ${S_WORK_DIR}
        COMMAND ${CMAKE_COMMAND} -E copy ${art}/harbor.ini ${art}/package.lst ${S_WORK_DIR}
        COMMAND ${S_SKINPACK} pack ${S_WORK_DIR} ${S_OUTPUT}
        DEPENDS ${S_SKINART} ${S_SKINPACK} ${art}/harbor.ini ${art}/package.lst
        COMMENT "${S_COMMENT}"
        VERBATIM)
endfunction()

# For cross builds, where the tools' own targets are not built: compiles skinart and skinpack with
# the host's C++ compiler and packs the skin with them.
function(veltrane_host_skinstream output)
    find_program(VELTRANE_HOST_CXX NAMES c++ g++ clang++ REQUIRED)
    set(root ${CMAKE_SOURCE_DIR})
    set(dir ${CMAKE_BINARY_DIR}/host-skin)
    set(headers ${root}/base/Bytes.h ${root}/base/Colour.h ${root}/toolkit/skin/Bmp.h ${root}/toolkit/skin/Lzh.h
        ${root}/toolkit/skin/SkinReader.h)
    set(skinpack_sources
        ${root}/tools/skinpack/SkinPack.cpp ${root}/toolkit/skin/Bmp.cpp ${root}/toolkit/skin/Lzh.cpp
        ${root}/toolkit/skin/SkinReader.cpp)
    set(skinart_sources ${root}/art/skin/SkinArt.cpp)
    foreach(tool skinpack skinart)
        add_custom_command(OUTPUT ${dir}/${tool}
            COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
            COMMAND ${VELTRANE_HOST_CXX} -std=c++20 -O2 -I${root} ${${tool}_sources} -o ${dir}/${tool}
            DEPENDS ${${tool}_sources} ${headers}
            VERBATIM)
    endforeach()
    veltrane_skinstream_command(OUTPUT ${output} WORK_DIR ${dir}/harbor
        SKINART ${dir}/skinart SKINPACK ${dir}/skinpack COMMENT "Packing the Harbor skin with host-built tools")
    add_custom_target(host_skinstream ALL DEPENDS ${output})
endfunction()
