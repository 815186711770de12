# SPDX-License-Identifier: MIT
# Fails when PROGRAM runs more code before main than the empty program REFERENCE does: a global
# object with a constructor, a static registration (rcc's C++ output is one) or a function marked
# as a constructor. Each is an entry in .init_array; C++ ones are also named _GLOBAL__sub_I_*.
#   cmake -DPROGRAM=icatlas -DREFERENCE=empty_main -DOBJDUMP=objdump -DNM=nm -P no_global_constructors.cmake
function(init_array_entries binary result)
    execute_process(COMMAND ${OBJDUMP} -h ${binary} OUTPUT_VARIABLE headers RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "objdump cannot read ${binary}")
    endif()
    set(size 0)
    if(headers MATCHES "\\.init_array +([0-9a-f]+)")
        math(EXPR size "0x${CMAKE_MATCH_1}")
    endif()
    math(EXPR entries "${size} / 8")
    set(${result} ${entries} PARENT_SCOPE)
endfunction()

init_array_entries(${PROGRAM} ours)
init_array_entries(${REFERENCE} floor)
execute_process(COMMAND ${NM} -C ${PROGRAM} OUTPUT_VARIABLE symbols)
string(REGEX MATCHALL "[^\n]*_GLOBAL__sub_I[^\n]*" constructors "${symbols}")
list(JOIN constructors "\n  " named)

if(NOT ours EQUAL floor OR constructors)
    message(FATAL_ERROR "${PROGRAM} runs ${ours} function(s) before main where the empty program "
                        "runs ${floor}.\nC++ global constructors in it:\n  ${named}")
endif()
message(STATUS "${PROGRAM}: ${ours} entry in .init_array, as in the empty program; no "
               "_GLOBAL__sub_I_ symbols")
