// The framework includes jpeglib.h inside a namespace of its own and names the
// type as jpeglibNamespace::boolean. libjpeg-turbo's Windows jconfig.h leaves
// its declaration out once windows.h has declared the same type globally, so
// declare it again here: a repeated typedef of the same type is allowed.
#pragma once
#include_next <jpeglib.h>
typedef unsigned char boolean;
