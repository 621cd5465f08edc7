# The clang sub-build (ORTHOLUME_SANITIZER_BUILD, driven by tests/sanitizers):
# the framework and the shared sources compiled once with AddressSanitizer,
# UndefinedBehaviorSanitizer and libFuzzer's coverage hooks, into a static
# library under the shared-code target's name. The fuzzers and the sanitized
# test programs link it through ortholume_link_shared_code, as the ordinary
# programs link the plug-in's shared code.

set (ORTHOLUME_SANITIZER_FLAGS
    -fsanitize=address,undefined
    # Undefined behaviour stops the run instead of scrolling past.
    -fno-sanitize-recover=all
    -fno-omit-frame-pointer)

add_compile_options (${ORTHOLUME_SANITIZER_FLAGS} -fsanitize=fuzzer-no-link -gline-tables-only)
add_link_options (-fsanitize=address,undefined)

add_library (Ortholume STATIC)
target_compile_features (Ortholume PUBLIC cxx_std_17)
target_compile_definitions (Ortholume PUBLIC ${ORTHOLUME_FRAMEWORK_DEFINITIONS})
target_compile_options (Ortholume PRIVATE ${ORTHOLUME_NUMERIC_FLAGS})
target_link_libraries (Ortholume
    PRIVATE
        juce::juce_audio_utils
        # What the framework's own targets add for its image codecs on Linux.
        juce::pkgconfig_JUCE_IMG_LINUX_DEPS
    PUBLIC
        juce::juce_recommended_config_flags)

# Light optimisation keeps the instrumented framework quick to build and the
# fuzzers fast; the line tables above give readable reports.
set (CMAKE_C_FLAGS_RELWITHDEBINFO "-O1 -DNDEBUG")
set (CMAKE_CXX_FLAGS_RELWITHDEBINFO "-O1 -DNDEBUG")
