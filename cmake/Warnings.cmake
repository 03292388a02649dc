# Warnings for our own targets; third-party headers come in as system includes.
function(qx_warnings target)
  target_compile_options(${target} PRIVATE
    -Wall -Wextra -Wpedantic -Wnon-virtual-dtor
    $<$<CXX_COMPILER_ID:GNU>:-Wshadow=local>
    -Woverloaded-virtual -Wimplicit-fallthrough -Wno-unused-parameter)
  if(QX_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# One library of ours: sources, public include root at the repository top.
function(qx_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_LIBS})
  qx_warnings(${name})
endfunction()

# One GoogleTest suite, registered with CTest test by test. Each test may
# take TIMEOUT seconds (300 unless given); the road tests, named by gtest
# filters, take their own: ROADS "<filter>=<seconds>" ... A road test is
# labelled "road" (.ci/run fails when one skips for a reason outside the
# list in tests/support/TestSupport.h). The test learns its limit from
# QX_TEST_LIMIT, so that its waits end before it. HELPERS names the tests
# that only another test runs, in a process of its own: CTest leaves them.
function(qx_test name)
  cmake_parse_arguments(ARG "GUI" "TIMEOUT" "SOURCES;LIBS;ROADS;HELPERS" ${ARGN})
  if(NOT QX_BUILD_TESTS)
    return()
  endif()
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  # The suite's fixtures folder is compiled in, so the binary runs alone too.
  set(data_src ${CMAKE_CURRENT_BINARY_DIR}/${name}_datadir.cpp)
  file(CONFIGURE OUTPUT ${data_src}
       CONTENT "extern const char* const qxtest_data_dir;\nconst char* const qxtest_data_dir = \"${CMAKE_CURRENT_SOURCE_DIR}/tests/data\";\n")
  add_executable(${name} ${ARG_SOURCES} ${data_src})
  if(ARG_GUI)
    target_link_libraries(${name} PRIVATE qx_testmain_gui ${ARG_LIBS})
  else()
    target_link_libraries(${name} PRIVATE qx_testmain ${ARG_LIBS})
  endif()
  qx_warnings(${name})
  set(others "")
  foreach(road IN LISTS ARG_ROADS)
    string(REGEX MATCH "^(.+)=([0-9]+)$" matched "${road}")
    if(NOT matched)
      message(FATAL_ERROR "qx_test(${name}): a road is <gtest filter>=<seconds>, not '${road}'")
    endif()
    gtest_discover_tests(${name}
      DISCOVERY_TIMEOUT 60
      TEST_FILTER "${CMAKE_MATCH_1}"
      PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
                 ENVIRONMENT_MODIFICATION "QX_TEST_LIMIT=set:${CMAKE_MATCH_2}"
                 TIMEOUT ${CMAKE_MATCH_2}
                 LABELS road)
    string(APPEND others ":${CMAKE_MATCH_1}")
  endforeach()
  foreach(helper IN LISTS ARG_HELPERS)
    string(APPEND others ":${helper}")
  endforeach()
  if(others STREQUAL "")
    set(filter "*")
  else()
    string(SUBSTRING "${others}" 1 -1 others)
    set(filter "-${others}")
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_TIMEOUT 60
    TEST_FILTER "${filter}"
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
               ENVIRONMENT_MODIFICATION "QX_TEST_LIMIT=set:${ARG_TIMEOUT}"
               TIMEOUT ${ARG_TIMEOUT})
endfunction()
