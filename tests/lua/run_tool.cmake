# Runs lua50 with a listing option on a file and compares its standard
# output with the golden next to the file.
#   -DLUA=<lua50> -DDIR=<folder> -DOPTION=--tokens|--list -DNAME=<file name without .lua>
execute_process(
  COMMAND ${LUA} ${OPTION} ${NAME}.lua
  WORKING_DIRECTORY ${DIR}
  OUTPUT_VARIABLE out
  ERROR_VARIABLE err
  RESULT_VARIABLE rc)
file(READ ${DIR}/${NAME}.expected golden)
if(NOT rc EQUAL 0 OR NOT out STREQUAL golden)
  message(FATAL_ERROR "lua50 ${OPTION} ${NAME}.lua differs from ${NAME}.expected:\n${out}\n${err}")
endif()
