# Helpers shared by every subsystem's CMakeLists.txt.

if(CMAKE_SYSTEM_NAME STREQUAL "Windows")
  set(MOVARIN_WINDOWS ON)
else()
  set(MOVARIN_WINDOWS OFF)
endif()

set(MOVARIN_SHARED_DIR "${CMAKE_SOURCE_DIR}/../shared")
get_filename_component(MOVARIN_SHARED_DIR "${MOVARIN_SHARED_DIR}" ABSOLUTE)

add_compile_options(
  "$<$<COMPILE_LANGUAGE:CXX>:-Wall;-Wextra;-Wno-unused-parameter>")
# What ships (the 32-bit Windows tree) treats every warning as an error, so that mistakes
# that only 32-bit code makes (calling conventions, pointer truncation, format
# specifiers) stop the build instead of scrolling past.
if(MOVARIN_WINDOWS AND CMAKE_SIZEOF_VOID_P EQUAL 4)
  add_compile_options("$<$<COMPILE_LANGUAGE:CXX>:-Werror>")
endif()

if(MOVARIN_WINDOWS)
  # Static runtime: the programs ship without any DLL of their own.
  add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
  add_link_options(-static -static-libgcc -static-libstdc++)
endif()

if(MOVARIN_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

set(MOVARIN_TEST_ENV
  "MOVARIN_SOURCE=${CMAKE_SOURCE_DIR}"
  "MOVARIN_SHARED=${MOVARIN_SHARED_DIR}"
  "MOVARIN_BUILD=${CMAKE_BINARY_DIR}")

# A portable library: never includes <windows.h>, builds in every tree.
# In the fuzzing tree every library carries libFuzzer's coverage instrumentation (edge
# counters and comparison tracing, without the fuzzer's main): the decoders are what the
# fuzz targets explore, and without it libFuzzer gets no feedback from them and mutates
# blind. The unit tests linked against the same libraries still link and run: the
# sanitizer runtime supplies the coverage hooks as no-ops when no fuzzer is present.
function(movarin_library name)
  cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${A_SOURCES})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${A_LIBS})
  if(MOVARIN_FUZZ)
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer-no-link)
  endif()
endfunction()

# A Windows-only library (win32/ folders); built in the Windows trees only.
function(movarin_win32_library name)
  if(NOT MOVARIN_WINDOWS)
    return()
  endif()
  cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${A_SOURCES})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${A_LIBS})
endfunction()

