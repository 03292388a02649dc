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

# One GoogleTest suite, registered with CTest test by test.
function(qx_test name)
  cmake_parse_arguments(ARG "GUI" "" "SOURCES;LIBS" ${ARGN})
  if(NOT QX_BUILD_TESTS)
    return()
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
  gtest_discover_tests(${name}
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
               TIMEOUT 300)
endfunction()
