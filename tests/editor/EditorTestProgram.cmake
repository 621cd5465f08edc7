# The editor's tests, built as they are and again under ASan+UBSan.
function (ortholume_add_editor_test_program name)
    set (_room ${PROJECT_SOURCE_DIR}/tests/editor)
    ortholume_add_test_program (${name}
        ${_room}/ArtworkTests.cpp
        ${_room}/LookAndFeelTests.cpp
        ${_room}/TransparentButtonLookAndFeelTests.cpp
        ${_room}/VuMeterTests.cpp
        ${_room}/WelcomeGUITests.cpp
        ${_room}/OptionGUITests.cpp
        ${_room}/EditorWindowTests.cpp
        ${_room}/EditorRenderingTests.cpp)

    # The tests decode the embedded data themselves, independent of the code under test.
    target_link_libraries (${name} PRIVATE OrtholumeBinaryData)
endfunction()
