# libFuzzer targets: clang only, on request (QX_BUILD_FUZZ). A target's
# libraries are built with coverage instrumentation so the fuzzer sees into
# them:
#   qx_fuzz(name SOURCES a.cpp ... LIBS lib ... [INSTRUMENT lib ...])
# INSTRUMENT defaults to LIBS.

# The instrumented libraries call into a sanitizer runtime, which every other
# program of the tree (the tests) then needs too.
if(QX_BUILD_FUZZ AND CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  add_link_options(-fsanitize=fuzzer-no-link)
endif()

function(qx_fuzz name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;INSTRUMENT" ${ARGN})
  if(NOT QX_BUILD_FUZZ OR NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    return()
  endif()
  if(NOT ARG_INSTRUMENT)
    set(ARG_INSTRUMENT ${ARG_LIBS})
  endif()
  foreach(lib ${ARG_INSTRUMENT})
    get_target_property(done ${lib} QX_FUZZ_INSTRUMENTED)
    if(NOT done)
      target_compile_options(${lib} PRIVATE -fsanitize=fuzzer-no-link)
      set_target_properties(${lib} PROPERTIES QX_FUZZ_INSTRUMENTED ON)
    endif()
  endforeach()
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  qx_warnings(${name})
endfunction()
