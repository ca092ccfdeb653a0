# The layers of the whole program, checked at configure time. A file may include its own layer
# and the layers before it in this list, never one after it: an upward include, and with it any
# cycle between folders, stops the configure with the file and the rule.
#
#   fileio        Qt-free file primitives
#   engine        the cipher and the file layout (C interface; included as <mvengine/...>)
#   fileutil .. browser, secured   the core subsystems, no widgets (sandbox: the decoder
#                 helpers, between the decoders and the viewing pipeline that uses them)
#   widgets       helpers every ui/ folder shares
#   */ui          each subsystem's windows and dialogs
#   apps          main() of each executable
#
# Inside imaging its own finer order holds as well (src/imaging/Layers.cmake).
set(MV_LAYERS
  fileio
  engine
  fileutil
  shell
  crypto
  imaging
  sandbox
  browser
  secured
  widgets
  imaging/ui
  crypto/ui
  browser/ui
  fileutil/ui
  secured/ui
  shell/ui
  apps
)

# The layer a source file belongs to, from its path below the top folder.
function(mv_layer_of_file relative out)
  if(relative MATCHES "^apps/")
    set(layer apps)
  elseif(relative MATCHES "^src/([^/]+)/ui/")
    set(layer "${CMAKE_MATCH_1}/ui")
  elseif(relative MATCHES "^src/([^/]+)/")
    set(layer "${CMAKE_MATCH_1}")
  else()
    set(layer "")
  endif()
  set(${out} "${layer}" PARENT_SCOPE)
endfunction()

# The layer an include line reaches, or "" for a header of the file's own folder or the system.
function(mv_layer_of_include line out)
  set(layer "")
  if(line MATCHES "^#include <mvengine/")
    set(layer engine)
  elseif(line MATCHES "^#include \"([^/\"]+)/ui/")
    set(layer "${CMAKE_MATCH_1}/ui")
  elseif(line MATCHES "^#include \"([^/\"]+)/")
    set(layer "${CMAKE_MATCH_1}")
  endif()
  if(NOT layer IN_LIST MV_LAYERS)
    set(layer "")
  endif()
  set(${out} "${layer}" PARENT_SCOPE)
endfunction()

function(mv_check_layers top)
  file(GLOB_RECURSE files CONFIGURE_DEPENDS
       ${top}/src/*.h ${top}/src/*.cpp ${top}/src/*.c ${top}/apps/*.h ${top}/apps/*.cpp)
  foreach(file IN LISTS files)
    file(RELATIVE_PATH relative ${top} ${file})
    mv_layer_of_file(${relative} own)
    list(FIND MV_LAYERS "${own}" ownIndex)
    if(ownIndex LESS 0)
      message(FATAL_ERROR "layers: ${relative} lies in no declared layer; add its folder to MV_LAYERS "
                          "in cmake/Layers.cmake, at its place in the order")
    endif()
    file(STRINGS ${file} includes REGEX "^#include [\"<][^/\">]+/")
    foreach(line IN LISTS includes)
      mv_layer_of_include("${line}" target)
      if(target STREQUAL "")
        continue()
      endif()
      list(FIND MV_LAYERS "${target}" targetIndex)
      if(targetIndex GREATER ownIndex)
        list(SUBLIST MV_LAYERS 0 ${ownIndex} below)
        list(JOIN below " " allowed)
        string(REGEX REPLACE "^#include " "" what "${line}")
        message(FATAL_ERROR "layers: ${relative} includes ${what}, but ${own} may include only "
                            "itself and the layers below it: ${allowed}")
      endif()
    endforeach()
  endforeach()
endfunction()
