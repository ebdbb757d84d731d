# Writes a C++ source holding the bytes of every resources/<id>.png and the id -> bytes table.
# Run at build time: cmake -DLIST=<file with one PNG path per line> -DOUTPUT=<source> -P this.
file(STRINGS "${LIST}" pngs)

# CMake's regular expressions have no counted repetition, so the 16-byte line pattern is spelled out.
string(REPEAT "0x..," 16 line_pattern)

set(ids "")
foreach(png IN LISTS pngs)
  get_filename_component(name "${png}" NAME_WE)
  list(APPEND ids "${name}")
  set(path_${name} "${png}")
endforeach()
list(SORT ids COMPARE NATURAL)

set(out "// Generated at build time from resources/<id>.png; do not edit.\n")
string(APPEND out "#include \"resources/Resources.h\"\n\nnamespace {\n\n")
set(table "")
foreach(id IN LISTS ids)
  file(READ "${path_${id}}" hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  # One line per 16 bytes keeps the generated file readable by tools.
  string(REGEX REPLACE "(${line_pattern})" "\\1\n" bytes "${bytes}")
  string(APPEND out "const std::uint8_t kResource${id}[] = {\n${bytes}};\n\n")
  string(APPEND table "      {${id}, kResource${id}, sizeof kResource${id}},\n")
endforeach()
string(APPEND out "}  // namespace\n\n")
string(APPEND out "std::span<const EmbeddedResource> embeddedResources() {\n")
if(ids)
  string(APPEND out "  static constexpr EmbeddedResource kTable[] = {\n${table}  };\n  return kTable;\n")
else()
  string(APPEND out "  return {};\n")
endif()
string(APPEND out "}\n")

file(WRITE "${OUTPUT}" "${out}")
