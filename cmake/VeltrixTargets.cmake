# Shared settings for every target of this project, and the test helper.

add_library(veltrix_options INTERFACE)
target_compile_options(veltrix_options INTERFACE -Wall -Wextra -Werror)
target_include_directories(veltrix_options INTERFACE ${PROJECT_SOURCE_DIR})
# The builds that run tests check that the window's state stays on its thread.
if(VELTRIX_TESTS)
  target_compile_definitions(veltrix_options INTERFACE VELTRIX_CHECK_THREADS)
endif()
if(WIN32)
  target_compile_definitions(veltrix_options INTERFACE
    UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0A00 WINVER=0x0A00)
endif()

if(VELTRIX_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

if(WIN32)
  # The same commit gives the same bytes in any source and build folder: no
  # folder in debug information or __FILE__, no link time in the PE header.
  # GCC tries the last map first, which matters when the build folder lies
  # inside the source folder.
  add_compile_options(
    $<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${PROJECT_SOURCE_DIR}=.>
    $<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${CMAKE_BINARY_DIR}=.>)
  add_link_options(-Wl,--no-insert-timestamp)
endif()

if(CMAKE_CROSSCOMPILING AND WIN32)
  # Test executables run under Wine in a prefix that belongs to this build tree.
  set(VELTRIX_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${PROJECT_SOURCE_DIR}/cmake/wine-run ${VELTRIX_WINEPREFIX})
endif()

# veltrix_ship(TARGETS...)
# Files the bundle ships go without debug information: their link step moves
# it into <build>/debug/<file>.debug, outside the bundle, and leaves a debug
# link to it. Done as a linker launcher because that can be set here on
# targets of other folders, which a POST_BUILD step cannot.
function(veltrix_ship)
  if(NOT CMAKE_OBJCOPY)
    message(FATAL_ERROR "no objcopy for the toolchain, needed to move debug information out")
  endif()
  foreach(target ${ARGN})
    set_property(TARGET ${target} PROPERTY CXX_LINKER_LAUNCHER
      ${PROJECT_SOURCE_DIR}/cmake/split-debug ${CMAKE_OBJCOPY} ${CMAKE_BINARY_DIR}/debug)
  endforeach()
endfunction()

# veltrix_add_test(NAME SOURCES ... [LIBS ...] [IN_BUNDLE] [DEPENDS targets...])
# Natively every test case is its own CTest entry; on Windows the whole
# executable is one entry, since each Wine process start costs time.
# IN_BUNDLE places a Windows test program in the bundle, beside the engine
# and plug-in DLLs it loads (and has them built first); DEPENDS names what
# else must be built before it runs.
function(veltrix_add_test name)
  if(NOT VELTRIX_TESTS)
    return()
  endif()
  cmake_parse_arguments(ARG "IN_BUNDLE" "" "SOURCES;LIBS;DEPENDS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE veltrix_options ${ARG_LIBS} GTest::gmock GTest::gtest_main)
  if(ARG_IN_BUNDLE AND WIN32)
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bundle)
    add_dependencies(${name}
      flutter_windows flutter_secure_storage_windows_plugin url_launcher_windows_plugin)
  endif()
  if(ARG_DEPENDS)
    add_dependencies(${name} ${ARG_DEPENDS})
  endif()
  if(CMAKE_CROSSCOMPILING)
    add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
    set_tests_properties(${name} PROPERTIES TIMEOUT 600)
  else()
    include(GoogleTest)
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60)
  endif()
endfunction()
