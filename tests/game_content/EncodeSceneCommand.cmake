# SPDX-License-Identifier: MIT
# Runs miradel-encode on the fixtures in DATA_DIR (see data/README.md): a bad scene must
# fail, name the file, line and column and write nothing; a good one must give exact bytes,
# whatever line ends and byte order mark its source has.

file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})

set(stale ${WORK_DIR}/bad.dat)
file(WRITE ${stale} "left from an earlier build")
execute_process(COMMAND ${ENCODER} ${DATA_DIR}/bad.txt ${stale}
  RESULT_VARIABLE result ERROR_VARIABLE errors)
if(result EQUAL 0)
  message(FATAL_ERROR "the encoder accepted a character that code page 932 cannot hold")
endif()
string(FIND "${errors}" "${DATA_DIR}/bad.txt:3:3: error: character U+D55C" at)
if(at EQUAL -1)
  message(FATAL_ERROR "the error does not name the file, line and column:\n${errors}")
endif()
if(EXISTS ${stale})
  message(FATAL_ERROR "a failed run left a scene file behind")
endif()

set(good ${WORK_DIR}/good.dat)
execute_process(COMMAND ${ENCODER} ${DATA_DIR}/good.txt ${good}
  RESULT_VARIABLE result ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "the encoder failed on a good scene:\n${errors}")
endif()
file(READ ${good} written HEX)
file(READ ${DATA_DIR}/good.expected.dat expected HEX)
if(NOT written STREQUAL expected)
  message(FATAL_ERROR "wrong bytes:\n  written  ${written}\n  expected ${expected}")
endif()
