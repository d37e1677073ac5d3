# Every checked-in picture must be exactly what the generator draws today, and the generator
# must draw nothing that is not checked in.
# Invoked by ctest as: cmake -DGENERATOR=... -DCHECKED_IN=<folder> -DOUTPUT=<folder>
#                         -P pictures_are_generated.cmake
file(REMOVE_RECURSE ${OUTPUT})
execute_process(COMMAND ${GENERATOR} ${OUTPUT} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "${GENERATOR} failed (${result})")
endif()
file(GLOB written RELATIVE ${OUTPUT} ${OUTPUT}/*)
file(GLOB checked RELATIVE ${CHECKED_IN} ${CHECKED_IN}/*.bmp ${CHECKED_IN}/*.ico)
list(SORT written)
list(SORT checked)
if(NOT written STREQUAL checked)
    message(FATAL_ERROR "the generator writes [${written}] but [${checked}] are checked in")
endif()
if(written STREQUAL "")
    message(FATAL_ERROR "the generator wrote nothing")
endif()
foreach(name IN LISTS written)
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUTPUT}/${name} ${CHECKED_IN}/${name}
                    RESULT_VARIABLE same)
    if(NOT same EQUAL 0)
        message(FATAL_ERROR "${CHECKED_IN}/${name} differs from what ${GENERATOR} draws; regenerate it")
    endif()
endforeach()
