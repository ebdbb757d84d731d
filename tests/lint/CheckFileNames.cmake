# Sources are named after what they hold, in UpperCamelCase (DelayTest.cpp, GuiKnob.h). The entry
# points main.cpp and entry.cpp and the interface declarations vst2.h keep their usual names.
set(bad "")
foreach(folder ${FOLDERS})
  file(GLOB_RECURSE found RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/${folder}/*.cpp"
       "${SOURCE_DIR}/${folder}/*.h")
  foreach(path ${found})
    get_filename_component(name "${path}" NAME)
    if(NOT name MATCHES "^([A-Z][A-Za-z0-9]*\\.(cpp|h)|main\\.cpp|entry\\.cpp|vst2\\.h)$")
      list(APPEND bad "${path}")
    endif()
  endforeach()
endforeach()
if(bad)
  list(REMOVE_DUPLICATES bad)
  string(REPLACE ";" "\n  " listing "${bad}")
  message(FATAL_ERROR "sources not named in UpperCamelCase:\n  ${listing}")
endif()
