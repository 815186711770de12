# SPDX-License-Identifier: MIT
# Runs a built program as a user would and checks its exit status together with its output:
# ctest on its own checks either the status or a pattern in the output, never both.
#
#   cmake -DPROGRAM=... -DARGUMENTS=... -DSTATUS=... [-DSTDOUT=regex] [-DSTDERR=regex] -P this
cmake_minimum_required(VERSION 3.25)

execute_process(COMMAND "${PROGRAM}" ${ARGUMENTS}
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
message(STATUS "exit status ${status}\n--- standard output\n${out}--- standard error\n${err}")

if(NOT status STREQUAL STATUS)
    message(FATAL_ERROR "expected exit status ${STATUS}, got ${status}")
endif()
if(DEFINED STDOUT AND NOT out MATCHES "${STDOUT}")
    message(FATAL_ERROR "standard output does not match: ${STDOUT}")
endif()
if(DEFINED STDERR AND NOT err MATCHES "${STDERR}")
    message(FATAL_ERROR "standard error does not match: ${STDERR}")
endif()
if(NOT DEFINED STDERR AND NOT err STREQUAL "")
    message(FATAL_ERROR "expected nothing on standard error")
endif()
