# A released program runs only the decoder helper installed with it: configured without the
# tests, the program's side of the helpers is compiled without the switch that lets
# MV_DECODER_HELPER (and the tests' variables) through, and with the tests, with it.
# Run with -DTOP=<source folder> -DBUILT=<this build's folder> -DGENERATOR=<generator>.
set(work "${CMAKE_CURRENT_BINARY_DIR}/release-helper-choice")
file(REMOVE_RECURSE "${work}")
execute_process(COMMAND ${CMAKE_COMMAND} -S "${TOP}" -B "${work}" -G "${GENERATOR}" -DCMAKE_BUILD_TYPE=Release
                        -DMV_BUILD_TESTS=OFF -DMV_BUILD_BENCH=OFF
                RESULT_VARIABLE rc OUTPUT_QUIET ERROR_VARIABLE said)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "the release configure failed: ${said}")
endif()

# The compile command of the file that chooses the helper, in the build at `folder`.
function(command_of folder out)
  file(READ "${folder}/compile_commands.json" commands)
  string(JSON count LENGTH "${commands}")
  math(EXPR last "${count} - 1")
  foreach(i RANGE ${last})
    string(JSON file GET "${commands}" ${i} file)
    if(file MATCHES "src/sandbox/HelperProcess\\.cpp$")
      string(JSON command GET "${commands}" ${i} command)
      set(${out} "${command}" PARENT_SCOPE)
      return()
    endif()
  endforeach()
  message(FATAL_ERROR "${folder} does not compile src/sandbox/HelperProcess.cpp")
endfunction()

command_of("${work}" released)
command_of("${BUILT}" tested)
file(REMOVE_RECURSE "${work}")
if(released MATCHES "MV_TEST_BUILD")
  message(FATAL_ERROR "a release build lets the environment choose the decoder helper: ${released}")
endif()
if(NOT tested MATCHES "MV_TEST_BUILD")
  message(FATAL_ERROR "this test build does not let the tests choose the decoder helper: ${tested}")
endif()
