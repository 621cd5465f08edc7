# Runs the artwork generator into a scratch folder and compares its files with
# the committed ones. Arguments: GENERATOR, FONT, RESOURCES, OUTPUT.

file (REMOVE_RECURSE "${OUTPUT}")

execute_process (COMMAND "${GENERATOR}" "${FONT}" "${OUTPUT}" RESULT_VARIABLE result)

if (NOT result EQUAL 0)
    message (FATAL_ERROR "the artwork generator failed: ${result}")
endif()

file (GLOB drawn RELATIVE "${OUTPUT}" "${OUTPUT}/*.png")
file (GLOB committed RELATIVE "${RESOURCES}" "${RESOURCES}/*.png")

if (NOT drawn STREQUAL committed)
    message (FATAL_ERROR "drawn files (${drawn}) are not the committed ones (${committed})")
endif()

set (differing "")

foreach (file IN LISTS drawn)
    execute_process (COMMAND ${CMAKE_COMMAND} -E compare_files "${OUTPUT}/${file}" "${RESOURCES}/${file}"
                     RESULT_VARIABLE same)

    if (NOT same EQUAL 0)
        list (APPEND differing "${file}")
    endif()
endforeach()

if (differing)
    message (FATAL_ERROR "redrawn artwork differs from resources/: ${differing}")
endif()

list (LENGTH drawn count)
message (STATUS "${count} images reproduce byte for byte")
