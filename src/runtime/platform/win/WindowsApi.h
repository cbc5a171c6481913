#pragma once

// The Win32 API without the parts of <windows.h> the program never uses, and without its
// min and max macros, which break std::min and std::max.
#define WIN32_LEAN_AND_MEAN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
