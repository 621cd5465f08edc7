# The framework's TTL generator declares every effect a plain lv2:Plugin. After
# it has written the bundle, add the class hosts file Ortholume under.
# Usage: cmake -D TTL=<dsp.ttl> -D URI=<plug-in URI> -P DeclareLv2Class.cmake
set (statement "<${URI}> a lv2:SpatialPlugin .")
file (READ "${TTL}" ttl)
string (FIND "${ttl}" "${statement}" existing)

if (existing EQUAL -1)
    file (APPEND "${TTL}" "\n# Added by the build: the plug-in's class.\n${statement}\n")
endif()
