# Runs boardsim on one scenario script, with the test boards folder, and compares its output (standard output, then standard error
# and the exit status) with the expected file.
execute_process(COMMAND ${TOOL} --boards ${BOARDS} ${SCRIPT} OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
set(actual "${out}")
if(NOT err STREQUAL "")
    string(APPEND actual "stderr: ${err}")
endif()
string(APPEND actual "exit ${status}\n")
file(READ ${EXPECTED} expected)
if(NOT actual STREQUAL expected)
    message(FATAL_ERROR "boardsim output differs from ${EXPECTED}:\n${actual}")
endif()
