# Every C++ source and header in FOLDERS is laid out as .clang-format says (clang-format
# --dry-run --Werror names each file and line that differs).
foreach(folder ${FOLDERS})
  file(GLOB_RECURSE found "${SOURCE_DIR}/${folder}/*.cpp" "${SOURCE_DIR}/${folder}/*.h")
  list(APPEND files ${found})
endforeach()
list(REMOVE_DUPLICATES files)
list(LENGTH files count)
if(count EQUAL 0)
  message(FATAL_ERROR "no sources found under ${SOURCE_DIR}")
endif()
execute_process(COMMAND "${CLANG_FORMAT}" --dry-run --Werror --style=file ${files}
                WORKING_DIRECTORY "${SOURCE_DIR}" RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${count} files checked: some are not laid out as .clang-format says; "
                      "run clang-format -i on them")
endif()
message(STATUS "${count} files laid out as .clang-format says")
