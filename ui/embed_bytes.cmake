# SPDX-License-Identifier: MIT
# Writes a file's bytes as a C++ array definition, so the compiled resource bundle lies in the
# program's read-only data with nothing to run before main.
#   cmake -DINPUT=bundle.rcc -DOUTPUT=bundle.cpp -DSYMBOL=name -DHEADER=ui/main_window.hpp -P embed_bytes.cmake
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" digits)
if(digits EQUAL 0)
    message(FATAL_ERROR "${INPUT} is empty")
endif()
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
# Sixteen bytes to a line (CMake's expressions have no counted repetition).
string(REPEAT "0x..," 16 line)
string(REGEX REPLACE "(${line})" "\\1\n    " bytes "${bytes}")
file(WRITE "${OUTPUT}.tmp"
"// SPDX-License-Identifier: MIT
// Generated from ${INPUT} by ui/embed_bytes.cmake: do not edit.
#include \"${HEADER}\"

// Aligned as rcc's own output is, for the bundle's 32-bit fields.
alignas(16) const unsigned char ${SYMBOL}[] = {
    ${bytes}
};
")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
