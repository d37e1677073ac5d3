# Runs tavik-cli with good and bad input: good input exits 0, bad input exits 2 with one line
# on stderr. Invoked by ctest as: cmake -DCLI=... [-DEMULATOR=...] -P cli_test.cmake
function(expect_cli status pattern)
    execute_process(COMMAND ${EMULATOR} ${CLI} ${ARGN}
                    RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT result EQUAL status)
        message(FATAL_ERROR "tavik-cli ${ARGN}: exit ${result}, expected ${status}\n${out}${err}")
    endif()
    if(NOT status EQUAL 0)
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
# The switch that keeps every search on the portable build, whatever the processor.
set(ENV{OSTRAKON_PORTABLE} 1)
expect_cli(0 "search build: portable\r?\n" version)
unset(ENV{OSTRAKON_PORTABLE})
expect_cli(2 "64 squares" think "XO-" X)
expect_cli(2 "bad square character" moves
           "---------------------------OX------XO--------------------------Z" X)
expect_cli(2 "not legal" think f5f5)
expect_cli(2 "--depth takes" think start --depth 0)
foreach(threads 1 4)
    expect_cli(0 "move   F4\r?\nvalue  0 .*\r?\nnodes  481\r?\n" think f5d6c3 --depth 5 --threads ${threads})
endforeach()
expect_cli(2 "--threads takes" think start --threads 0)
expect_cli(2 "--threads takes" bench --threads x)
expect_cli(2 "unknown command" frobnicate)

# The study menu's analyses and best move: the rows as the window lists them, and nothing else.
expect_cli(0 "^D3 20 [0-9]+\r?\nC4 20 [0-9]+\r?\nF5 20 [0-9]+\r?\nE6 20 [0-9]+\r?\n$" analyse start --mode eval)
expect_cli(0 "^D3 5 0\r?\nC4 5 0\r?\nF5 5 0\r?\nE6 5 0\r?\n$" analyse start --mode openness --threads 1)
expect_cli(0 "^G8 65554 [0-9]+\r?\nH1 65548 [0-9]+\r?\n" analyse
           "--XXXXX--OOOXX-O-OOOXXOX-OXOXOXXOXXXOXXX--XOXOXX-XXXOOO--OOOOO--" X --mode perfect)
# win/loss: bare wins and losses, equal ones in ascending square order
expect_cli(0 "^H1 65536 [0-9]+\r?\nA2 65536 [0-9]+\r?\nA3 65536 [0-9]+\r?\nH7 65536 [0-9]+\r?\nG8 65536 [0-9]+\r?\nB1 -65536 [0-9]+\r?\n" analyse
           "--XXXXX--OOOXX-O-OOOXXOX-OXOXOXXOXXXOXXX--XOXOXX-XXXOOO--OOOOO--" X --mode win)
expect_cli(0 "^F5 20 [0-9]+\r?\n$" best start)
expect_cli(0 "^-- -16777215 0\r?\n$" best
           "OX--------------------------------------------------------------" X)
expect_cli(2 "analyse needs --mode" analyse start)
expect_cli(2 "--mode takes" analyse start --mode fast)
expect_cli(2 "--threads takes" analyse start --mode eval --threads 0)
expect_cli(2 "--perfect-depth takes" best start --perfect-depth 61)
expect_cli(2 "unexpected argument '--mode'" best start --mode eval)
expect_cli(0 "C6   -4\r?\n.*draw   7, 1 mod 3\r?\nmove   C4 \\(value 0, nodes 434\\)" book f5d6 --draw 7)
expect_cli(0 "C3    0  best.*move   C3 \\(value 0, nodes 490\\)" book d3 --draw 0)
expect_cli(0 "move   F5" book start)
expect_cli(0 "out of book" book f5d6c7)
expect_cli(2 "not legal" book f5f5)
expect_cli(2 "--draw takes" book f5 --draw -1)
expect_cli(2 "book needs a line" book)
expect_cli(2 "side to move" eval "----------------------------------------------------------------")

# game files: made from a transcript, checked, shown; a damaged file is refused with exit 1
file(WRITE cli_test_bad.tvk "not a game")
expect_cli(0 "wrote cli_test_game.tvk: 6 moves" game make f5d6c3d3c4f4 cli_test_game.tvk --black Kuro)
expect_cli(0 "^ok" game validate cli_test_game.tvk)
expect_cli(0 "moves  6  F5D6C3D3C4F4" game show cli_test_game.tvk)
expect_cli(1 "exactly 37071 bytes" game validate cli_test_bad.tvk)
expect_cli(2 "not legal" game make f5f5 cli_test_never.tvk)
# the game's own transcript reader: move numbers, passes only where forced
expect_cli(0 "wrote cli_test_numbered.tvk: 3 moves" game make "1. f5 d6 2. c3" cli_test_numbered.tvk)
expect_cli(2 "move 2: a pass where there is a legal move" game make "f5 pass" cli_test_never.tvk)
expect_cli(2 "cannot read" game show cli_test_missing.tvk)
expect_cli(0 "wrote cli_test_game.txt" game export cli_test_game.tvk cli_test_game.txt
           --program-dir ${CMAKE_CURRENT_LIST_DIR}/../..)
expect_cli(2 "cannot read the template" game export cli_test_game.tvk cli_test_out.txt
           --program-dir cli_test_nowhere)
