// The paths of the files that an export writes beside the asset file. Paths
// are Windows paths in code page 932, at most 260 bytes.
#pragma once
#include <cstddef>

#include "wintypes.h"  // kPathBufferSize: 260 bytes and the terminator

// File name of the asset-kind file and of the diagnostics log.
extern const char kKindFileName[];  // "syurui.SSC"
extern const char kLogFileName[];   // "VelrixSysErr.txt"

// Writes into out (kPathBufferSize bytes) the path of the file name in the
// folder of assetPath: everything up to and including its last backslash
// (never the second byte of a double-byte character), then name. Returns
// false and leaves out empty when assetPath is longer than 260 bytes or has
// no backslash, when the result would be longer than 260 bytes, or when it
// would name the asset file itself (compared without regard to ASCII case).
bool DeriveSiblingPath(const char* assetPath, const char* name, char* out);
