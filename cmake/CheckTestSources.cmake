# Fails when a C++ source under tests/ is compiled by no target: a test file that no target lists
# would otherwise never run, and nothing would say so.
# -DSOURCE_DIR=<checkout> -DMANIFEST=<file listing every compiled source, one a line>
cmake_policy(SET CMP0057 NEW)
file(STRINGS "${MANIFEST}" compiled)
file(GLOB_RECURSE present RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/tests/*.cpp")
set(missing)
foreach(source IN LISTS present)
  if(NOT "${SOURCE_DIR}/${source}" IN_LIST compiled)
    list(APPEND missing "${source}")
  endif()
endforeach()
if(missing)
  list(JOIN missing "\n  " text)
  message(FATAL_ERROR "These test sources are compiled by no target (list them in their folder's CMakeLists.txt):\n  ${text}")
endif()
list(LENGTH present count)
message(STATUS "All ${count} test sources are compiled by a target.")
