#include "ClFileMgr.h"

#include <cstring>

#include "hostsession.h"

ClFileMgr* ClFileMgr::Inst() {
  static ClFileMgr manager;
  return &manager;
}

int ClFileMgr::GetAppFolderPath(int type, char* folder) {
  if (folder == nullptr) return -1;
  folder[0] = '\0';
  HostSession* session = HostSession::Current();
  if (session == nullptr || (type != 0 && type != 1)) return -1;
  std::string found;
  bool held = false;
  StoreError error = session->store()->ReadAppFolder(type, &found, &held);
  session->NoteError(error);
  if (!error.ok() || !held || found.size() > MAX_PATH) return -1;
  std::memcpy(folder, found.data(), found.size());
  folder[found.size()] = '\0';
  return 0;
}

int ClFileMgr::Release() { return 0; }
