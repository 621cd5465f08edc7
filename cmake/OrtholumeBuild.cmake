# Build helpers shared by every room of the project.

# Warnings are defects in our own code. JUCE's headers are treated as system
# headers (see below), so what it warns about itself stays out of our output.
set (ORTHOLUME_WARNING_FLAGS -Wall -Wextra)

add_library (ortholume_warnings INTERFACE)
target_compile_options (ortholume_warnings INTERFACE ${ORTHOLUME_WARNING_FLAGS})

# Results must be bit-identical on every machine and optimisation level.
set (ORTHOLUME_NUMERIC_FLAGS -ffp-contract=off)

# How the framework is configured wherever we compile it: the plug-in's shared
# code, and the programs that compile it again (hosting, ThreadSanitizer).
set (ORTHOLUME_FRAMEWORK_DEFINITIONS
    # Hosts address the gain as parameter "0", as sessions and automation already do.
    JUCE_FORCE_USE_LEGACY_PARAM_IDS=1
    JUCE_WEB_BROWSER=0
    JUCE_USE_CURL=0
    JUCE_DISPLAY_SPLASH_SCREEN=0
    # The packaged framework ships without its bundled codecs.
    JUCE_USE_FLAC=0
    JUCE_USE_OGGVORBIS=0
    # Tests wait on the message loop.
    JUCE_MODAL_LOOPS_PERMITTED=1)

if (CMAKE_SYSTEM_NAME STREQUAL "Linux")
    # The Standalone app offers JACK beside ALSA: four-channel work on Linux
    # mostly runs through it. The library is opened at run time, if present.
    list (APPEND ORTHOLUME_FRAMEWORK_DEFINITIONS JUCE_JACK=1)
endif()

# JUCE's module folder as a system include path: GCC 12 reports false positives
# (-Wdangling-pointer in ListenerList) inside it that are not ours to fix.
get_target_property (_juce_module_includes juce::juce_core INTERFACE_INCLUDE_DIRECTORIES)
foreach (_module IN ITEMS juce_core juce_events juce_data_structures juce_graphics juce_gui_basics
                          juce_gui_extra juce_audio_basics juce_audio_devices juce_audio_formats
                          juce_audio_processors juce_audio_utils juce_audio_plugin_client)
    if (TARGET ${_module})
        set_target_properties (${_module} PROPERTIES SYSTEM TRUE)
    endif()
endforeach()

# Our sources in the shared-code target get our warnings; JUCE's module sources,
# compiled in the same target, do not. The list is kept so that instrumented
# builds (ThreadSanitizer) compile exactly the same files.
function (ortholume_add_shared_sources)
    list (TRANSFORM ARGN PREPEND "${CMAKE_CURRENT_SOURCE_DIR}/")
    target_sources (Ortholume PRIVATE ${ARGN})
    set_source_files_properties (${ARGN} TARGET_DIRECTORY Ortholume
                                 PROPERTIES COMPILE_OPTIONS "${ORTHOLUME_WARNING_FLAGS}")
    set_property (GLOBAL APPEND PROPERTY ORTHOLUME_SHARED_SOURCES ${ARGN})
endfunction()

# Programs of our own (tests, benchmarks, tools) link the shared code instead of
# compiling JUCE again; they take its include paths and definitions with it.
function (ortholume_link_shared_code target)
    target_link_libraries (${target} PRIVATE Ortholume ortholume_warnings)
    target_include_directories (${target} SYSTEM PRIVATE
        $<TARGET_PROPERTY:Ortholume,INCLUDE_DIRECTORIES>)
    target_include_directories (${target} PRIVATE ${PROJECT_SOURCE_DIR}/source)
    target_compile_definitions (${target} PRIVATE
        $<TARGET_PROPERTY:Ortholume,COMPILE_DEFINITIONS>)
    target_compile_options (${target} PRIVATE ${ORTHOLUME_NUMERIC_FLAGS})
endfunction()
