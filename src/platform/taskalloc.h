// The COM task allocator, under the Win32 names. Blocks that the host
// allocates for its callers come from it and go back to it.
#pragma once
#include <cstddef>

#ifdef _WIN32
#include <objbase.h>  // the COM task allocator of ole32
#else
// A block of size bytes (uninitialised), or null when none can be had.
void* CoTaskMemAlloc(size_t size);
// Releases a block from CoTaskMemAlloc; null is ignored.
void CoTaskMemFree(void* block);
#endif
