# Short real matches: our weakest preset against an independent engine (Debian's gtp-rhino at
# level 1, no book) as a child process, two games from one opening with colours swapped. Who
# wins is not the point: both games end legally (no forfeit, a finished position), and both
# are saved as game files that read back sound.
# Invoked by ctest as: cmake -DCLI=... -DRHINO=... -DWORK=DIR -P match_rhino_test.cmake
if(NOT EXISTS ${RHINO})
    message(FATAL_ERROR "${RHINO} is missing: install the Debian package grhino (cmake/install-deps.sh)")
endif()
# Ours plays twice: in-process, and as `tavik-cli gtp`, a child process like the other engine.
foreach(ours "tavik:weak" "gtp:${CLI} gtp --preset weak")
    file(REMOVE_RECURSE ${WORK})
    file(MAKE_DIRECTORY ${WORK})
    execute_process(COMMAND ${CLI} match ${ours} "gtp:${RHINO} --level 1 --book 0" --games 2
                            --random-openings 8 --seed 5 --move-timeout 120 --out ${WORK}
                    RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT 600)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "the match of ${ours} failed (exit ${result}):\n${out}${err}")
    endif()
    message("${out}")
    if(out MATCHES "forfeit" OR NOT out MATCHES "A: [0-9]+ wins, [0-9]+ draws, [0-9]+ losses of 2")
        message(FATAL_ERROR "the match of ${ours} did not play two whole games")
    endif()
    foreach(game game-001 game-002)
        execute_process(COMMAND ${CLI} game show ${WORK}/${game}.tvk RESULT_VARIABLE result OUTPUT_VARIABLE shown)
        if(NOT result EQUAL 0 OR NOT shown MATCHES "moves +[0-9]+ +([A-H1-8]+)")
            message(FATAL_ERROR "${game}.tvk does not read back:\n${shown}")
        endif()
        set(transcript ${CMAKE_MATCH_1})
        execute_process(COMMAND ${CLI} moves ${transcript} OUTPUT_VARIABLE left)
        if(NOT left MATCHES "^game over")
            message(FATAL_ERROR "${game}.tvk ends before the game does: ${transcript}\n${left}")
        endif()
    endforeach()
endforeach()
