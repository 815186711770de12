# SPDX-License-Identifier: MIT
# Cross-building for 64-bit Windows with Debian's mingw-w64 (the POSIX threads variant, whose
# libstdc++ has std::thread and std::mutex). Every program is linked statically, so it needs
# nothing outside Windows' own DLLs; tests/windows checks the import tables.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(ICATLAS_MINGW_PREFIX x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${ICATLAS_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ICATLAS_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${ICATLAS_MINGW_PREFIX}-windres)
set(CMAKE_OBJDUMP ${ICATLAS_MINGW_PREFIX}-objdump CACHE FILEPATH "")

# libstdc++, libgcc and winpthread go into each program rather than beside it as DLLs; of the
# static libraries only the functions a program calls, and no symbols in what ships.
set(CMAKE_CXX_FLAGS_INIT "-ffunction-sections -fdata-sections")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -Wl,--gc-sections")
set(CMAKE_EXE_LINKER_FLAGS_MINSIZEREL_INIT "-s")
set(CMAKE_EXE_LINKER_FLAGS_RELEASE_INIT "-s")

set(CMAKE_FIND_ROOT_PATH /usr/${ICATLAS_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
