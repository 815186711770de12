# SPDX-License-Identifier: MIT
# The note on reading the part numbers, written once beside the table in catalogue.hpp, as the
# manual pages (roff) and the README (Markdown) show it. Included by catalogue/CMakeLists.txt;
# run as a script, it checks that the README (and any manual pages given) hold the note, or writes
# the README's section to a file:
#   cmake -DREADME=README.md [-DPAGES=page1;page2] -P catalogue/PartNumberNote.cmake
#   cmake -DWRITE_MARKDOWN=file -P catalogue/PartNumberNote.cmake
include_guard(GLOBAL)

set(ICATLAS_PART_NUMBER_NOTE_SOURCE ${CMAKE_CURRENT_LIST_DIR}/catalogue.hpp)

# <lead>: the lines before the first entry, joined; <entries>: the entries as a list, each with
# its lines joined and its semicolons written as <semicolon> (a list cannot hold them).
function(icatlas_part_number_note lead entries)
    file(READ ${ICATLAS_PART_NUMBER_NOTE_SOURCE} text)
    set(heading "// Reading the part numbers. ")
    string(FIND "${text}" "${heading}" start)
    if(start EQUAL -1)
        message(FATAL_ERROR "catalogue.hpp holds no note on reading the part numbers")
    endif()
    string(SUBSTRING "${text}" ${start} -1 text)
    string(FIND "${text}" "\n//\n" end)
    string(SUBSTRING "${text}" 0 ${end} text)
    if(text MATCHES "[][]")
        message(FATAL_ERROR "the note on reading the part numbers holds a square bracket")
    endif()
    string(REPLACE ";" "<semicolon>" text "${text}")
    string(REPLACE "\n" ";" lines "${text}")
    set(lead_text "")
    set(list "")
    set(entry "")
    foreach(line IN LISTS lines)
        if(line MATCHES "^// - (.*)$")
            if(NOT entry STREQUAL "")
                list(APPEND list "${entry}")
            endif()
            set(entry "${CMAKE_MATCH_1}")
        elseif(line MATCHES "^//   (.*)$" AND NOT entry STREQUAL "")
            string(APPEND entry " ${CMAKE_MATCH_1}")
        elseif(line MATCHES "^// (.*)$" AND entry STREQUAL "")
            string(APPEND lead_text " ${CMAKE_MATCH_1}")
        else()
            message(FATAL_ERROR "the note on reading the part numbers: unexpected line '${line}'")
        endif()
    endforeach()
    list(APPEND list "${entry}")
    string(STRIP "${lead_text}" lead_text)
    string(REGEX REPLACE "^Reading the part numbers\\. " "" lead_text "${lead_text}")
    set(${lead} "${lead_text}" PARENT_SCOPE)
    set(${entries} "${list}" PARENT_SCOPE)
endfunction()

# One entry of the note cut at its first ": " into its marks and what they mean.
function(icatlas_part_number_entry entry marks meaning)
    string(FIND "${entry}" ": " colon)
    string(SUBSTRING "${entry}" 0 ${colon} marks_text)
    math(EXPR after "${colon} + 2")
    string(SUBSTRING "${entry}" ${after} -1 meaning_text)
    set(${marks} "${marks_text}" PARENT_SCOPE)
    set(${meaning} "${meaning_text}" PARENT_SCOPE)
endfunction()

# The note as roff, for a manual page's section: the lead-in, then one tagged paragraph per entry.
function(icatlas_part_number_note_roff out)
    icatlas_part_number_note(lead entries)
    set(roff "${lead}")
    foreach(entry IN LISTS entries)
        icatlas_part_number_entry("${entry}" marks meaning)
        # Set on a line of its own under the marks, the meaning starts as a sentence.
        string(SUBSTRING "${meaning}" 0 1 first)
        string(SUBSTRING "${meaning}" 1 -1 rest)
        string(TOUPPER "${first}" first)
        string(APPEND roff "\n.TP\n\\&\\fB${marks}\\fP\n\\&${first}${rest}")
    endforeach()
    # Backslashes are roff's escapes and '-' would be set as a hyphen: a part number must be
    # copied off the page as it stands.
    string(REPLACE "-" "\\-" roff "${roff}")
    string(REPLACE "<semicolon>" ";" roff "${roff}")
    set(${out} "${roff}" PARENT_SCOPE)
endfunction()

# The note as Markdown: the lead-in, then one list item per entry, its marks in bold.
function(icatlas_part_number_note_markdown out)
    icatlas_part_number_note(lead entries)
    set(markdown "${lead}\n")
    foreach(entry IN LISTS entries)
        icatlas_part_number_entry("${entry}" marks meaning)
        string(APPEND markdown "\n- **${marks}**: ${meaning}")
    endforeach()
    string(REPLACE "<semicolon>" ";" markdown "${markdown}")
    set(${out} "${markdown}" PARENT_SCOPE)
endfunction()

# Runs of white space as one blank, so that a text wrapped anew still compares equal.
function(icatlas_squeeze_blanks var)
    string(REGEX REPLACE "[ \t\r\n]+" " " squeezed "${${var}}")
    string(STRIP "${squeezed}" squeezed)
    set(${var} "${squeezed}" PARENT_SCOPE)
endfunction()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE AND DEFINED WRITE_MARKDOWN)
    icatlas_part_number_note_markdown(note)
    file(WRITE ${WRITE_MARKDOWN} "${note}\n")
elseif(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
    icatlas_part_number_note_markdown(note)
    icatlas_squeeze_blanks(note)
    file(READ ${README} readme)
    icatlas_squeeze_blanks(readme)
    string(FIND "${readme}" "${note}" found)
    if(found EQUAL -1)
        icatlas_part_number_note_markdown(wanted)
        message(FATAL_ERROR "${README} does not hold the note on reading the part numbers as "
                            "catalogue.hpp writes it; its section should read:\n${wanted}")
    endif()
    icatlas_part_number_note_roff(roff)
    foreach(page IN LISTS PAGES)
        file(READ ${page} text)
        string(FIND "${text}" "${roff}" found)
        if(found EQUAL -1)
            message(FATAL_ERROR "${page} does not hold the note on reading the part numbers")
        endif()
    endforeach()
    message(STATUS "the README and ${PAGES} hold the note on reading the part numbers")
endif()
