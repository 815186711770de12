# SPDX-License-Identifier: MIT
# GoogleTest for a cross build: Debian's libgtest-dev holds Linux libraries only, so the sources the
# googletest package ships are built with the rest (its own CMake names them GTest::gtest and
# GTest::gtest_main).
include_guard(GLOBAL)

set(ICATLAS_GOOGLETEST_SOURCES /usr/src/googletest CACHE PATH "GoogleTest's sources")
if(NOT EXISTS ${ICATLAS_GOOGLETEST_SOURCES}/CMakeLists.txt)
    message(FATAL_ERROR "GoogleTest's sources are not in ${ICATLAS_GOOGLETEST_SOURCES}: "
                        "install the googletest package (scripts/lib.sh does)")
endif()
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${ICATLAS_GOOGLETEST_SOURCES} ${PROJECT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL
                 SYSTEM)
