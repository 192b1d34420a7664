// The host's file manager: the folders the host keeps for its applications.
#pragma once

class ClFileMgr {
 public:
  // The one file manager of the process.
  static ClFileMgr* Inst();
  // Writes folder type 0 (default output folder) or 1 (settings folder) of
  // the store into folder (261 bytes): a Windows path in code page 932
  // ending in a backslash. Returns 0; -1 with folder empty for another type,
  // an unconnected host or a null folder.
  int GetAppFolderPath(int type, char* folder);
  // Lets go of the file manager (it stays usable). Returns 0.
  int Release();
};
