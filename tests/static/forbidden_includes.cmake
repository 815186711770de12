# SPDX-License-Identifier: MIT
# Each library sees only the headers of the libraries it links (cmake/Headers.cmake). For each
# case, with the include path a library compiles with, one of its own headers must compile and a
# header of a library it must not use must not be found.
#   cmake -DCOMPILER=c++ -DWORK=dir -DCASES="name|includes|allowed|forbidden^..." -P this
# where includes are the library's include folders joined by ','.
string(REPLACE "^" ";" cases "${CASES}")
foreach(case IN LISTS cases)
    string(REPLACE "|" ";" fields "${case}")
    list(GET fields 0 name)
    list(GET fields 1 includes)
    list(GET fields 2 allowed)
    list(GET fields 3 forbidden)
    string(REPLACE "," ";" includes "${includes}")
    list(TRANSFORM includes PREPEND "-I")
    foreach(header IN ITEMS ${allowed} ${forbidden})
        set(source ${WORK}/${name}.cpp)
        file(WRITE ${source} "#include \"${header}\"\n")
        execute_process(COMMAND ${COMPILER} -std=c++20 -fsyntax-only ${includes} ${source}
                        RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
        if(header STREQUAL allowed AND NOT status EQUAL 0)
            message(FATAL_ERROR "${name}: its own ${header} does not compile:\n${output}")
        endif()
        if(header STREQUAL forbidden)
            if(status EQUAL 0)
                message(FATAL_ERROR "${name}: ${header} compiles, though it must not be seen")
            endif()
            string(FIND "${output}" "${header}" named)
            if(named EQUAL -1 OR NOT output MATCHES "No such file|file not found")
                message(FATAL_ERROR "${name}: ${header} failed, but not as a header not found:\n"
                                    "${output}")
            endif()
        endif()
    endforeach()
    message(STATUS "${name}: ${allowed} compiles, ${forbidden} is not found")
endforeach()
