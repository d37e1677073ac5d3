# A checked-in generated file must be exactly what its generator writes today.
# Invoked by ctest as: cmake -DGENERATOR=... [-DSOURCE=...] -DCHECKED_IN=... -DOUTPUT=...
#                         -P generated_test.cmake   (SOURCE: the generator's input file, if any)
execute_process(COMMAND ${GENERATOR} ${SOURCE} OUTPUT_FILE ${OUTPUT} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "${GENERATOR} failed (${result})")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUTPUT} ${CHECKED_IN} RESULT_VARIABLE same)
if(NOT same EQUAL 0)
    message(FATAL_ERROR "${CHECKED_IN} differs from what ${GENERATOR} writes; regenerate it")
endif()
