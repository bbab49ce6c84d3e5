# vl_embed_files(OUT NAMESPACE FILES...) writes OUT, a source that holds each file's bytes as
# `const unsigned char <name>[]` and `const std::size_t <name>Size` (name: the file's base name),
# and makes CMake run again when one of the files changes.
function(vl_embed_files out ns)
  set(text "// Made by the build from update/res; edit the bitmaps, not this file.\n#include <cstddef>\n\nnamespace ${ns} {\n\n")
  foreach(file ${ARGN})
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${file})
    get_filename_component(name ${file} NAME_WE)
    file(READ ${file} hex HEX)
    string(LENGTH "${hex}" hexLength)
    math(EXPR size "${hexLength} / 2")
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
    string(APPEND text "extern const unsigned char ${name}Bmp[] = {${bytes}};\nextern const std::size_t ${name}BmpSize = ${size};\n\n")
  endforeach()
  string(APPEND text "} // namespace ${ns}\n")
  file(WRITE ${out}.new "${text}")
  file(COPY_FILE ${out}.new ${out} ONLY_IF_DIFFERENT)
endfunction()
