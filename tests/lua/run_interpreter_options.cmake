# The stand-alone interpreter's options, as the 5.0 interpreter handles them.
# `-l name' requires the library before the script (options run in order, a
# library named twice runs once; without `require' the file itself runs),
# LUA_INIT runs before any argument, as a file with "@name" and as Lua text
# otherwise; a failure in either stops the interpreter before the script.
# `-' runs standard input and goes on; `-v' writes the version on standard
# error; the first failing option or script ends it (a later -i is not
# obeyed); an option is known by its letter ("-ix" is -i), `-c' and `-s' are
# noted as deprecated and passed over, anything else (and -e or -l without
# an argument) shows the usage. Interactive mode answers errors without the
# interpreter's name, drops a chunk left incomplete at the end of input and
# reads its prompts raw from the globals (no metamethod sees them).
# (No semicolon in a LUA_INIT text or an argument here: CMake would split the
# command there.)
#   -DLUA=<lua50> -DDIR=<folder with lib.lua, main.lua, init.lua, broken.lua>
set(failed "")

# check(NAME INIT INPUT EXPECTED_OUT EXPECTED_ERR EXIT ARGS...): lua50 with
# LUA_INIT set to INIT ("-" for none) and INPUT on its standard input; its
# whole standard error is compared, the interpreter's path in it written as
# "lua50".
set(input_file ${CMAKE_CURRENT_BINARY_DIR}/interpreter_options_input.lua)
function(check name init input expected_out expected_err expected_rc)
  if(init STREQUAL "-")
    set(env ${CMAKE_COMMAND} -E env --unset=LUA_INIT)
  else()
    set(env ${CMAKE_COMMAND} -E env "LUA_INIT=${init}")
  endif()
  file(WRITE ${input_file} "${input}")
  execute_process(COMMAND ${env} ${LUA} ${ARGN}
    WORKING_DIRECTORY ${DIR} INPUT_FILE ${input_file}
    OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc TIMEOUT 30)
  string(REPLACE "${LUA}" "lua50" err "${err}")
  set(problems "")
  if(NOT out STREQUAL expected_out)
    string(APPEND problems "  stdout:\n${out}  expected:\n${expected_out}")
  endif()
  if(NOT err STREQUAL expected_err)
    string(APPEND problems "  stderr:\n${err}  expected:\n${expected_err}")
  endif()
  if(NOT rc STREQUAL expected_rc)
    string(APPEND problems "  exit ${rc}, expected ${expected_rc}\n")
  endif()
  if(problems)
    set(failed "${failed}${name} (lua50 ${ARGN}):\n${problems}" PARENT_SCOPE)
  endif()
endfunction()

