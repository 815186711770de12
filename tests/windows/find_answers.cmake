# SPDX-License-Identifier: MIT
# Runs icatlas-find's Windows build under Wine and its Linux build with the same arguments and
# fails on any difference in exit status, standard output or standard error.
#
#   cmake -DWINDOWS_PROGRAM=icatlas-find.exe -DWINE=wine_run.sh
#         -DLINUX_PROGRAM=icatlas-find -DWORK=dir -P this
cmake_minimum_required(VERSION 3.25)

string(ASCII 27 escape)
string(ASCII 7 bell)
# Each row: a name, then the arguments joined by "|".
set(rows
    "part_found|4370825"
    "parts_some_missing|N643HT7MI|nothing-like-it"
    "nothing_found|zz"
    "only_ignored_characters|?"
    "model|--model|6310I"
    "model_unknown|--model|6310"
    "model_without_its_name|--model"
    "family|--family|DCT4"
    "list|--list"
    "json|--json"
    "csv|--csv"
    "help|--help"
    "version|--version"
    "unknown_option|--bogus"
    "dash_dash_before_a_part|--|-4370825"
    "utf8_part|Größe-µ"
    "terminal_escape_in_a_model|--model|${escape}c${bell}")

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
set(differences 0)
foreach(row IN LISTS rows)
    string(REPLACE "|" ";" args "${row}")
    list(POP_FRONT args name)
    execute_process(COMMAND ${WINE} ${WINDOWS_PROGRAM} ${args} RESULT_VARIABLE windows_status
                    OUTPUT_FILE ${WORK}/${name}.windows.out ERROR_FILE ${WORK}/${name}.windows.err)
    execute_process(COMMAND ${LINUX_PROGRAM} ${args} RESULT_VARIABLE linux_status
                    OUTPUT_FILE ${WORK}/${name}.linux.out ERROR_FILE ${WORK}/${name}.linux.err)
    set(different)
    if(NOT windows_status STREQUAL linux_status)
        list(APPEND different "exit status ${windows_status}, on Linux ${linux_status}")
    endif()
    foreach(stream out err)
        execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${WORK}/${name}.windows.${stream}
                                ${WORK}/${name}.linux.${stream} RESULT_VARIABLE unequal)
        if(unequal)
            file(READ ${WORK}/${name}.windows.${stream} seen LIMIT 300)
            file(READ ${WORK}/${name}.linux.${stream} expected LIMIT 300)
            list(APPEND different "std${stream} differs:\n    Windows: [${seen}]\n    Linux:   [${expected}]")
        endif()
    endforeach()
    if(different)
        math(EXPR differences "${differences} + 1")
        list(JOIN different "\n  " shown)
        message(SEND_ERROR "${name}:\n  ${shown}")
    else()
        message(STATUS "${name}: the same (exit status ${linux_status})")
    endif()
endforeach()
if(differences GREATER 0)
    message(FATAL_ERROR "${differences} of the runs differ (outputs in ${WORK})")
endif()
