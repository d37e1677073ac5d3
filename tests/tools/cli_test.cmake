# Runs tavik-cli with good and bad input: good input exits 0, bad input exits 2 with one line
# on stderr. Invoked by ctest as: cmake -DCLI=... [-DEMULATOR=...] -P cli_test.cmake
function(expect_cli status pattern)
    execute_process(COMMAND ${EMULATOR} ${CLI} ${ARGN}
                    RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT result EQUAL status)
        message(FATAL_ERROR "tavik-cli ${ARGN}: exit ${result}, expected ${status}\n${out}${err}")
    endif()
    if(status EQUAL 2)
        string(REGEX MATCHALL "\n" lines "${err}")
        list(LENGTH lines count)
        if(NOT count EQUAL 1)
            message(FATAL_ERROR "tavik-cli ${ARGN}: expected one line on stderr, got:\n${err}")
        endif()
        set(out "${err}")
    endif()
    if(NOT out MATCHES "${pattern}")
        message(FATAL_ERROR "tavik-cli ${ARGN}: output does not match '${pattern}':\n${out}")
    endif()
endfunction()

expect_cli(0 "F5 openness 5" moves start)
expect_cli(0 "move   F5" think start --depth 1)
expect_cli(0 "value  black wins by [0-9]+" think
           "--XXXXX--OOOXX-O-OOOXXOX-OXOXOXXOXXXOXXX--XOXOXX-XXXOOO--OOOOO--" X --perfect)
expect_cli(0 "^0\r?\n" eval start)
expect_cli(0 "Ventrisk" version)
expect_cli(2 "64 squares" think "XO-" X)
expect_cli(2 "bad square character" moves
           "---------------------------OX------XO--------------------------Z" X)
expect_cli(2 "not legal" think f5f5)
expect_cli(2 "--depth takes" think start --depth 0)
expect_cli(2 "unknown command" frobnicate)
expect_cli(2 "side to move" eval "----------------------------------------------------------------")