set(usage "usage: lua50 [options] [script [args]].
Available options are:
  -           execute stdin as a file
  -e stat     execute string `stat'
  -i          enter interactive mode after executing `script'
  -l name     load and run library `name'
  -v          show version information
  --          stop handling options
  --tokens f  list the tokens of file f
  --list f    list the compiled code of file f
")
set(version "Lua 5.0.2  Quellmoor Lua dialect\n")
# traceback(FILE VAR [CALLER]): the traceback of error() called at line 1 of
# FILE's main chunk, the chunk called by the C function CALLER if given
function(traceback file var)
  set(called "")
  if(ARGC GREATER 2)
    set(called "\t[C]: in function `${ARGV2}'\n")
  endif()
  set(${var} "stack traceback:\n\t[C]: in function `error'\n\t${file}:1: in main chunk\n${called}\t[C]: ?\n"
    PARENT_SCOPE)
endfunction()
traceback(stdin stdin_traceback)
traceback(broken.lua broken_traceback)
traceback(broken.lua broken_required_traceback require)
traceback(LUA_INIT init_traceback)
traceback("<command line>" command_line_traceback)

check(library - ""
  "lib: run 1 as lib.lua, x = nil\nmain: hello, main, lib runs 1\nmain: init nil\nmain: options [-l lib.lua ], arg[0] = main.lua, n = 2\n"
  "" 0 -l lib.lua main.lua a b)
check(library_joined_twice_after_e - ""
  "lib: run 1 as lib.lua, x = 1\nmain: hello, main, lib runs 1\nmain: init nil\nmain: options [-ex=1 -l lib.lua -llib.lua ], arg[0] = main.lua, n = 0\n"
  "" 0 -ex=1 -l lib.lua -llib.lua main.lua)
check(library_fails - "" "" "lua50: broken.lua:1: the library fails\n${broken_required_traceback}" 1
  -l broken.lua main.lua)
check(library_missing - "" ""
  "lua50: could not load package `nothing' from path `?;?.lua'\nstack traceback:\n\t[C]: in function `require'\n\t[C]: ?\n"
  1 -l nothing main.lua)
check(library_without_name - "" "" "${usage}" 1 -l)
check(library_without_require - ""
  "lib: run 1 as nil, x = nil\nmain: hello, main, lib runs 1\nmain: init nil\nmain: options [-e require = nil -l lib.lua ], arg[0] = main.lua, n = 0\n"
  "" 0 -e "require = nil" -l lib.lua main.lua)
check(init_file "@init.lua" ""
  "init: file, lib runs nil\nlib: run 1 as lib.lua, x = nil\nmain: hello, main, lib runs 1\nmain: init from a file\nmain: options [-l lib.lua ], arg[0] = main.lua, n = 0\n"
  "" 0 -l lib.lua main.lua)
check(init_code "gInit = 'from text' print('init: text')" ""
  "init: text\nmain: no library, lib runs nil\nmain: init from text\nmain: options [], arg[0] = main.lua, n = 0\n"
  "" 0 main.lua)
check(init_code_with_e "print('init: before -e')" "" "init: before -e\n-e after\n" "" 0 -e "print('-e after')")
check(init_code_fails "error('init breaks')" "" "" "lua50: LUA_INIT:1: init breaks\n${init_traceback}" 1 main.lua)
check(init_file_missing "@no/such/init.lua" "" "" "lua50: cannot read no/such/init.lua: No such file or directory\n" 1
  main.lua)

# -v: the version goes to standard error, and the options go on
check(version_on_stderr - "" "after -v\n" "${version}" 0 -v -e "print('after -v')")
# `-': standard input runs, then the later options and the script
check(stdin_then_options - "print('from stdin')"
  "from stdin\nafter\nmain: no library, lib runs nil\nmain: init nil\nmain: options [- -e print('after') ], arg[0] = main.lua, n = 0\n"
  "" 0 - -e "print('after')" main.lua)
check(stdin_fails - "error('from stdin')" "" "lua50: stdin:1: from stdin\n${stdin_traceback}" 1
  - -e "print('after')")
# the first failure ends the interpreter: no interactive mode after it
check(script_fails_before_interactive - "print('talked')" "" "lua50: broken.lua:1: the library fails\n${broken_traceback}" 1
  -i broken.lua)
check(option_fails_before_interactive - "print('talked')" "" "lua50: <command line>:1: fails\n${command_line_traceback}" 1
  -e "error('fails')" -i)
# interactive mode: errors without the interpreter's name; a chunk still
# incomplete when the input ends is dropped, without an error or a prompt
check(interactive_error - "error('typed')\nprint('goes on')\n" "> > goes on\n> \n"
  "stdin:1: typed\n${stdin_traceback}" 0 -i)
check(interactive_incomplete_at_end - "print('complete')\nx = \n" "> complete\n> >> \n" "" 0 -i)
# interactive mode reads _PROMPT and _PROMPT2 raw: metamethods on the globals
# neither stop it nor change its prompts, and a number is shown as text
set(prompt_input "print('one')\nx =\n2\nprint(x)\n")
set(stock_prompts "> one\n> >> > 2\n> \n")
check(prompt_past_raising_index - "${prompt_input}" "${stock_prompts}" "" 0
  -e "setmetatable(_G, {__index = function(t, k) error('undeclared ' .. k, 2) end})" -i)
check(prompt_not_inherited - "${prompt_input}" "${stock_prompts}" "" 0
  -e "setmetatable(_G, {__index = {_PROMPT = 'inherited> ', _PROMPT2 = 'inherited>> '}})" -i)
check(prompt_number_as_text - "${prompt_input}" "12one\n12-3.5122\n12\n" "" 0
  -e "_PROMPT = 12 _PROMPT2 = -3.5" -i)
# an option is known by its letter
check(interactive_by_letter - "=1 + 1\n" "> 2\n> \n" "" 0 -ix)
check(version_by_letter - "" "" "${version}" 0 -vx)
check(deprecated_options - "" "went on\n"
  "lua50: option `-c' is deprecated\nlua50: option `-s' is deprecated\n" 0 -c -s -e "print('went on')")
check(unknown_option - "" "" "${usage}" 1 -x main.lua)
check(unknown_long_option - "" "" "${usage}" 1 --x main.lua)
check(chunk_without_text - "" "" "${usage}" 1 -e)

if(failed)
  message(FATAL_ERROR "${failed}")
endif()
