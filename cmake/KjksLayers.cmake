# The layers of the program: screens -> core -> data/platform.
#
# kjks_core_library(name SOURCES file... LIBS lib...)
# Declares a static library of rules without widgets: it may use Qt Core (and Gui where it reads
# documents or pictures), src/data, the platform seams and other core libraries, never Qt Widgets.
# Every library declared this way is recorded, and the test `core_libraries_without_widgets` fails
# when one of them includes a Qt Widgets header, directly or through another header, or links Qt
# Widgets through anything it links.
#
# kjks_screen_library(name SOURCES file... LIBS lib...)
# Declares a library of windows and controls; it may link anything.
function(kjks_core_library name)
  cmake_parse_arguments(L "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${L_SOURCES})
  target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${L_LIBS})
  set_property(GLOBAL APPEND PROPERTY KJKS_CORE_LIBRARIES ${name})
endfunction()

function(kjks_screen_library name)
  cmake_parse_arguments(L "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${L_SOURCES})
  target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${L_LIBS})
endfunction()

# Everything a target links, followed through other targets (generator expressions stripped).
function(_kjks_link_closure target out)
  set(seen "")
  set(queue ${target})
  while(queue)
    list(POP_FRONT queue current)
    if(current IN_LIST seen OR NOT TARGET ${current})
      continue()
    endif()
    list(APPEND seen ${current})
    get_target_property(aliased ${current} ALIASED_TARGET)
    if(aliased)
      list(APPEND queue ${aliased})
    endif()
    set(links "")
    get_target_property(type ${current} TYPE)
    if(NOT type STREQUAL "INTERFACE_LIBRARY")
      get_target_property(direct ${current} LINK_LIBRARIES)
      if(direct)
        list(APPEND links ${direct})
      endif()
    endif()
    get_target_property(interface ${current} INTERFACE_LINK_LIBRARIES)
    if(interface)
      list(APPEND links ${interface})
    endif()
    foreach(link IN LISTS links)
      string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" link "${link}")
      string(REGEX REPLACE "^\\$<[^:]*:(.*)>$" "\\1" link "${link}")
      list(APPEND queue ${link})
    endforeach()
  endwhile()
  set(${out} ${seen} PARENT_SCOPE)
endfunction()

# Written once every folder has declared its libraries: per core library, its sources, its
# objects' folder in the build tree and everything it links. The check reads it at test time.
function(_kjks_write_core_manifest)
  get_property(cores GLOBAL PROPERTY KJKS_CORE_LIBRARIES)
  set(manifest "set(KJKS_CORE_LIBRARIES \"${cores}\")\n")
  foreach(lib IN LISTS cores)
    get_target_property(dir ${lib} SOURCE_DIR)
    get_target_property(bindir ${lib} BINARY_DIR)
    get_target_property(sources ${lib} SOURCES)
    set(absolute "")
    foreach(s IN LISTS sources)
      cmake_path(ABSOLUTE_PATH s BASE_DIRECTORY "${dir}" OUTPUT_VARIABLE a)
      list(APPEND absolute "${a}")
    endforeach()
    file(RELATIVE_PATH objects "${CMAKE_BINARY_DIR}" "${bindir}/CMakeFiles/${lib}.dir/")
    _kjks_link_closure(${lib} closure)
    string(APPEND manifest "set(KJKS_${lib}_SOURCES \"${absolute}\")\n"
                           "set(KJKS_${lib}_OBJECTS \"${objects}\")\n"
                           "set(KJKS_${lib}_LINKS \"${closure}\")\n")
  endforeach()
  file(WRITE "${CMAKE_BINARY_DIR}/kjks_core_libraries.cmake" "${manifest}")
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL _kjks_write_core_manifest)