# A GoogleTest suite of portable code, run natively (and under ASan in that tree).
# Each test case becomes its own CTest test.
function(movarin_native_test name)
  if(MOVARIN_WINDOWS OR MOVARIN_FUZZ_ONLY)
    return()
  endif()
  cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${A_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  # Test code is macro-heavy and runs briefly: optimising it hard only costs build time
  # (the code under test keeps the tree's own flags).
  if(CMAKE_BUILD_TYPE STREQUAL "Release")
    target_compile_options(${name} PRIVATE -O1)
  endif()
  include(GoogleTest)
  # Discovered tests get their properties through a command line that cannot carry a
  # list: they are given MOVARIN_SOURCE only; the shared folder is found beside it and
  # scripts/test.sh exports the rest.
  gtest_discover_tests(${name}
    DISCOVERY_TIMEOUT 120
    PROPERTIES ENVIRONMENT "MOVARIN_SOURCE=${CMAKE_SOURCE_DIR}" LABELS native)
endfunction()

# A GoogleTest suite cross-compiled for Windows and run under Wine, one CTest test
# per executable (the runner cannot list the cases without Wine at build time).
# SCRIPT names a script run instead of scripts/wine-run.sh (with the same arguments),
# for a test that must prepare Wine's environment itself.
function(movarin_wine_test name)
  if(NOT MOVARIN_WINDOWS OR NOT MOVARIN_WINE_TESTS)
    return()
  endif()
  cmake_parse_arguments(A "" "TIMEOUT;SCRIPT" "SOURCES;LIBS;RUNNER" ${ARGN})
  if(NOT A_TIMEOUT)
    set(A_TIMEOUT 300)
  endif()
  if(NOT A_SCRIPT)
    set(A_SCRIPT ${CMAKE_SOURCE_DIR}/scripts/wine-run.sh)
  endif()
  add_executable(${name} ${A_SOURCES})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${A_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  add_test(NAME ${name}
    COMMAND bash ${A_SCRIPT} ${A_RUNNER} $<TARGET_FILE:${name}>)
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "${MOVARIN_TEST_ENV}" TIMEOUT ${A_TIMEOUT} LABELS wine)
endfunction()

# A Windows program (GUI unless CONSOLE is given). SHIP marks what ships: the target
# movarin_ship builds those alone (the 32-bit tree builds nothing else).
if(MOVARIN_WINDOWS)
  add_custom_target(movarin_ship)
endif()
function(movarin_windows_program name)
  if(NOT MOVARIN_WINDOWS)
    return()
  endif()
  cmake_parse_arguments(A "CONSOLE;SHIP" "OUTPUT_NAME;FOLDER" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${A_LIBS})
  if(NOT A_CONSOLE)
    target_link_options(${name} PRIVATE -mwindows)
  endif()
  target_link_options(${name} PRIVATE -municode)
  if(A_OUTPUT_NAME)
    set_target_properties(${name} PROPERTIES OUTPUT_NAME ${A_OUTPUT_NAME})
  endif()
  # The program tree: build/<tree>/app/Movarin.exe, app/Adds/Register.exe, ...
  set_target_properties(${name} PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/app/${A_FOLDER}")
  if(A_SHIP)
    add_dependencies(movarin_ship ${name})
  endif()
endfunction()

# A libFuzzer target (clang tree only). Its seeds live in fuzz/<name>/corpus and the
# inputs that once crashed it in fuzz/<name>/crashes; CTest replays every crash file
# and runs a short fuzzing session.
function(movarin_fuzz_target name)
  if(NOT MOVARIN_FUZZ)
    return()
  endif()
  cmake_parse_arguments(A "" "SECONDS" "SOURCES;LIBS" ${ARGN})
  if(NOT A_SECONDS)
    set(A_SECONDS 15)
  endif()
  add_executable(${name} ${A_SOURCES})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_libraries(${name} PRIVATE ${A_LIBS})
  add_test(NAME ${name}
    COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/run-fuzz.sh $<TARGET_FILE:${name}>
            ${CMAKE_SOURCE_DIR}/fuzz/${name} ${A_SECONDS})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "${MOVARIN_TEST_ENV}" TIMEOUT 600 LABELS fuzz)
endfunction()

# A Google Benchmark program (native release tree only); run by scripts/bench.sh.
function(movarin_benchmark name)
  if(NOT MOVARIN_BENCH)
    return()
  endif()
  cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
  find_package(benchmark REQUIRED)
  add_executable(${name} ${A_SOURCES})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${A_LIBS} benchmark::benchmark)
  set_property(GLOBAL APPEND PROPERTY MOVARIN_BENCHMARKS ${name})
endfunction()

# Resources (the application manifests) are compiled with the tree's windres.
if(MOVARIN_WINDOWS)
  enable_language(RC)
endif()

# Embeds an application manifest in a Windows program made by movarin_windows_program:
# its assembly name, version, description and requested execution level. The processor
# architecture follows the tree: X86 for the 32-bit build that ships, amd64 for the
# 64-bit one the tests run.
function(movarin_program_manifest target)
  if(NOT MOVARIN_WINDOWS)
    return()
  endif()
  cmake_parse_arguments(A "" "NAME;VERSION;DESCRIPTION;LEVEL" "" ${ARGN})
  set(MANIFEST_NAME ${A_NAME})
  set(MANIFEST_VERSION ${A_VERSION})
  set(MANIFEST_DESCRIPTION ${A_DESCRIPTION})
  set(MANIFEST_LEVEL ${A_LEVEL})
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(MANIFEST_ARCH amd64)
  else()
    set(MANIFEST_ARCH X86)
  endif()
  set(_manifest "${CMAKE_CURRENT_BINARY_DIR}/${target}.manifest")
  set(_rc "${CMAKE_CURRENT_BINARY_DIR}/${target}_manifest.rc")
  configure_file("${CMAKE_SOURCE_DIR}/cmake/program.manifest.in" "${_manifest}" @ONLY)
  # 1 = the manifest a process is created with, 24 = RT_MANIFEST.
  file(WRITE "${_rc}.new" "1 24 \"${_manifest}\"\n")
  configure_file("${_rc}.new" "${_rc}" COPYONLY)
  target_sources(${target} PRIVATE "${_rc}")
  set_source_files_properties("${_rc}" PROPERTIES OBJECT_DEPENDS "${_manifest}")
endfunction()
