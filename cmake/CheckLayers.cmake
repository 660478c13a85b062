# The layer check (a test): fails when a file of src/ or tools/ includes a header of a layer
# above its own, or when a file of the core includes a Qt header.
#   cmake -DSOURCE_DIR=<repository> -P cmake/CheckLayers.cmake
#
# Layers, lowest first. A file may include the headers of its own layer and of those below;
# its layer is its folder below src/ (every ui/ folder and src/windows are the Qt layer), and
# the layer of an included header is read from its path the same way ("log/QelNewFile.h").
set(LAYERS base platform log config agents analyses run qt tools)
list(FIND LAYERS qt QT_RANK)

# The rank of a path such as "log/QelNewFile.h", "analyses/ui/GridView.h" or
# "tools/report/Report.cpp"; -1 when it names no layer.
function(rank_of path out)
  string(REPLACE "/" ";" parts "${path}")
  list(LENGTH parts count)
  list(GET parts 0 layer)
  if(count GREATER 2)
    list(GET parts 1 second)
    if(second STREQUAL "ui")
      set(layer qt)
    endif()
  endif()
  if(layer STREQUAL "windows")
    set(layer qt)
  endif()
  list(FIND LAYERS "${layer}" rank)
  set(${out} ${rank} PARENT_SCOPE)
endfunction()

file(GLOB_RECURSE files RELATIVE "${SOURCE_DIR}"
  "${SOURCE_DIR}/src/*.h" "${SOURCE_DIR}/src/*.cpp" "${SOURCE_DIR}/tools/*.h" "${SOURCE_DIR}/tools/*.cpp")
set(faults 0)
foreach(file ${files})
  string(REGEX REPLACE "^src/" "" own "${file}")
  rank_of("${own}" rank)
  if(rank LESS 0)
    continue()
  endif()
  list(GET LAYERS ${rank} layer)
  file(STRINGS "${SOURCE_DIR}/${file}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
  foreach(line ${includes})
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[<\"]([^>\"]*)[>\"].*$" "\\1" header "${line}")
    if(rank LESS QT_RANK AND line MATCHES "<Q")
      message("${file}: the core includes the Qt header <${header}>")
      math(EXPR faults "${faults} + 1")
      continue()
    endif()
    if(NOT line MATCHES "\"" OR NOT header MATCHES "/")
      continue()  # a system header, or one beside the file
    endif()
    rank_of("${header}" target)
    if(target GREATER rank)
      list(GET LAYERS ${target} above)
      message("${file}: includes \"${header}\" of the ${above} layer, above its own layer ${layer}")
      math(EXPR faults "${faults} + 1")
    endif()
  endforeach()
endforeach()

list(LENGTH files count)
string(REPLACE ";" " < " order "${LAYERS}")
if(faults GREATER 0)
  message(FATAL_ERROR "${faults} include(s) against the layers (${order})")
endif()
message("layers hold: ${count} files include only their own layer and those below (${order})")
