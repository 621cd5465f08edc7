# The style check passes code in the house style and fails code out of it.
#   cmake -D CHECK=tools/check-format.sh -D SCRATCH=<folder inside the tree> -P CheckFormat.cmake
file (MAKE_DIRECTORY "${SCRATCH}")
file (WRITE "${SCRATCH}/in-style.cpp" "int twice (int x)\n{\n    return x * 2;\n}\n")
file (WRITE "${SCRATCH}/out-of-style.cpp" "int twice(int x) {\n  return x*2;\n}\n")

execute_process (COMMAND "${CHECK}" "${SCRATCH}/in-style.cpp" RESULT_VARIABLE in_style)
execute_process (COMMAND "${CHECK}" "${SCRATCH}/out-of-style.cpp" RESULT_VARIABLE out_of_style
                 OUTPUT_QUIET ERROR_VARIABLE report)

if (NOT in_style EQUAL 0)
    message (FATAL_ERROR "the check refused code in the house style")
endif()
if (out_of_style EQUAL 0 OR NOT report MATCHES "out-of-style.cpp:1:")
    message (FATAL_ERROR "the check passed code out of style: ${report}")
endif()
