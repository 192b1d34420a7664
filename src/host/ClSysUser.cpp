#include "ClSysUser.h"

#include <cstring>

#include "hostsession.h"

int ClSysUser::GetCurUserID(char* id) {
  if (id == nullptr) return -1;
  id[0] = '\0';
  HostSession* session = HostSession::Current();
  if (session == nullptr) return -1;
  size_t n = session->user().size() > 64 ? 64 : session->user().size();
  std::memcpy(id, session->user().data(), n);
  id[n] = '\0';
  return 0;
}

int ClSysUser::GetSelectedNo(const char* userId, LONG* first, LONG* selected) {
  if (first) *first = 0;
  if (selected) *selected = 0;
  HostSession* session = HostSession::Current();
  if (session == nullptr || userId == nullptr) return -1;
  HostStmt find(session->db(),
                "SELECT first_selection, selected_data_no FROM users WHERE user_id = ?");
  if (!find.ok()) return -2;
  sqlite3_bind_blob(find.get(), 1, userId, static_cast<int>(strnlen(userId, 65)), SQLITE_STATIC);
  int rc = sqlite3_step(find.get());
  if (rc == SQLITE_DONE) return -1;
  if (rc != SQLITE_ROW) return -2;
  if (first) *first = sqlite3_column_int(find.get(), 0);
  if (selected) *selected = sqlite3_column_int(find.get(), 1);
  return 0;
}
