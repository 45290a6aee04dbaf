# Shared compile settings and helpers for every target of the project.

add_library(veltrane_options INTERFACE)
target_compile_options(veltrane_options INTERFACE -Wall -Wextra)
target_include_directories(veltrane_options INTERFACE ${CMAKE_SOURCE_DIR})

if(WIN32)
    target_compile_definitions(veltrane_options INTERFACE
        UNICODE _UNICODE NOMINMAX WIN32_LEAN_AND_MEAN _WIN32_WINNT=0x0600 WINVER=0x0600 _WIN32_IE=0x0600)
    # Only system DLLs and ZELK.dll may be imported: link the C and C++ runtimes in.
    # Sections start on page boundaries in the file too: Wine then maps an image's pages from the file,
    # shared and clean, where with the default 512-byte alignment it copies every section into private
    # memory of each process (about 1 MB for the program and ZELK.dll).
    target_link_options(veltrane_options INTERFACE -static -static-libgcc -static-libstdc++
        -Wl,--gc-sections -Wl,--file-alignment,4096 $<$<CONFIG:Release>:-s>)
    target_compile_options(veltrane_options INTERFACE -ffunction-sections -fdata-sections)
endif()

# Any report ends the program, so a test that triggers one fails.
if(VELTRANE_SANITIZE)
    target_compile_options(veltrane_options INTERFACE
        -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_link_options(veltrane_options INTERFACE -fsanitize=address,undefined)
endif()

# The fuzz build's instrumentation; cmake/LibJpeg.cmake builds libjpeg-turbo with it too.
set(VELTRANE_FUZZ_FLAGS
    -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
if(VELTRANE_FUZZ)
    target_compile_options(veltrane_options INTERFACE ${VELTRANE_FUZZ_FLAGS})
    target_link_options(veltrane_options INTERFACE -fsanitize=address,undefined)
endif()

# Places a finished executable or DLL in the dist folder that outside checks use.
function(veltrane_dist target)
    set_target_properties(${target} PROPERTIES
        RUNTIME_OUTPUT_DIRECTORY "${VELTRANE_DIST}"
        LIBRARY_OUTPUT_DIRECTORY "${VELTRANE_DIST}")
endfunction()

# Places a test program or a Windows benchmark in the test folder beside the dist folder.
function(veltrane_test_program target)
    set_target_properties(${target} PROPERTIES
        RUNTIME_OUTPUT_DIRECTORY "${VELTRANE_TEST_DIST}"
        LIBRARY_OUTPUT_DIRECTORY "${VELTRANE_TEST_DIST}")
endfunction()

# A portable library: plain C++, no windowing system.
function(veltrane_core_library name)
    add_library(${name} STATIC ${ARGN})
    target_link_libraries(${name} PUBLIC veltrane_options)
endfunction()

# A GoogleTest executable registered with CTest.
function(veltrane_unit_test name)
    cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
    find_package(GTest REQUIRED)
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE ${T_LIBS} veltrane_options GTest::gtest GTest::gtest_main)
    include(GoogleTest)
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 30)
endfunction()

# Adds every subfolder of the calling folder that has a build description of its own.
function(veltrane_add_subfolders)
    file(GLOB entries LIST_DIRECTORIES true CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*)
    foreach(entry IN LISTS entries)
        if(IS_DIRECTORY ${entry} AND EXISTS ${entry}/CMakeLists.txt)
            add_subdirectory(${entry})
        endif()
    endforeach()
endfunction()

# The .def of a DLL made here, for this architecture: on 32-bit its aliases drop the stdcall argument
# size from the exported names; 64-bit names carry none, so the aliases collapse to plain names.
function(veltrane_dll_def out def)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${def})
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
        set(${out} ${def} PARENT_SCOPE)
        return()
    endif()
    get_filename_component(name ${def} NAME_WE)
    file(READ ${def} text)
    string(REGEX REPLACE " = [A-Za-z]+@[0-9]+" "" text "${text}")
    file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/${name}64.def "${text}")
    set(${out} ${CMAKE_CURRENT_BINARY_DIR}/${name}64.def PARENT_SCOPE)
endfunction()
