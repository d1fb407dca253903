# Included by run_script.cmake and run_conformance.cmake: sets `run` to the
# script ${SOURCE} (in ${DIR}), or, given LUAC, compiles it to the chunk
# ${CHUNK} in byte order ${ORDER} and sets `run` to that chunk.
set(run ${SOURCE})
if(LUAC)
  execute_process(COMMAND ${LUAC} ${ORDER} -o ${CHUNK} ${SOURCE}
    WORKING_DIRECTORY ${DIR} RESULT_VARIABLE crc ERROR_VARIABLE cerr)
  if(NOT crc EQUAL 0)
    message(FATAL_ERROR "compiling ${SOURCE} failed:\n${cerr}")
  endif()
  set(run ${CHUNK})
endif()
