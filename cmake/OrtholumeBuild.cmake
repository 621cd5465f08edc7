# Build helpers shared by every room of the project.

# A rebuild after a small change, or a second build configuration, takes what it
# can from the compiler cache instead of compiling the framework again.
find_program (ORTHOLUME_CCACHE ccache)
if (ORTHOLUME_CCACHE AND NOT CMAKE_CXX_COMPILER_LAUNCHER)
    set (CMAKE_C_COMPILER_LAUNCHER ${ORTHOLUME_CCACHE})
    set (CMAKE_CXX_COMPILER_LAUNCHER ${ORTHOLUME_CCACHE})
endif()

# The instrumented configurations (CMakePresets.json): "address" is clang's
# AddressSanitizer and UndefinedBehaviorSanitizer with libFuzzer's coverage
# hooks, for the unit tests and the fuzzers; "thread" is ThreadSanitizer, for
# the concurrency tests. Everything in such a build is instrumented, the
# framework included, since an uninstrumented framework hides faults inside it.
set (ORTHOLUME_SANITIZE "" CACHE STRING "Instrument the build: empty, address or thread")
set_property (CACHE ORTHOLUME_SANITIZE PROPERTY STRINGS "" address thread)

if (ORTHOLUME_SANITIZE STREQUAL "address")
    # Undefined behaviour stops the run instead of scrolling past.
    add_compile_options (-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer
                         -fsanitize=fuzzer-no-link -gline-tables-only)
    add_link_options (-fsanitize=address,undefined)
    set (ORTHOLUME_SANITIZER_ENVIRONMENT
        "ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:exitcode=86"
        "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")
elseif (ORTHOLUME_SANITIZE STREQUAL "thread")
    # Line tables and function names are all a race report needs, and compile faster than full -g.
    add_compile_options (-fsanitize=thread -g1)
    add_link_options (-fsanitize=thread)
    set (ORTHOLUME_SANITIZER_ENVIRONMENT "TSAN_OPTIONS=halt_on_error=1:abort_on_error=1")
elseif (NOT ORTHOLUME_SANITIZE STREQUAL "")
    message (FATAL_ERROR "ORTHOLUME_SANITIZE is \"${ORTHOLUME_SANITIZE}\": use address, thread or nothing")
endif()

# Warnings are defects in our own code. JUCE's headers are treated as system
# headers (see below), so what it warns about itself stays out of our output.
set (ORTHOLUME_WARNING_FLAGS -Wall -Wextra)

add_library (ortholume_warnings INTERFACE)
target_compile_options (ortholume_warnings INTERFACE ${ORTHOLUME_WARNING_FLAGS})

# Results must be bit-identical on every machine and optimisation level.
set (ORTHOLUME_NUMERIC_FLAGS -ffp-contract=off)

# How the framework is configured wherever we compile it: the plug-in's shared
# code, and the hosting tests, which compile it again with plug-in hosting.
set (ORTHOLUME_FRAMEWORK_DEFINITIONS
    # Hosts address the gain as parameter "0", as sessions and automation already do.
    JUCE_FORCE_USE_LEGACY_PARAM_IDS=1
    JUCE_WEB_BROWSER=0
    JUCE_USE_CURL=0
    JUCE_DISPLAY_SPLASH_SCREEN=0
    # The packaged framework ships without its bundled codecs.
    JUCE_USE_FLAC=0
    JUCE_USE_OGGVORBIS=0)

if (CMAKE_SYSTEM_NAME STREQUAL "Linux")
    # The Standalone app offers JACK beside ALSA: four-channel work on Linux
    # mostly runs through it. The library is opened at run time, if present.
    list (APPEND ORTHOLUME_FRAMEWORK_DEFINITIONS JUCE_JACK=1)
endif()

if (ORTHOLUME_SANITIZE STREQUAL "thread")
    # This configuration only runs tests: the framework's leak detector and its
    # assertions stay on in the optimised build, and a logged assertion fails a test.
    list (APPEND ORTHOLUME_FRAMEWORK_DEFINITIONS JUCE_CHECK_MEMORY_LEAKS=1 JUCE_LOG_ASSERTIONS=1)
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

# Our files that include the framework's headers compile in batches, each batch
# as one unit: parsing those headers is most of what each file costs. Switch it
# off (-D ORTHOLUME_BATCHED_COMPILE=OFF) to see that every file includes what it uses.
option (ORTHOLUME_BATCHED_COMPILE "Compile our framework-including files in batches" ON)

# The framework's module sources compile inside two targets of ours: the shared
# code, and the hosting tests' host. Those targets take our warnings and the
# module sources take them back off, since what the framework warns about in
# itself is not ours to fix. Our own files in them compile in batches; each
# module source stays a unit by itself, as the framework means it.
file (GLOB ORTHOLUME_FRAMEWORK_MODULE_SOURCES ${_juce_module_includes}/juce_*/juce_*.cpp)

function (ortholume_compile_framework_within target)
    target_link_libraries (${target} PRIVATE ortholume_warnings)
    set_property (SOURCE ${ORTHOLUME_FRAMEWORK_MODULE_SOURCES} TARGET_DIRECTORY ${target}
                  APPEND PROPERTY COMPILE_OPTIONS -Wno-all -Wno-extra)
    set_source_files_properties (${ORTHOLUME_FRAMEWORK_MODULE_SOURCES} TARGET_DIRECTORY ${target}
                                 PROPERTIES SKIP_UNITY_BUILD_INCLUSION ON)
    set_target_properties (${target} PROPERTIES UNITY_BUILD ${ORTHOLUME_BATCHED_COMPILE})
endfunction()

# The framework's module sources, compiled without optimisation where the build
# only exercises them: the hosting tests' host, and the instrumented builds,
# which -O0 compiles in well under half the time. Our own sources keep the
# build type's optimisation, so the fuzzers keep their pace.
function (ortholume_compile_framework_unoptimised target)
    set_property (SOURCE ${ORTHOLUME_FRAMEWORK_MODULE_SOURCES} TARGET_DIRECTORY ${target}
                  APPEND PROPERTY COMPILE_OPTIONS -O0)
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
    set_target_properties (${target} PROPERTIES UNITY_BUILD ${ORTHOLUME_BATCHED_COMPILE})
endfunction()
