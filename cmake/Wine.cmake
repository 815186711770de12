# SPDX-License-Identifier: MIT
# A Windows build made here runs its programs under Wine: ctest and the build's own steps reach
# them through CMAKE_CROSSCOMPILING_EMULATOR, a wrapper that puts every program in the build's own
# Wine prefix and on its own display (tests/windows/wine_session.sh starts both once per run).
include_guard(GLOBAL)

find_program(ICATLAS_WINE wine REQUIRED)
set(ICATLAS_WINE_STATE ${PROJECT_BINARY_DIR}/wine)
set(ICATLAS_WINE_RUN ${ICATLAS_WINE_STATE}/run)
configure_file(${PROJECT_SOURCE_DIR}/tests/windows/wine_run.sh.in ${ICATLAS_WINE_RUN} @ONLY
               FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                WORLD_READ WORLD_EXECUTE)
# Set before any target exists: each program takes its emulator when it is defined.
set(CMAKE_CROSSCOMPILING_EMULATOR ${ICATLAS_WINE_RUN})
