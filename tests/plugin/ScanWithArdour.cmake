# Debian's Ardour VST2 scanner reads the built library, as Ardour does before it
# lists a plug-in: it must find our unique id, category, 4 in / 4 out and editor.
# Usage: cmake -D LIBRARY=<path to Ortholume.so> -P ScanWithArdour.cmake
set (scanner /usr/lib/ardour7/ardour-vst-scanner)

if (NOT EXISTS "${scanner}")
    message (FATAL_ERROR "${scanner} is missing: install Debian's 'ardour' package (tools/install-dependencies.sh)")
endif()

# The scanner writes its cache under the user's cache folder; keep that to ourselves.
string (RANDOM LENGTH 8 suffix)
set (home "${CMAKE_CURRENT_BINARY_DIR}/ardour-scan-${suffix}")
file (MAKE_DIRECTORY "${home}")

# Ardour's own launcher puts its private libraries on the path for the scanner.
execute_process (
    COMMAND ${CMAKE_COMMAND} -E env LD_LIBRARY_PATH=/usr/lib/ardour7 HOME=${home}
            XDG_CACHE_HOME=${home}/cache XDG_CONFIG_HOME=${home}/config
            ${scanner} --force --verbose "${LIBRARY}"
    RESULT_VARIABLE result
    OUTPUT_VARIABLE output
    ERROR_VARIABLE output
    TIMEOUT 45)

message ("${output}")
file (GLOB_RECURSE caches "${home}/*.v2i")

if (NOT result EQUAL 0 OR caches STREQUAL "")
    file (REMOVE_RECURSE "${home}")
    message (FATAL_ERROR "the scanner failed (${result}) or wrote no cache")
endif()

list (GET caches 0 cache)
file (READ "${cache}" info)
message ("${info}")
file (REMOVE_RECURSE "${home}")

# 'BfOl' is 0x42664F6C, 1114001260.
foreach (expected
         "id=\"1114001260\""
         "name=\"Ortholume\""
         "creator=\"Brackenfold\""
         "category=\"Spatial\""
         "n_inputs=\"4\""
         "n_outputs=\"4\""
         "n_midi_inputs=\"1\""
         "n_midi_outputs=\"0\""
         "is_instrument=\"0\""
         "can_process_replace=\"1\""
         "has_editor=\"1\"")
    string (FIND "${info}" "${expected}" position)

    if (position EQUAL -1)
        message (SEND_ERROR "the scanner's cache lacks ${expected}")
    endif()
endforeach()
