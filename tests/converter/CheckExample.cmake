# Regenerates the example into a scratch file and compares it with the committed one.
execute_process (COMMAND ${GENERATOR} ${SCRATCH} RESULT_VARIABLE result)

if (NOT result EQUAL 0)
    message (FATAL_ERROR "the example generator failed (${result})")
endif()

execute_process (COMMAND ${CMAKE_COMMAND} -E compare_files ${COMMITTED} ${SCRATCH} RESULT_VARIABLE different)

if (different)
    message (FATAL_ERROR "examples/circling-source-fuma.amb differs from what tools/example writes; regenerate it with the ortholume-regenerate-example target")
endif()
