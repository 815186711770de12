# SPDX-License-Identifier: MIT
# What each Windows program carries besides its code: a version record (file and product version
# "1.00", U.S. English, Unicode) with the company and a description of the program.
include_guard(GLOBAL)

# icatlas_version_record(<target> <description>)
function(icatlas_version_record target description)
    set(record_name ${target})
    set(record_description ${description})
    set(record ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
    configure_file(${PROJECT_SOURCE_DIR}/cmake/version_record.rc.in ${record} @ONLY)
    target_sources(${target} PRIVATE ${record})
endfunction()
