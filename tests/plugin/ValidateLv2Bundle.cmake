# Runs the bundle's Turtle through Debian's lv2_validate. The framework's TTL
# generator produces a few errors of its own (listed below, matched exactly);
# any other error fails.
# Usage: cmake -D BUNDLE=<path to Ortholume.lv2> -P ValidateLv2Bundle.cmake
find_program (validator lv2_validate)

if (NOT validator)
    message (FATAL_ERROR "lv2_validate is missing: install lv2-dev and sordi (tools/install-dependencies.sh)")
endif()

file (GLOB ttls "${BUNDLE}/*.ttl")
execute_process (COMMAND ${validator} ${ttls}
                 OUTPUT_VARIABLE output ERROR_VARIABLE output TIMEOUT 45)
message ("${output}")

set (known_framework_errors
     KNOWN_ERRORS_PLACEHOLDER)

string (REPLACE "\n" ";" lines "${output}")
set (unexpected 0)

foreach (line IN LISTS lines)
    if (line MATCHES "error:")
        set (known FALSE)

        foreach (pattern IN LISTS known_framework_errors)
            if (line MATCHES "${pattern}")
                set (known TRUE)
            endif()
        endforeach()

        if (NOT known)
            message (SEND_ERROR "unexpected: ${line}")
            math (EXPR unexpected "${unexpected} + 1")
        endif()
    endif()
endforeach()

message ("${unexpected} unexpected errors")
