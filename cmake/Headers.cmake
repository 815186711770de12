# SPDX-License-Identifier: MIT
# Each library shows its users its own folder of headers and nothing else, so an include that
# breaks the layering (ui/ from forms/, the window from the catalogue) does not compile.
include_guard(GLOBAL)

# icatlas_headers(<target> <folder> <PUBLIC|INTERFACE|PRIVATE>): the target and, per the scope,
# its users include the folder's headers as "<folder>/name.hpp". The folder is reached through a
# directory of the build tree that holds only a link to it, so the source root itself, with every
# other folder in it, is never on the include path.
function(icatlas_headers target folder scope)
    set(root ${PROJECT_BINARY_DIR}/include/${folder})
    file(MAKE_DIRECTORY ${root})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder} ${root}/${folder} SYMBOLIC)
    target_include_directories(${target} ${scope} ${root})
endfunction()
