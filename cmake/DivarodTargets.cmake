# Helpers shared by every folder of the build.

function(divarod_warnings target)
  if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    target_compile_options(${target} PRIVATE -Wall -Wextra)
    if(DIVAROD_WERROR)
      target_compile_options(${target} PRIVATE -Werror)
    endif()
  endif()
endfunction()

if(DIVAROD_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# The fuzz flavour instruments every library the fuzz targets reach, not only
# the harnesses: coverage for libFuzzer to steer by, and the sanitizers to see
# a fault inside the parsers. Undefined behaviour stops the run at once.
# Only the fuzz targets link the fuzzer itself (divarod_fuzz below).
if(DIVAROD_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
  # scripts/fuzz reads the targets and their seed corpora from this list.
  set(DIVAROD_FUZZ_LIST "${CMAKE_BINARY_DIR}/fuzz_targets.txt" CACHE INTERNAL "")
  file(WRITE "${DIVAROD_FUZZ_LIST}" "")
endif()

# The thread-sanitizer flavour. DIVAROD_TSAN also compiles in the hand-over
# annotations of ui/framework/thread_handover.h; tests labelled "threads" run
# in it (scripts/test).
if(DIVAROD_TSAN)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_compile_definitions(DIVAROD_TSAN=1)
  add_link_options(-fsanitize=thread)
  # Every executable carries the sanitizer's options and suppressions, so that
  # tests, the program and the tools run at build time need no environment.
  add_library(divarod_tsan_options OBJECT "${CMAKE_CURRENT_LIST_DIR}/tsan_options.cpp")
  target_compile_definitions(divarod_tsan_options PRIVATE
    DIVAROD_TSAN_SUPPRESSIONS="${PROJECT_SOURCE_DIR}/tests/tsan.supp")
  set_target_properties(divarod_tsan_options PROPERTIES AUTOMOC OFF)
  link_libraries(divarod_tsan_options)
endif()

# Adds every direct or nested sub-folder (up to two levels) that carries a CMakeLists.txt.
function(divarod_add_subdirectories)
  foreach(root ${ARGN})
    set(root_dir "${CMAKE_CURRENT_SOURCE_DIR}/${root}")
    if(EXISTS "${root_dir}/CMakeLists.txt")
      add_subdirectory(${root})
      continue()
    endif()
    file(GLOB level1 LIST_DIRECTORIES true "${root_dir}/*")
    list(SORT level1)
    foreach(dir ${level1})
      if(IS_DIRECTORY "${dir}")
        if(EXISTS "${dir}/CMakeLists.txt")
          add_subdirectory("${dir}")
        else()
          file(GLOB level2 LIST_DIRECTORIES true "${dir}/*")
          list(SORT level2)
          foreach(sub ${level2})
            if(IS_DIRECTORY "${sub}" AND EXISTS "${sub}/CMakeLists.txt")
              add_subdirectory("${sub}")
            endif()
          endforeach()
        endif()
      endif()
    endforeach()
  endforeach()
endfunction()

# divarod_library(NAME SOURCES ... [DEPS ...] [PUBLIC_DEPS ...])
# A static library whose include root is the source tree, so headers are
# included as "core/device/device_record.h".
function(divarod_library name)
  cmake_parse_arguments(A "" "" "SOURCES;DEPS;PUBLIC_DEPS" ${ARGN})
  add_library(${name} STATIC ${A_SOURCES})
  target_include_directories(${name} PUBLIC "${PROJECT_SOURCE_DIR}")
  target_link_libraries(${name} PUBLIC ${A_PUBLIC_DEPS} PRIVATE ${A_DEPS})
  divarod_warnings(${name})
endfunction()

# divarod_test_list_properties(NAME LABELS ENVIRONMENT): the labels and the
# environment of every case gtest_discover_tests registers for NAME. These are
# lists, which gtest_discover_tests' PROPERTIES flattens into separate
# arguments (only the first item would survive); a file that ctest reads after
# the discovered list sets them whole.
function(divarod_test_list_properties name labels environment)
  set(properties_file "${CMAKE_CURRENT_BINARY_DIR}/${name}_properties.cmake")
  file(WRITE "${properties_file}"
    "if(${name}_TESTS)\n"
    "  set_tests_properties(\${${name}_TESTS} PROPERTIES\n"
    "    LABELS [==[${labels}]==]\n"
    "    ENVIRONMENT [==[${environment}]==])\n"
    "endif()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${properties_file}")
endfunction()

# divarod_test(NAME SOURCES ... [DEPS ...] [LABELS ...] [TIMEOUT s] [NO_GTEST_MAIN])
# One GoogleTest executable, registered with ctest as one test per case.
# Widgets run on the offscreen platform. Device discovery sends nowhere
# (DIVAROD_DISCOVERY_TARGETS=none) unless a test points it at its simulator:
# a test never broadcasts on this machine's interfaces.
function(divarod_test name)
  cmake_parse_arguments(A "NO_GTEST_MAIN" "TIMEOUT" "SOURCES;DEPS;LABELS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  if(A_NO_GTEST_MAIN)
    target_link_libraries(${name} PRIVATE ${A_DEPS} GTest::gtest GTest::gmock)
  else()
    target_link_libraries(${name} PRIVATE ${A_DEPS} divarod_test_main GTest::gtest GTest::gmock)
  endif()
  divarod_warnings(${name})
  if(NOT A_TIMEOUT)
    set(A_TIMEOUT 120)
  endif()
  if(NOT A_LABELS)
    set(A_LABELS unit)
  endif()
  include(GoogleTest)
  gtest_discover_tests(${name}
    DISCOVERY_TIMEOUT 60
    PROPERTIES TIMEOUT ${A_TIMEOUT})
  divarod_test_list_properties(${name} "${A_LABELS}"
    "DIVAROD_DISCOVERY_TARGETS=none;QT_QPA_PLATFORM=offscreen;ASAN_OPTIONS=detect_leaks=1:abort_on_error=1;LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp;UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")
endfunction()

# divarod_fuzz(NAME SOURCES ... [DEPS ...] [CORPUS dir])
# With DIVAROD_FUZZ (clang) a libFuzzer binary, built with the target
# divarod_fuzzers and run by scripts/fuzz; otherwise the same entry point
# driven by a replay main over the seed corpus and a fixed set of random
# inputs, run by ctest in every build (the sanitizer build included).
function(divarod_fuzz name)
  cmake_parse_arguments(A "" "CORPUS" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  target_link_libraries(${name} PRIVATE ${A_DEPS})
  divarod_warnings(${name})
  if(DIVAROD_FUZZ)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    if(NOT TARGET divarod_fuzzers)
      add_custom_target(divarod_fuzzers)
    endif()
    add_dependencies(divarod_fuzzers ${name})
    file(APPEND "${DIVAROD_FUZZ_LIST}" "${name} ${A_CORPUS}\n")
  else()
    target_link_libraries(${name} PRIVATE divarod_fuzz_replay)
    set(corpus_arg "")
    if(A_CORPUS)
      set(corpus_arg "${A_CORPUS}")
    endif()
    add_test(NAME ${name} COMMAND ${name} ${corpus_arg})
    set_tests_properties(${name} PROPERTIES TIMEOUT 300 LABELS fuzz
      ENVIRONMENT "DIVAROD_DISCOVERY_TARGETS=none;ASAN_OPTIONS=detect_leaks=1:abort_on_error=1;UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")
  endif()
endfunction()

# divarod_benchmark(NAME [HARNESS] SOURCES ... [DEPS ...]): a Google Benchmark
# binary, or with HARNESS a timed harness of its own that prints its figures;
# either is run by scripts/bench (which reads the list benchmarks.txt), never
# by ctest.
if(DIVAROD_BENCH)
  set(DIVAROD_BENCH_LIST "${CMAKE_BINARY_DIR}/benchmarks.txt" CACHE INTERNAL "")
  file(WRITE "${DIVAROD_BENCH_LIST}" "")
endif()
function(divarod_benchmark name)
  if(NOT DIVAROD_BENCH)
    return()
  endif()
  cmake_parse_arguments(A "HARNESS" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  target_link_libraries(${name} PRIVATE ${A_DEPS})
  if(NOT A_HARNESS)
    target_link_libraries(${name} PRIVATE benchmark::benchmark)
  endif()
  divarod_warnings(${name})
  file(APPEND "${DIVAROD_BENCH_LIST}" "${name}\n")
endfunction()

# Copies the shipped data folder to "Config File/" beside the executables.
# Every build runs the step; it copies a file only when the copy is missing
# or the shipped file changed since the step last copied it, so what the
# program writes there (Config.ini) survives builds (cmake/copy_shipped_data.cmake).
function(divarod_copy_data src dst_dir)
  add_custom_target(divarod_data ALL
    COMMAND ${CMAKE_COMMAND} "-DSOURCE=${src}" "-DDESTINATION=${dst_dir}/Config File"
            "-DMANIFEST=${CMAKE_BINARY_DIR}/shipped-data.sha256"
            -P "${CMAKE_CURRENT_FUNCTION_LIST_DIR}/copy_shipped_data.cmake"
    COMMENT "Copying the changed shipped files to Config File beside the executables"
    VERBATIM)
endfunction()
