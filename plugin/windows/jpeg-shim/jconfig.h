// Windows' rpcndr.h and libjpeg-turbo's Windows jconfig.h both declare
// "boolean", and jconfig.h leaves it out once rpcndr.h has been read. Reading
// rpcndr.h first makes its declaration the one every translation unit sees,
// whatever the framework included before jpeglib.h.
#pragma once
#include <rpcndr.h>
#include_next <jconfig.h>
