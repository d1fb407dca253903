# first_report(TEXT VAR): the first line the stand-alone interpreter wrote on
# standard error, with its own name as "lua50" (it names itself by its path:
# what follows the first ": " is kept; a REGEX REPLACE anchored at ^ would go
# on to replace further prefixes). Empty for no text.
function(first_report text var)
  set(first "")
  if(NOT text STREQUAL "")
    string(REGEX MATCH "^[^\n]*" first "${text}")
  endif()
  string(FIND "${first}" ": " colon)
  if(colon GREATER_EQUAL 0)
    math(EXPR colon "${colon} + 2")
    string(SUBSTRING "${first}" ${colon} -1 first)
    set(first "lua50: ${first}")
  endif()
  set(${var} "${first}" PARENT_SCOPE)
endfunction()
