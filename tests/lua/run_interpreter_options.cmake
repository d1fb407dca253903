# The stand-alone interpreter's -l option and LUA_INIT, as the 5.0 manual's
# stand-alone section gives them: `-l name' requires the library before the
# script (options run in order, a library named twice runs once), LUA_INIT
# runs before any argument, as a file with "@name" and as Lua text
# otherwise; a failure in either stops the interpreter before the script.
# (No semicolon in a LUA_INIT text here: CMake would split the command there.)
#   -DLUA=<lua50> -DDIR=<folder with lib.lua, main.lua, init.lua, broken.lua>
include(${CMAKE_CURRENT_LIST_DIR}/first_report.cmake)
set(failed "")

# run(NAME INIT EXPECTED_OUT EXPECTED_ERR SUCCEEDS ARGS...): INIT "-" for no
# LUA_INIT; EXPECTED_ERR the first line on standard error ("" for none).
function(run name init expected_out expected_err succeeds)
  if(init STREQUAL "-")
    set(env ${CMAKE_COMMAND} -E env --unset=LUA_INIT)
  else()
    set(env ${CMAKE_COMMAND} -E env "LUA_INIT=${init}")
  endif()
  execute_process(COMMAND ${env} ${LUA} ${ARGN}
    WORKING_DIRECTORY ${DIR} OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc TIMEOUT 30)
  first_report("${err}" first)
  set(problems "")
  if(NOT out STREQUAL expected_out)
    string(APPEND problems "  stdout:\n${out}  expected:\n${expected_out}")
  endif()
  if(NOT first STREQUAL expected_err)
    string(APPEND problems "  stderr: \"${first}\", expected \"${expected_err}\"\n")
  endif()
  if(succeeds AND NOT rc EQUAL 0)
    string(APPEND problems "  exit ${rc}, expected 0\n")
  elseif(NOT succeeds AND rc EQUAL 0)
    string(APPEND problems "  exit 0, expected a failure\n")
  endif()
  if(problems)
    set(failed "${failed}${name} (lua50 ${ARGN}):\n${problems}" PARENT_SCOPE)
  endif()
endfunction()


run(library "-"
  "lib: run 1 as lib.lua, x = nil\nmain: hello, main, lib runs 1\nmain: init nil\nmain: options [-l lib.lua ], arg[0] = main.lua, n = 2\n"
  "" TRUE -l lib.lua main.lua a b)
run(library_joined_twice_after_e "-"
  "lib: run 1 as lib.lua, x = 1\nmain: hello, main, lib runs 1\nmain: init nil\nmain: options [-ex=1 -l lib.lua -llib.lua ], arg[0] = main.lua, n = 0\n"
  "" TRUE -ex=1 -l lib.lua -llib.lua main.lua)
run(library_fails "-" "" "lua50: broken.lua:1: the library fails" FALSE -l broken.lua main.lua)
run(library_missing "-" "" "lua50: could not load package `nothing' from path `?;?.lua'" FALSE -l nothing main.lua)
run(library_without_name "-" "" "lua50: `-l' needs an argument" FALSE -l)
run(init_file "@init.lua"
  "init: file, lib runs nil\nlib: run 1 as lib.lua, x = nil\nmain: hello, main, lib runs 1\nmain: init from a file\nmain: options [-l lib.lua ], arg[0] = main.lua, n = 0\n"
  "" TRUE -l lib.lua main.lua)
run(init_code "gInit = 'from text' print('init: text')"
  "init: text\nmain: no library, lib runs nil\nmain: init from text\nmain: options [], arg[0] = main.lua, n = 0\n"
  "" TRUE main.lua)
run(init_code_with_e "print('init: before -e')" "init: before -e\n-e after\n" "" TRUE -e "print('-e after')")
run(init_code_fails "error('init breaks')" "" "lua50: LUA_INIT:1: init breaks" FALSE main.lua)
run(init_file_missing "@no/such/init.lua" "" "lua50: cannot read no/such/init.lua: No such file or directory" FALSE
  main.lua)

if(failed)
  message(FATAL_ERROR "${failed}")
endif()
