# The stand-alone interpreter's own texts on standard error, as 5.0 writes
# them: each case runs lua50 with a "-e" chunk, a script or a listing option
# and compares the first line it reports.
#   -DLUA=<lua50>
set(cases
  "-e|error({})"
  "-e|error(nil)"
  "-e|x = = 1"
  "-e|error('plain', 0)"
  "no/such/script.lua"
  "--tokens|no/such/script.lua"
  "--list|no/such/script.lua"
  "${CMAKE_CURRENT_LIST_DIR}")
set(reports
  "lua50: (error with no message)"
  "lua50: (error with no message)"
  "lua50: <command line>:1: unexpected symbol near `='"
  "lua50: plain"
  "lua50: cannot read no/such/script.lua: No such file or directory"
  "lua50: cannot read no/such/script.lua: No such file or directory"
  "lua50: cannot read no/such/script.lua: No such file or directory"
  "lua50: cannot read ${CMAKE_CURRENT_LIST_DIR}: Is a directory")
include(${CMAKE_CURRENT_LIST_DIR}/first_report.cmake)
set(failed "")
foreach(case report IN ZIP_LISTS cases reports)
  string(REPLACE "|" ";" arguments "${case}")
  execute_process(COMMAND ${LUA} ${arguments} ERROR_VARIABLE err RESULT_VARIABLE rc TIMEOUT 30)
  first_report("${err}" first)
  if(rc EQUAL 0 OR NOT first STREQUAL report)
    string(APPEND failed "lua50 ${case}: got \"${first}\" (exit ${rc}), expected \"${report}\"\n")
  endif()
endforeach()
if(failed)
  message(FATAL_ERROR "${failed}")
endif()
