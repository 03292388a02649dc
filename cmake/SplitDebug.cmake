# qx_split_debug(target): a program as shipped carries no debug information.
# After each link it goes into .debug/<program>.debug beside the program,
# which names that file in its GNU debug link (where debuggers look), and
# the program itself is stripped.
function(qx_split_debug target)
  if(NOT CMAKE_OBJCOPY)
    message(FATAL_ERROR "qx_split_debug: no objcopy (binutils)")
  endif()
  set(debug $<TARGET_FILE_DIR:${target}>/.debug/$<TARGET_FILE_NAME:${target}>.debug)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E make_directory $<TARGET_FILE_DIR:${target}>/.debug
    COMMAND ${CMAKE_OBJCOPY} --only-keep-debug $<TARGET_FILE:${target}> ${debug}
    COMMAND ${CMAKE_OBJCOPY} --strip-all --add-gnu-debuglink=${debug} $<TARGET_FILE:${target}>
    VERBATIM)
endfunction()
