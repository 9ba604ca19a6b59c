# Embeds the files listed in resources/manifest.txt into a generated source that defines
# zir::ResourceTable. The bytes are pulled in by the assembler (.incbin), so large fonts cost
# no compile time; each object depends on its files, so an edited file is picked up.
function(zir_generate_resources manifest output)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${manifest}")
  get_filename_component(base "${manifest}" DIRECTORY)
  file(STRINGS "${manifest}" lines)
  set(blobs "")
  set(entries "")
  set(files "")
  set(index 0)
  foreach(line IN LISTS lines)
    string(STRIP "${line}" line)
    if(line STREQUAL "" OR line MATCHES "^#")
      continue()
    endif()
    string(REGEX MATCH "^([^ \t]+)[ \t]+([^ \t]+)[ \t]+(.+)$" matched "${line}")
    if(NOT matched)
      message(FATAL_ERROR "${manifest}: expected TYPE NAME FILE, found '${line}'")
    endif()
    set(type "${CMAKE_MATCH_1}")
    set(name "${CMAKE_MATCH_2}")
    set(path "${base}/${CMAKE_MATCH_3}")
    if(NOT EXISTS "${path}")
      message(FATAL_ERROR "${manifest}: no file ${path}")
    endif()
    list(APPEND files "${path}")
    # WebAssembly objects give every block of data a section of its own and want its size.
    if(EMSCRIPTEN)
      file(SIZE "${path}" bytes)
      set(section ".section .rodata.zir_resource_${index},\\\"\\\",@\\n")
      set(sized ".size zir_resource_${index}, ${bytes}\\n")
    else()
      set(section ".section .rodata\\n")
      set(sized ".previous\\n")
    endif()
    string(APPEND blobs
      "asm(\"${section}.balign 16\\n.hidden zir_resource_${index}\\n"
      ".hidden zir_resource_${index}_end\\nzir_resource_${index}:\\n"
      ".incbin \\\"${path}\\\"\\nzir_resource_${index}_end:\\n${sized}\");\n"
      "extern \"C\" const std::uint8_t zir_resource_${index}[];\n"
      "extern \"C\" const std::uint8_t zir_resource_${index}_end[];\n")
    string(APPEND entries
      "    {\"${type}\", \"${name}\", zir_resource_${index}, zir_resource_${index}_end},\n")
    math(EXPR index "${index} + 1")
  endforeach()
  file(CONFIGURE OUTPUT "${output}" CONTENT
"// Generated from resources/manifest.txt by cmake/resources.cmake; do not edit.
#include \"platform/resourcetable.h\"

${blobs}
namespace zir {
const ResourceEntry ResourceTable[] = {
${entries}    {},
};
}  // namespace zir
" @ONLY)
  set_source_files_properties("${output}" PROPERTIES OBJECT_DEPENDS "${files}")
endfunction()
