# For cross builds, where the targets of this folder are not built: compiles skinart and skinpack
# with the host's C++ compiler and packs the Harbor skin into a "SkinStream" value file.
#
#   include(${CMAKE_SOURCE_DIR}/tools/skinpack/HostSkin.cmake)
#   veltrane_host_skinstream(${CMAKE_BINARY_DIR}/harbor.skinstream)   # adds target host_skinstream
function(veltrane_host_skinstream output)
    find_program(VELTRANE_HOST_CXX NAMES c++ g++ clang++ REQUIRED)
    set(root ${CMAKE_SOURCE_DIR})
    set(dir ${CMAKE_BINARY_DIR}/host-skin)
    set(pack_sources
        ${root}/tools/skinpack/SkinPack.cpp ${root}/toolkit/skin/Bmp.cpp ${root}/toolkit/skin/Lzh.cpp
        ${root}/toolkit/skin/SkinReader.cpp)
    set(art_sources ${root}/art/skin/SkinArt.cpp)
    add_custom_command(OUTPUT ${dir}/skinpack
        COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
        COMMAND ${VELTRANE_HOST_CXX} -std=c++20 -O2 -I${root} ${pack_sources} -o ${dir}/skinpack
        DEPENDS ${pack_sources} ${root}/toolkit/skin/Bmp.h ${root}/toolkit/skin/Lzh.h
            ${root}/toolkit/skin/SkinReader.h
        VERBATIM)
    add_custom_command(OUTPUT ${dir}/skinart
        COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
        COMMAND ${VELTRANE_HOST_CXX} -std=c++20 -O2 ${art_sources} -o ${dir}/skinart
        DEPENDS ${art_sources}
        VERBATIM)
    add_custom_command(OUTPUT ${output}
        COMMAND ${dir}/skinart ${dir}/harbor
        COMMAND ${CMAKE_COMMAND} -E copy ${root}/art/skin/harbor.ini ${root}/art/skin/package.lst ${dir}/harbor
        COMMAND ${dir}/skinpack pack ${dir}/harbor ${output}
        DEPENDS ${dir}/skinpack ${dir}/skinart ${root}/art/skin/harbor.ini ${root}/art/skin/package.lst
        COMMENT "Packing the Harbor skin with host-built tools"
        VERBATIM)
    add_custom_target(host_skinstream ALL DEPENDS ${output})
endfunction()
