# The configure's include check run over small trees of its own: each bad include must be
# refused with the file, the include and what the folder may use; a good one must pass.
# Run with -DTOP=<source folder> -DWIDGETS_INCLUDE=<Qt Widgets include folders>.
set(work "${CMAKE_CURRENT_BINARY_DIR}/layers-check")

function(expect_check name file text expected)
  set(tree "${work}/${name}")
  file(REMOVE_RECURSE "${tree}")
  file(WRITE "${tree}/${file}" "${text}\n")
  file(WRITE "${tree}/run.cmake" "cmake_minimum_required(VERSION 3.25)\nset(Qt6Widgets_INCLUDE_DIRS \"${WIDGETS_INCLUDE}\")\n"
                                 "include(\"${TOP}/cmake/Layers.cmake\")\nmv_check_layers(\"${tree}\")\n")
  execute_process(COMMAND ${CMAKE_COMMAND} -P "${tree}/run.cmake" RESULT_VARIABLE rc ERROR_VARIABLE said)
  string(REGEX REPLACE "[ \t\n]+" " " said "${said}")
  if(expected STREQUAL "")
    if(NOT rc EQUAL 0)
      message(FATAL_ERROR "${name}: refused where it should pass: ${said}")
    endif()
    return()
  endif()
  string(FIND "${said}" "${expected}" at)
  if(rc EQUAL 0 OR at LESS 0)
    message(FATAL_ERROR "${name}: expected \"${expected}\", got: ${said}")
  endif()
endfunction()

expect_check(widget_in_core src/crypto/Bad.cpp "#include <QWidget>"
             "layers: src/crypto/Bad.cpp includes <QWidget>, a Qt Widgets header, but crypto works without a screen")
expect_check(widgets_module_in_core src/secured/Bad.h "#include <QtWidgets/QDialog>"
             "layers: src/secured/Bad.h includes <QtWidgets/QDialog>, a Qt Widgets header")
expect_check(key_code_in_decoder src/sandbox/Bad.cpp "#include \"crypto/KeyState.h\""
             "layers: src/sandbox/Bad.cpp includes \"crypto/KeyState.h\", but sandbox may use only: sandbox imaging fileio")
expect_check(engine_in_decoder src/imaging/Bad.cpp "#include <mvengine/engine.h>"
             "layers: src/imaging/Bad.cpp includes <mvengine/engine.h>, but imaging may use only: imaging fileio")
expect_check(window_in_core src/fileutil/Bad.cpp "#include \"shell/ui/MainWindow.h\""
             "layers: src/fileutil/Bad.cpp includes \"shell/ui/MainWindow.h\", but fileutil may use only: fileutil engine fileio")
expect_check(desktop_in_helper src/sandbox/helper/Bad.cpp "#include \"desktop/ThumbnailCache.h\""
             "layers: src/sandbox/helper/Bad.cpp includes \"desktop/ThumbnailCache.h\", but sandbox may use only: sandbox imaging fileio")
expect_check(viewing_in_browser src/browser/Bad.cpp "#include \"viewing/PictureLoad.h\""
             "layers: src/browser/Bad.cpp includes \"viewing/PictureLoad.h\", but browser may use only: browser crypto desktop fileutil engine fileio")
expect_check(unknown_folder src/newthing/Bad.cpp "#include <QString>" "layers: src/newthing/Bad.cpp lies in no declared folder")
expect_check(reachable src/browser/Good.cpp "#include \"crypto/KeyState.h\"\n#include \"fileio/FdIo.h\"\n#include <QImage>" "")
expect_check(widgets_in_ui src/browser/ui/Good.cpp "#include <QWidget>\n#include \"widgets/Job.h\"" "")
