# zem_embed(<target> <symbol-prefix> <file>...)
# Turns each file into a C++ array at build time and adds the generated
# sources to <target>. A file "dir/name.ext" becomes the symbols
#   extern const unsigned char <prefix>_name_ext[];      (one extra 0 byte at the end)
#   extern const std::size_t   <prefix>_name_ext_size;   (without that 0 byte)
# Text files may therefore be used as NUL-terminated strings.
set(ZEM_EMBED_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/EmbedFile.cmake)

function(zem_embed target prefix)
  foreach(input IN LISTS ARGN)
    get_filename_component(abs ${input} ABSOLUTE)
    get_filename_component(name ${input} NAME)
    string(MAKE_C_IDENTIFIER "${prefix}_${name}" symbol)
    set(out ${CMAKE_CURRENT_BINARY_DIR}/embedded/${symbol}.cpp)
    add_custom_command(
      OUTPUT ${out}
      COMMAND ${CMAKE_COMMAND} -DINPUT=${abs} -DOUTPUT=${out} -DSYMBOL=${symbol} -P ${ZEM_EMBED_SCRIPT}
      DEPENDS ${abs} ${ZEM_EMBED_SCRIPT}
      COMMENT "Embedding ${name}"
      VERBATIM)
    target_sources(${target} PRIVATE ${out})
  endforeach()
endfunction()
