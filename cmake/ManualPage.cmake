# pde_add_manual_page(<program target> <one-line description>)
#
# Makes <program>.1 from the program's own --help and --version with help2man, and installs it in
# <mandir>/man1. Without help2man (scripts/setup installs it) the page is left out with a note.
find_program(PDE_HELP2MAN help2man)
if(NOT PDE_HELP2MAN)
  message(STATUS "help2man not found: no manual pages are made")
endif()

function(pde_add_manual_page target description)
  if(NOT PDE_HELP2MAN OR PDE_SANITIZE)
    return()
  endif()
  set(page ${CMAKE_CURRENT_BINARY_DIR}/${target}.1)
  add_custom_command(OUTPUT ${page}
    COMMAND ${PDE_HELP2MAN} --no-info --section 1 --name "${description}" --output ${page} $<TARGET_FILE:${target}>
    DEPENDS ${target}
    COMMENT "Making the manual page ${target}.1")
  add_custom_target(${target}_manual_page ALL DEPENDS ${page})
  install(FILES ${page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endfunction()
