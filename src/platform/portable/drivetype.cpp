#include "drivemap.h"
#include "fs.h"

UINT GetDriveTypeA(LPCSTR root) { return Fs::Default()->DriveType(root); }
