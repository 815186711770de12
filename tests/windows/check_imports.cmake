# SPDX-License-Identifier: MIT
# Fails when a program imports a DLL that is not part of Windows itself (a compiler's run-time such
# as libstdc++-6.dll or libwinpthread-1.dll, or any other library that would have to be shipped
# beside it). Prints each program's imports and size.
#
#   cmake -DPROGRAMS=a.exe;b.exe -DOBJDUMP=x86_64-w64-mingw32-objdump -P check_imports.cmake
cmake_minimum_required(VERSION 3.25)

# The DLLs every Windows since 7 has in System32 that a program of ours may reasonably use.
set(windows_dlls
    advapi32.dll comctl32.dll comdlg32.dll dwmapi.dll gdi32.dll imm32.dll kernel32.dll msvcrt.dll
    ntdll.dll ole32.dll oleacc.dll oleaut32.dll shcore.dll shell32.dll shlwapi.dll user32.dll
    uxtheme.dll uiautomationcore.dll version.dll ws2_32.dll)

set(failed FALSE)
foreach(program IN LISTS PROGRAMS)
    execute_process(COMMAND ${OBJDUMP} -p ${program} RESULT_VARIABLE status OUTPUT_VARIABLE dump
                    ERROR_VARIABLE errors)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "${OBJDUMP} -p ${program} failed: ${errors}")
    endif()
    string(REGEX MATCHALL "DLL Name: [^\n]+" lines "${dump}")
    if(NOT lines)
        message(FATAL_ERROR "${program}: no import table found in objdump's output")
    endif()
    set(imports)
    foreach(line IN LISTS lines)
        string(REGEX REPLACE "^DLL Name: " "" dll "${line}")
        string(STRIP "${dll}" dll)
        string(TOLOWER "${dll}" dll)
        list(APPEND imports ${dll})
        if(NOT dll IN_LIST windows_dlls)
            message(SEND_ERROR "${program} imports ${dll}, which Windows does not have")
            set(failed TRUE)
        endif()
    endforeach()
    file(SIZE ${program} size)
    list(JOIN imports ", " shown)
    message(STATUS "${program}: ${size} bytes; imports ${shown}")
endforeach()
if(failed)
    message(FATAL_ERROR "a program needs DLLs that would have to ship with it")
endif()
