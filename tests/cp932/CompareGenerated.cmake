# SPDX-License-Identifier: MIT
execute_process(COMMAND ${GENERATOR} OUTPUT_FILE ${WRITTEN} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${GENERATOR} failed: ${status}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${COMMITTED} ${WRITTEN} RESULT_VARIABLE differs)
if(differs)
  message(FATAL_ERROR "${COMMITTED} differs from what the generator writes (${WRITTEN}): "
    "build the cp932_table target and review the change")
endif()
