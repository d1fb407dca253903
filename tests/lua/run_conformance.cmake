# Runs one conformance script (tests/lua/conformance) with an interpreter:
# it passes when it exits cleanly and its last line is "ok".
#   -DLUA=<interpreter> -DDIR=<conformance folder> -DNAME=<script file>
#   [-DLUAC=<luac50> -DCHUNK=<chunk file> -DORDER=-B|-L]: compile the script to a
#   chunk in that byte order first and run the chunk instead.
set(SOURCE ${NAME})
include(${CMAKE_CURRENT_LIST_DIR}/compile_chunk.cmake)
execute_process(
  COMMAND ${LUA} ${run}
  WORKING_DIRECTORY ${DIR}
  OUTPUT_VARIABLE out
  ERROR_VARIABLE err
  RESULT_VARIABLE rc
  TIMEOUT 120)
set(last "")
if(NOT out STREQUAL "") # (a regex match of nothing is itself an error, hiding stderr)
  string(REGEX MATCH "[^\n]*\n?$" last "${out}")
  string(STRIP "${last}" last)
endif()
if(NOT rc EQUAL 0 OR NOT last STREQUAL "ok")
  message(FATAL_ERROR "${NAME} failed (${rc}):\n${out}\n${err}")
endif()
