# One test program per room of the source tree, each linking the shared code.
# The ordinary build registers its tests with CTest one by one; the sanitized
# sub-build leaves that to the build driving it, which runs each program whole.
function (ortholume_add_test_program name)
    add_executable (${name} ${PROJECT_SOURCE_DIR}/tests/TestMain.cpp ${ARGN})
    ortholume_link_shared_code (${name})
    target_link_libraries (${name} PRIVATE GTest::gtest)
    target_include_directories (${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)

    if (NOT ORTHOLUME_SANITIZER_BUILD)
        gtest_discover_tests (${name} DISCOVERY_TIMEOUT 60)
    endif()
endfunction()
