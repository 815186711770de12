# SPDX-License-Identifier: MIT
# Each library shows its users its own folder of headers and nothing else, so an include that
# breaks the layering (ui/ from forms/, the window from the catalogue, the Qt realisation from the
# forms core) does not compile.
include_guard(GLOBAL)

# icatlas_headers(<target> <folder> <PUBLIC|INTERFACE|PRIVATE>): the target and, per the scope,
# its users include the folder's headers as "<folder>/name.hpp"; the folder may be nested
# ("forms/core"), and then only it is seen, not the folders beside it. The folder is reached
# through a directory of the build tree that holds only a link to it, so the source root itself,
# with every other folder in it, is never on the include path.
function(icatlas_headers target folder scope)
    string(REPLACE "/" "_" flat ${folder})
    set(root ${PROJECT_BINARY_DIR}/include/${flat})
    cmake_path(GET folder PARENT_PATH parent)
    file(MAKE_DIRECTORY ${root}/${parent})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder} ${root}/${folder} SYMBOLIC)
    target_include_directories(${target} ${scope} ${root})
endfunction()
