# Shared build rules: warnings, sanitizers and the helpers every folder uses
# to declare its libraries, tests, fuzz targets and benchmarks.
include_guard(GLOBAL)

set(LORIMEL_WARNINGS -Wall -Wextra -Wpedantic -Wnon-virtual-dtor -Wcast-align
    -Wunused -Woverloaded-virtual -Wnull-dereference -Wimplicit-fallthrough)
if(LORIMEL_WERROR)
  list(APPEND LORIMEL_WARNINGS -Werror)
endif()

if(LORIMEL_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

if(LORIMEL_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "LORIMEL_FUZZ needs clang (CXX=clang++)")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined
                      -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# lorimel_library(<name> [SHARED] SOURCES ... [LINK ...] [PUBLIC_LINK ...])
# Static libraries are position-independent because the ripper library
# links the shared ones into a shared object.
function(lorimel_library name)
  cmake_parse_arguments(ARG "SHARED" "" "SOURCES;LINK;PUBLIC_LINK" ${ARGN})
  if(ARG_SHARED)
    add_library(${name} SHARED ${ARG_SOURCES})
  else()
    add_library(${name} STATIC ${ARG_SOURCES})
  endif()
  set_target_properties(${name} PROPERTIES POSITION_INDEPENDENT_CODE ON)
  target_compile_options(${name} PRIVATE ${LORIMEL_WARNINGS})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_PUBLIC_LINK} PRIVATE ${ARG_LINK})
endfunction()

function(lorimel_executable name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LINK" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_compile_options(${name} PRIVATE ${LORIMEL_WARNINGS})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${ARG_LINK})
endfunction()

# Test programs land in build/tests so that they never turn the program
# folder (build/bin) into a test's playground.
function(_lorimel_test_target name)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/tests")
  target_compile_options(${name} PRIVATE ${LORIMEL_WARNINGS})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests)
  target_compile_definitions(${name} PRIVATE
    LORIMEL_SOURCE_DIR="${PROJECT_SOURCE_DIR}" LORIMEL_BINARY_DIR="${CMAKE_BINARY_DIR}")
endfunction()

# lorimel_qtest(<name> SOURCES ... LINK ... [XVFB])
# A Qt Test program; headless (offscreen) unless XVFB asks for a real X server.
function(lorimel_qtest name)
  cmake_parse_arguments(ARG "XVFB" "TIMEOUT" "SOURCES;LINK" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  _lorimel_test_target(${name})
  target_link_libraries(${name} PRIVATE Qt6::Test lorimel_testcommon ${ARG_LINK})
  if(ARG_XVFB)
    add_test(NAME ${name} COMMAND xvfb-run -a -s "-screen 0 1280x1024x24" $<TARGET_FILE:${name}>)
  else()
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
  endif()
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT})
endfunction()

# lorimel_gtest(<name> SOURCES ... LINK ...): GoogleTest program for code
# that links no Qt.
function(lorimel_gtest name)
  cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LINK" ${ARGN})
  find_package(GTest REQUIRED)
  add_executable(${name} ${ARG_SOURCES})
  _lorimel_test_target(${name})
  target_link_libraries(${name} PRIVATE GTest::gtest GTest::gtest_main ${ARG_LINK})
  add_test(NAME ${name} COMMAND ${name})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT})
endfunction()

# lorimel_fuzzer(<name> SOURCES ... LINK ...): a libFuzzer target; only in a
# LORIMEL_FUZZ tree. The source file is fuzz/<name>.cpp by convention.
function(lorimel_fuzzer name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LINK" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_compile_options(${name} PRIVATE ${LORIMEL_WARNINGS})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${ARG_LINK})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
endfunction()

# Builds the fuzz targets with clang in a tree of their own beside this one
# and runs each for a few seconds as a test.
function(lorimel_add_fuzz_smoke)
  if(NOT LORIMEL_FUZZ_SMOKE)
    return()
  endif()
  find_program(LORIMEL_CLANGXX NAMES clang++ clang++-14)
  find_program(LORIMEL_CLANG NAMES clang clang-14)
  if(NOT LORIMEL_CLANGXX OR NOT LORIMEL_CLANG)
    message(STATUS "clang not found: fuzz targets are not built or run")
    return()
  endif()
  include(ExternalProject)
  set(fuzz_dir "${CMAKE_BINARY_DIR}/fuzz-build")
  ExternalProject_Add(lorimel_fuzzers
    SOURCE_DIR "${PROJECT_SOURCE_DIR}"
    BINARY_DIR "${fuzz_dir}"
    CMAKE_ARGS -DLORIMEL_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo
               -DCMAKE_C_COMPILER=${LORIMEL_CLANG} -DCMAKE_CXX_COMPILER=${LORIMEL_CLANGXX}
               -DLORIMEL_WERROR=${LORIMEL_WERROR}
    BUILD_ALWAYS ON
    INSTALL_COMMAND ""
    USES_TERMINAL_BUILD ON)
  set(LORIMEL_FUZZ_SECONDS 4 CACHE STRING "Seconds each fuzz target runs under ctest")
  file(GLOB fuzz_sources "${PROJECT_SOURCE_DIR}/fuzz/fuzz_*.cpp")
  foreach(src IN LISTS fuzz_sources)
    get_filename_component(fname "${src}" NAME_WE)
    add_test(NAME ${fname}
      COMMAND "${PROJECT_SOURCE_DIR}/scripts/fuzz-one.sh" "${fuzz_dir}/bin/${fname}"
              "${PROJECT_SOURCE_DIR}/fuzz/corpus/${fname}" ${LORIMEL_FUZZ_SECONDS} 1)
    set_tests_properties(${fname} PROPERTIES TIMEOUT 120 LABELS fuzz)
  endforeach()
endfunction()
