# Runs `pidigits blowfish-tables` and fails when its output differs from the committed source.
execute_process(COMMAND ${TOOL} blowfish-tables OUTPUT_VARIABLE generated RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "pidigits failed: ${rc}")
endif()
file(READ ${EXPECTED} committed)
if(NOT generated STREQUAL committed)
  message(FATAL_ERROR "${EXPECTED} differs from `pidigits blowfish-tables`; regenerate it:\n"
                      "  build/tools/pidigits/pidigits blowfish-tables > engine/base/blowfish_tables.cpp")
endif()
