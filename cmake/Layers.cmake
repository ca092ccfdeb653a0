# Which folder may include which, checked at configure time. Each folder of src/ (its ui/ folder
# apart) and each program of apps/ declares the folders it builds on directly; the libraries of
# the core folders link exactly these (src/CMakeLists.txt). A file may include its own folder and everything reachable from it, and nothing
# else. So a decoder can never reach key code, and no folder can reach one above it: an include
# that would, stops the configure naming the file, the include and what its folder may use.
#
# Besides, the core folders (everything but widgets, the ui/ folders and the programs) work
# without a screen: a Qt Widgets header in one of them stops the configure too.
#
# Inside imaging its own finer order holds as well (src/imaging/Layers.cmake).
set(MV_USES_fileio      "")
set(MV_USES_i18n        "")
set(MV_USES_engine      fileio)
set(MV_USES_imaging     fileio)
set(MV_USES_sandbox     imaging)
set(MV_USES_fileutil    engine)
set(MV_USES_desktop     fileutil)
set(MV_USES_shell       desktop)
set(MV_USES_crypto      desktop)
set(MV_USES_browser     crypto)
set(MV_USES_viewing     browser sandbox)
set(MV_USES_secured     browser shell)
set(MV_USES_widgets     crypto)
set(MV_USES_imaging/ui  imaging)
set(MV_USES_crypto/ui   crypto widgets)
set(MV_USES_browser/ui  browser crypto/ui)
set(MV_USES_viewing/ui  viewing browser/ui imaging/ui)
set(MV_USES_fileutil/ui viewing/ui)
set(MV_USES_secured/ui  secured crypto/ui)
set(MV_USES_shell/ui    shell secured/ui fileutil/ui)
set(MV_USES_apps/mirravelnock shell/ui i18n)
set(MV_USES_apps/mvcrypt      crypto shell i18n)
set(MV_USES_apps/mvconvert    sandbox i18n)
set(MV_USES_apps/mvdecode     sandbox)
set(MV_USES_apps/mvlaunch     fileio secured)

# Never reached from a decoder, whatever the graph above says one day: a hostile picture's code
# path knows no keys.
set(MV_DECODER_FOLDERS imaging sandbox apps/mvdecode)
set(MV_KEY_FOLDERS crypto engine secured shell desktop widgets)

set(MV_CORE_FOLDERS fileio i18n engine imaging sandbox fileutil desktop shell crypto browser viewing secured)

# The folder a source file belongs to, from its path below the top folder.
function(mv_folder_of_file relative out)
  if(relative MATCHES "^apps/([^/]+)/")
    set(folder "apps/${CMAKE_MATCH_1}")
  elseif(relative MATCHES "^apps/([a-z]+)_main\\.cpp$")
    set(folder "apps/${CMAKE_MATCH_1}")
  elseif(relative MATCHES "^src/([^/]+)/ui/")
    set(folder "${CMAKE_MATCH_1}/ui")
  elseif(relative MATCHES "^src/([^/]+)/")
    set(folder "${CMAKE_MATCH_1}")
  else()
    set(folder "")
  endif()
  set(${out} "${folder}" PARENT_SCOPE)
endfunction()

# The folder an include line reaches, or "" for a header of the file's own folder or the system.
function(mv_folder_of_include line out)
  set(folder "")
  if(line MATCHES "^#include <mvengine/")
    set(folder engine)
  elseif(line MATCHES "^#include \"([^/\"]+)/ui/")
    set(folder "${CMAKE_MATCH_1}/ui")
  elseif(line MATCHES "^#include \"([^/\"]+)/")
    set(folder "${CMAKE_MATCH_1}")
  endif()
  if(NOT DEFINED MV_USES_${folder})
    set(folder "")
  endif()
  set(${out} "${folder}" PARENT_SCOPE)
endfunction()

# Every folder `folder` reaches through the graph, itself included.
function(mv_reachable folder out)
  set(seen ${folder})
  set(todo ${MV_USES_${folder}})
  while(todo)
    list(POP_FRONT todo next)
    if(NOT next IN_LIST seen)
      list(APPEND seen ${next})
      list(APPEND todo ${MV_USES_${next}})
    endif()
  endwhile()
  set(${out} "${seen}" PARENT_SCOPE)
endfunction()

function(mv_check_layers top)
  # The graph itself: a decoder folder that reaches key code is refused before any file is read.
  foreach(decoder IN LISTS MV_DECODER_FOLDERS)
    mv_reachable(${decoder} reach)
    foreach(key IN LISTS MV_KEY_FOLDERS)
      if(key IN_LIST reach)
        message(FATAL_ERROR "layers: ${decoder} would reach ${key} through the graph in cmake/Layers.cmake; "
                            "the decoders never reach key code")
      endif()
    endforeach()
  endforeach()

  # Qt Widgets' headers, by the names a file includes them with.
  set(widgetHeaders "")
  foreach(dir IN LISTS Qt6Widgets_INCLUDE_DIRS)
    if(EXISTS "${dir}/QtWidgets")
      file(GLOB names RELATIVE "${dir}/QtWidgets" "${dir}/QtWidgets/Q*")
      list(APPEND widgetHeaders ${names})
    endif()
  endforeach()

  # Checked again at every build that adds a file (CONFIGURE_DEPENDS); a script run (its test)
  # looks once.
  set(again CONFIGURE_DEPENDS)
  if(CMAKE_SCRIPT_MODE_FILE)
    set(again "")
  endif()
  file(GLOB_RECURSE files ${again}
       ${top}/src/*.h ${top}/src/*.cpp ${top}/src/*.c ${top}/apps/*.h ${top}/apps/*.cpp)
  foreach(file IN LISTS files)
    file(RELATIVE_PATH relative ${top} ${file})
    mv_folder_of_file(${relative} own)
    if(NOT DEFINED MV_USES_${own})
      message(FATAL_ERROR "layers: ${relative} lies in no declared folder; add ${own} and the folders it "
                          "builds on to cmake/Layers.cmake")
    endif()
    mv_reachable(${own} allowed)
    list(JOIN allowed " " allowedText)
    file(STRINGS ${file} includes REGEX "^#include [\"<]")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^#include " "" what "${line}")
      if(own IN_LIST MV_CORE_FOLDERS AND line MATCHES "^#include <(QtWidgets/)?([A-Za-z]+)>")
        if(CMAKE_MATCH_1 OR CMAKE_MATCH_2 IN_LIST widgetHeaders)
          message(FATAL_ERROR "layers: ${relative} includes ${what}, a Qt Widgets header, but ${own} works "
                              "without a screen; ask the user through a callback its ui/ folder implements")
        endif()
      endif()
      mv_folder_of_include("${line}" target)
      if(target STREQUAL "" OR target IN_LIST allowed)
        continue()
      endif()
      message(FATAL_ERROR "layers: ${relative} includes ${what}, but ${own} may use only: ${allowedText}")
    endforeach()
  endforeach()
endfunction()
