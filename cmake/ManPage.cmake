# SPDX-License-Identifier: MIT
# Installs a manual page compressed as Debian wants it: gzip -9 with no name or time stamp in the
# header, so two builds of the same page give the same bytes. A page whose source ends in ".in"
# is configured first, so it names the version the build defines.
include_guard(GLOBAL)
include(GNUInstallDirs)
find_program(ICATLAS_GZIP gzip REQUIRED)

# icatlas_install_man_page(<page source, e.g. icatlas.1 or icatlas.1.in>): section from the
# page's last suffix.
function(icatlas_install_man_page page)
    get_filename_component(name ${page} NAME)
    string(REGEX REPLACE "\\.in$" "" name ${name})
    string(REGEX MATCH "[0-9]$" section ${name})
    if(NOT section)
        message(FATAL_ERROR "${page}: a manual page's name ends in its section number")
    endif()
    set(copy ${CMAKE_CURRENT_BINARY_DIR}/${name})
    set(configured ${CMAKE_CURRENT_BINARY_DIR}/configured/${name})
    configure_file(${page} ${configured} @ONLY)
    add_custom_command(OUTPUT ${copy}.gz
        COMMAND ${CMAKE_COMMAND} -E copy ${configured} ${copy}
        COMMAND ${ICATLAS_GZIP} -9nf ${copy}
        DEPENDS ${configured}
        COMMENT "Compressing the manual page ${name}"
        VERBATIM)
    add_custom_target(man_${name} ALL DEPENDS ${copy}.gz)
    install(FILES ${copy}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section})
endfunction()
