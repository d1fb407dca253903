# Runs one Lua test script with lua50 from the scripts folder and compares
# its standard output (and standard error, when a .err golden exists) with
# the golden files next to it. Without a golden the script must exit cleanly.
#   -DLUA=<lua50> -DDIR=<scripts folder> -DNAME=<script name without .lua>
#   [-DLUAC=<luac50> -DCHUNK=<chunk file> -DORDER=-B|-L]: compile the script to a
#   chunk in that byte order first and run the chunk instead.
set(SOURCE ${NAME}.lua)
include(${CMAKE_CURRENT_LIST_DIR}/compile_chunk.cmake)
execute_process(
  COMMAND ${LUA} ${run}
  WORKING_DIRECTORY ${DIR}
  OUTPUT_VARIABLE out
  ERROR_VARIABLE err
  RESULT_VARIABLE rc
  TIMEOUT 120)

set(expected_out ${DIR}/${NAME}.expected)
set(expected_err ${DIR}/${NAME}.err)
set(failed FALSE)
if(EXISTS ${expected_out})
  file(READ ${expected_out} golden)
  if(NOT out STREQUAL golden)
    file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/${NAME}.actual "${out}")
    message(SEND_ERROR "stdout of ${NAME}.lua differs from ${NAME}.expected "
      "(actual output in ${CMAKE_CURRENT_BINARY_DIR}/${NAME}.actual)\n${err}")
    set(failed TRUE)
  endif()
endif()
if(EXISTS ${expected_err})
  file(READ ${expected_err} golden_err)
  # the interpreter names itself by its path: compare from the first ": "
  # (a REGEX REPLACE anchored at ^ would go on to replace further prefixes)
  set(err_norm "${err}")
  string(FIND "${err}" ": " colon)
  if(colon GREATER_EQUAL 0)
    math(EXPR colon "${colon} + 2")
    string(SUBSTRING "${err}" ${colon} -1 err_norm)
    set(err_norm "lua50: ${err_norm}")
  endif()
  if(NOT err_norm STREQUAL golden_err)
    message(SEND_ERROR "stderr of ${NAME}.lua differs from ${NAME}.err:\n${err_norm}")
    set(failed TRUE)
  endif()
elseif(NOT rc EQUAL 0)
  message(SEND_ERROR "${NAME}.lua failed (${rc}):\n${err}")
  set(failed TRUE)
endif()
if(failed)
  message(FATAL_ERROR "${NAME}.lua: FAILED")
endif()
