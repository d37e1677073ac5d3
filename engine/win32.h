// <windows.h> as the engine's sources take it: the core of the API only, and without the min
// and max macros. Empty elsewhere.
#ifndef OSTRAKON_WIN32_H
#define OSTRAKON_WIN32_H

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

#endif
