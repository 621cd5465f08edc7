# The manual page is written from --help: every long option --help names must be in it.
execute_process (COMMAND ${CONVERTER} --help OUTPUT_VARIABLE help RESULT_VARIABLE result)

if (NOT result EQUAL 0)
    message (FATAL_ERROR "ortholume-convert --help failed (${result})")
endif()

file (READ ${MANUAL} manual)

if (NOT manual MATCHES "\\.TH ORTHOLUME-CONVERT \"1\"")
    message (FATAL_ERROR "${MANUAL} is not the manual page of ortholume-convert in section 1")
endif()

string (REGEX MATCHALL "--[a-z][a-z-]*" options "${help}")
list (REMOVE_DUPLICATES options)

foreach (option IN LISTS options)
    # groff spells a hyphen that must stay one as \-.
    string (REPLACE "-" "\\-" spelled "${option}")
    string (FIND "${manual}" "${spelled}" at)

    if (at EQUAL -1)
        message (FATAL_ERROR "${option} is in --help but not in the manual page")
    endif()
endforeach()
