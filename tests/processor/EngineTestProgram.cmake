# The engine's tests, built as they are and again under ASan+UBSan.
function (ortholume_add_engine_test_program name)
    set (_room ${PROJECT_SOURCE_DIR}/tests/processor)
    ortholume_add_test_program (${name}
        ${_room}/ConversionTest.cpp
        ${_room}/HostMisbehaviourTest.cpp
        ${_room}/MeteringTest.cpp
        ${_room}/ParametersTest.cpp
        ${_room}/SavedStateTest.cpp)
endfunction()
