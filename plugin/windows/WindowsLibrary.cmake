# The 64-bit Windows library and bundle, cross-built with MinGW-w64.

# Debian's JUCE takes zlib, libpng and libjpeg from the system instead of its
# own copies: here those are MinGW's zlib and the static builds that
# tools/windows/third-party.sh leaves in ORTHOLUME_MINGW_PREFIX.
find_path (ORTHOLUME_PNG_INCLUDE_DIR png.h REQUIRED)
find_path (ORTHOLUME_JPEG_INCLUDE_DIR jpegint.h REQUIRED)
find_library (ORTHOLUME_PNG_LIBRARY NAMES libpng16.a REQUIRED)
find_library (ORTHOLUME_JPEG_LIBRARY NAMES libjpeg.a REQUIRED)
# The static archive by name: the import library would make the plug-in need zlib1.dll.
find_library (ORTHOLUME_ZLIB_LIBRARY NAMES libz.a REQUIRED)

target_include_directories (Ortholume SYSTEM PRIVATE
    "${CMAKE_CURRENT_SOURCE_DIR}/windows/jpeg-shim"
    "${ORTHOLUME_PNG_INCLUDE_DIR}"
    "${ORTHOLUME_JPEG_INCLUDE_DIR}")
target_link_libraries (Ortholume PRIVATE
    "${ORTHOLUME_PNG_LIBRARY}" "${ORTHOLUME_JPEG_LIBRARY}" "${ORTHOLUME_ZLIB_LIBRARY}")

# The framework tells MinGW builds that it draws text without DirectWrite; we know.
set_property (SOURCE "${JUCE_MODULES_DIR}/juce_graphics/juce_graphics.cpp" TARGET_DIRECTORY Ortholume
              APPEND PROPERTY COMPILE_OPTIONS -Wno-cpp)

# The framework's GUI module outgrows the default COFF section count in a Debug build.
# Release builds do not need it, but are not harmed by it.
target_compile_options (Ortholume PRIVATE -Wa,-mbig-obj)

configure_file (windows/VersionInfo.rc.in VersionInfo.rc @ONLY)

foreach (_format IN ITEMS Ortholume_VST Ortholume_VST3)
    # Hosts load the plug-ins on machines without MinGW: only system DLLs may be needed.
    target_link_options (${_format} PRIVATE -static -static-libgcc -static-libstdc++)
    # The framework gives plug-ins no version resource; hosts and Explorer show this one.
    target_sources (${_format} PRIVATE "${CMAKE_CURRENT_BINARY_DIR}/VersionInfo.rc")
endforeach()
