# Tests that run inside a private network namespace (scripts/netns-run).
#
#   include(DivarodNetns)
#   divarod_netns_test(NAME SOURCES ... [DEPS ...] [LABELS ...] [TIMEOUT s] [NO_GTEST_MAIN])
#
# Like divarod_test, but every discovered test case runs as
#   scripts/netns-run --test <binary> --gtest_filter=<case>
# so each case gets a namespace of its own: the fixed ports and the limited
# broadcast 255.255.255.255 can be used, cases can run in parallel, and
# nothing leaves the namespace. The test links divarod_private_network; each
# case starts with DIVAROD_REQUIRE_PRIVATE_NETWORK() (tests/support/private_network.h),
# which skips it with the reason where no namespace could be made, and also
# when the binary is started by hand outside netns-run.
include_guard(GLOBAL)

set(DIVAROD_NETNS_RUN "${PROJECT_SOURCE_DIR}/scripts/netns-run" CACHE INTERNAL "")

function(divarod_netns_test name)
  cmake_parse_arguments(A "NO_GTEST_MAIN" "TIMEOUT" "SOURCES;DEPS;LABELS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  if(A_NO_GTEST_MAIN)
    target_link_libraries(${name} PRIVATE ${A_DEPS} divarod_private_network GTest::gtest GTest::gmock)
  else()
    target_link_libraries(${name} PRIVATE ${A_DEPS} divarod_private_network divarod_test_main
                          GTest::gtest GTest::gmock)
  endif()
  divarod_warnings(${name})
  if(NOT A_TIMEOUT)
    set(A_TIMEOUT 120)
  endif()
  if(NOT A_LABELS)
    set(A_LABELS e2e netns)
  endif()
  # gtest_discover_tests puts the emulator in front of the listing and of
  # every case it registers.
  set_property(TARGET ${name} PROPERTY CROSSCOMPILING_EMULATOR "${DIVAROD_NETNS_RUN};--test")
  include(GoogleTest)
  gtest_discover_tests(${name}
    DISCOVERY_TIMEOUT 60
    PROPERTIES TIMEOUT ${A_TIMEOUT})
  divarod_test_list_properties(${name} "${A_LABELS}"
    "QT_QPA_PLATFORM=offscreen;ASAN_OPTIONS=detect_leaks=1:abort_on_error=1;LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp;UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")
endfunction()
