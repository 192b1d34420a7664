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
  HostStmt find(session->db(), "SELECT value FROM host_meta WHERE key = ?");
  if (!find.ok()) return -1;
  sqlite3_bind_text(find.get(), 1, type == 0 ? "output_folder" : "settings_folder", -1,
                    SQLITE_STATIC);
  if (sqlite3_step(find.get()) != SQLITE_ROW) return -1;
  size_t n = static_cast<size_t>(sqlite3_column_bytes(find.get(), 0));
  if (n > MAX_PATH) return -1;
  if (n > 0) std::memcpy(folder, sqlite3_column_blob(find.get(), 0), n);
  folder[n] = '\0';
  return 0;
}

int ClFileMgr::Release() { return 0; }
