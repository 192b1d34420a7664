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
  bool found = false;
  long firstFound = 0, selectedFound = 0;
  StoreError error = session->store()->FindUser(std::string(userId, strnlen(userId, 65)), &found,
                                                &firstFound, &selectedFound);
  session->NoteError(error);
  if (!error.ok()) return -2;
  if (!found) return -1;
  if (first) *first = firstFound;
  if (selected) *selected = selectedFound;
  return 0;
}
