# The stand-alone interpreter's own texts on standard error, as 5.0 writes
# them: each case runs lua50 with a "-e" chunk and compares what it reports.
#   -DLUA=<lua50>
set(chunks
  "error({})"
  "error(nil)"
  "x = = 1"
  "error('plain', 0)")
set(reports
  "lua50: (error with no message)"
  "lua50: (error with no message)"
  "lua50: <command line>:1: unexpected symbol near `='"
  "lua50: plain")
set(failed "")
foreach(chunk report IN ZIP_LISTS chunks reports)
  execute_process(COMMAND ${LUA} -e "${chunk}" ERROR_VARIABLE err RESULT_VARIABLE rc TIMEOUT 30)
  string(REGEX MATCH "^[^\n]*" first "${err}")
  string(REGEX REPLACE "^[^:]*: " "lua50: " first "${first}")
  if(rc EQUAL 0 OR NOT first STREQUAL report)
    string(APPEND failed "lua50 -e \"${chunk}\": got \"${first}\" (exit ${rc}), expected \"${report}\"\n")
  endif()
endforeach()
if(failed)
  message(FATAL_ERROR "${failed}")
endif()
