# Fails when a core library (declared with kjks_core_library) uses Qt Widgets.
#   cmake -DMANIFEST=<build>/kjks_core_libraries.cmake -DBUILD_DIR=<build> -DWIDGETS_DIR=<QtWidgets headers>
#         [-DNINJA=<ninja>] -P CheckCoreLayers.cmake
# Three looks: what each library links (followed through other libraries), the include lines of its
# own sources, and, in a Ninja build, every header its objects were compiled with.
cmake_policy(VERSION 3.25)
include(${MANIFEST})
if(NOT KJKS_CORE_LIBRARIES)
  message(FATAL_ERROR "no core library is declared")
endif()

file(GLOB widget_headers RELATIVE "${WIDGETS_DIR}" "${WIDGETS_DIR}/Q*")
set(faults "")

foreach(lib IN LISTS KJKS_CORE_LIBRARIES)
  foreach(link IN LISTS KJKS_${lib}_LINKS)
    if(link MATCHES "Widgets")
      list(APPEND faults "${lib} links ${link}")
    endif()
  endforeach()

  foreach(source IN LISTS KJKS_${lib}_SOURCES)
    file(STRINGS "${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*<[^>]+>")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*<([^>]+)>.*" "\\1" header "${line}")
      if(header MATCHES "^QtWidgets/" OR header IN_LIST widget_headers)
        list(APPEND faults "${source} includes <${header}>")
      endif()
    endforeach()
  endforeach()
endforeach()

# Headers reached through other headers: Ninja keeps the list of every object's includes.
if(NINJA AND EXISTS "${BUILD_DIR}/build.ninja")
  execute_process(COMMAND "${NINJA}" -C "${BUILD_DIR}" -t deps OUTPUT_VARIABLE deps RESULT_VARIABLE rc
                  ERROR_QUIET)
  if(rc EQUAL 0)
    string(REPLACE "\n" ";" lines "${deps}")
    set(current "")
    foreach(line IN LISTS lines)
      if(line MATCHES "^([^ ].*): #deps")
        set(object "${CMAKE_MATCH_1}")
        set(current "")
        foreach(lib IN LISTS KJKS_CORE_LIBRARIES)
          string(FIND "${object}" "${KJKS_${lib}_OBJECTS}" at)
          if(at EQUAL 0)
            set(current ${lib})
          endif()
        endforeach()
      elseif(current AND line MATCHES "/QtWidgets/")
        string(STRIP "${line}" header)
        list(APPEND faults "${object} (${current}) is compiled with ${header}")
        set(current "") # one line per object is enough
      endif()
    endforeach()
  endif()
endif()

if(faults)
  list(JOIN faults "\n  " text)
  message(FATAL_ERROR "core libraries must not use Qt Widgets:\n  ${text}")
endif()
list(LENGTH KJKS_CORE_LIBRARIES n)
message(STATUS "${n} core libraries without Qt Widgets: ${KJKS_CORE_LIBRARIES}")
