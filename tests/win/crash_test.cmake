# A Windows program that crashes must end at once with a failing status under Wine: not hang in
# a debugger, not pass. The program prints a line first, so a program that never ran (a missing
# library, say) cannot pass for one that crashed.
# Invoked by ctest as: cmake -DPROGRAM=... -DEMULATOR=... -P crash_test.cmake
execute_process(COMMAND ${EMULATOR} ${PROGRAM} RESULT_VARIABLE result OUTPUT_VARIABLE out
                ERROR_VARIABLE err TIMEOUT 60)
if(NOT out MATCHES "crashing now")
    message(FATAL_ERROR "the program did not run up to its crash (${result}):\n${out}${err}")
endif()
if(NOT result MATCHES "^[0-9]+$" OR result EQUAL 0)
    message(FATAL_ERROR "a crash must end the program with a failing status, not '${result}'")
endif()
