# The converter's tests, built as they are and again under ASan+UBSan. They run
# the converter program itself, so each build tests its own.
function (ortholume_add_converter_test_program name)
    set (_room ${PROJECT_SOURCE_DIR}/tests/converter)
    ortholume_add_test_program (${name}
        ${_room}/ConverterTestSupport.cpp
        ${_room}/ConversionTest.cpp
        ${_room}/BFormatTest.cpp
        ${_room}/DamagedFileTest.cpp
        ${_room}/FailureTest.cpp
        ${_room}/PiecesTest.cpp)
    target_link_libraries (${name} PRIVATE ortholume_converter)
    target_compile_definitions (${name} PRIVATE
        ORTHOLUME_CONVERTER_PATH="$<TARGET_FILE:ortholume-convert>"
        ORTHOLUME_EXAMPLE_PATH="${PROJECT_SOURCE_DIR}/examples/circling-source-fuma.amb"
        ORTHOLUME_PROJECT_VERSION="${PROJECT_VERSION}")
    add_dependencies (${name} ortholume-convert)
endfunction()
