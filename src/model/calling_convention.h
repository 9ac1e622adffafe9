// __cdecl names the calling convention of functions that cross module boundaries on
// 32-bit Windows; elsewhere there is only one convention.
#pragma once

#if !defined(_WIN32) && !defined(__cdecl)
#define __cdecl
#endif
