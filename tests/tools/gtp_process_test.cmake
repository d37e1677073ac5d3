# `tavik-cli gtp` through the process boundary, as another program drives it: the exact bytes of
# the answers to a game with a pass (said once, skipped once), bad input, and the end of input
# ending the engine without `quit`. Invoked by ctest as: cmake -DCLI=... [-DEMULATOR=...]
# -DWORK=DIR -P gtp_process_test.cmake
set(game D3 C5 D6 E3 B4 C3 F2 B5 D2 E2 F6 A3 E1 E7 A5 G5 F8 D8 G7)
set(commands "1 protocol_version\nboardsize 8\r\nkomi 0\n")
set(expected "=1 2\n\n= \n\n= \n\n")
set(colour b)
foreach(move IN LISTS game)
    string(APPEND commands "play ${colour} ${move}\n")
    string(APPEND expected "= \n\n")
    if(colour STREQUAL b)
        set(colour w)
    else()
        set(colour b)
    endif()
endforeach()
# White has no move now: once the pass is said, once it is skipped.
string(APPEND commands "play w pass\nplay b h4\nfinal_score\nundo\nundo\nplay b h4\ngenmove w\n")
string(APPEND expected "= \n\n= \n\n= B+18\n\n= \n\n= \n\n= \n\n= pass\n\n")
string(APPEND commands "play b a1\nfrobnicate\n\n# nothing\nboardsize 10\nname")
string(APPEND expected "? illegal move\n\n? unknown command\n\n? unacceptable size\n\n= Tavik\n\n")

file(MAKE_DIRECTORY ${WORK})
file(WRITE ${WORK}/commands.txt "${commands}")
execute_process(COMMAND ${EMULATOR} ${CLI} gtp --preset weak INPUT_FILE ${WORK}/commands.txt
                RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT 300)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "tavik-cli gtp: exit ${result}\n${err}")
endif()
if(NOT out STREQUAL expected)
    file(WRITE ${WORK}/expected.txt "${expected}")
    file(WRITE ${WORK}/output.txt "${out}")
    message(FATAL_ERROR "tavik-cli gtp answered otherwise: compare ${WORK}/expected.txt and "
                        "${WORK}/output.txt")
endif()
