# One test program per room of the source tree, each linking the shared code.
#   ortholume_add_test_program (NAME [TEST_FILTER GTEST_FILTER] SOURCE...)
function (ortholume_add_test_program name)
    cmake_parse_arguments (PARSE_ARGV 1 _program "" "TEST_FILTER" "")
    if (NOT _program_TEST_FILTER)
        set (_program_TEST_FILTER "*")
    endif()

    add_executable (${name} ${PROJECT_SOURCE_DIR}/tests/TestMain.cpp ${_program_UNPARSED_ARGUMENTS})
    ortholume_link_shared_code (${name})
    target_link_libraries (${name} PRIVATE GTest::gtest)
    target_include_directories (${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)

    if (ORTHOLUME_SANITIZE STREQUAL "address")
        # Each program runs whole: one start-up and one leak report per program.
        add_test (NAME Sanitized.${name} COMMAND ${name} --gtest_filter=${_program_TEST_FILTER})
        set_tests_properties (Sanitized.${name} PROPERTIES
            LABELS "sanitizer" ENVIRONMENT "${ORTHOLUME_SANITIZER_ENVIRONMENT}")
    elseif (ORTHOLUME_SANITIZE STREQUAL "thread")
        # The framework's assertions are logged in this configuration; any of them fails the test.
        gtest_discover_tests (${name} DISCOVERY_TIMEOUT 120 TEST_FILTER "${_program_TEST_FILTER}"
            PROPERTIES LABELS "sanitizer" ENVIRONMENT "${ORTHOLUME_SANITIZER_ENVIRONMENT}"
                       FAIL_REGULAR_EXPRESSION "JUCE Assertion failure")
    else()
        gtest_discover_tests (${name} DISCOVERY_TIMEOUT 60 TEST_FILTER "${_program_TEST_FILTER}")
    endif()
endfunction()
