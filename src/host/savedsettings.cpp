#include "savedsettings.h"

#include <cstring>

#include "ClSaveTextIO.h"
#include "hostsession.h"

namespace {

class HostSavedSettings : public ClSaveTextIOStore {
 public:
  long GetData(const char* dataId, const char* group, StTEXTIOSAVEINFO* info) override;
  long SetData(const char* dataId, const char* group, const StTEXTIOSAVEINFO* info) override;
};

long HostSavedSettings::GetData(const char* dataId, const char* group, StTEXTIOSAVEINFO* info) {
  HostSession* session = HostSession::Current();
  if (session == nullptr) return -1;
  std::string entries;
  bool found = false;
  StoreError error = session->store()->ReadTextOrder(dataId, group, &entries, &found);
  session->NoteError(error);
  if (!error.ok() || !found) return -1;
  if (entries.size() % sizeof(int32_t) != 0 || entries.size() > sizeof info->alEntries) return -1;
  if (!entries.empty()) std::memcpy(info->alEntries, entries.data(), entries.size());
  info->nCount = static_cast<int16_t>(entries.size() / sizeof(int32_t));
  return 0;
}

long HostSavedSettings::SetData(const char* dataId, const char* group,
                                const StTEXTIOSAVEINFO* info) {
  HostSession* session = HostSession::Current();
  if (session == nullptr) return -1;
  std::string entries(reinterpret_cast<const char*>(info->alEntries),
                      static_cast<size_t>(info->nCount) * sizeof(int32_t));
  StoreError error = session->store()->SaveTextOrder(dataId, group, entries);
  session->NoteError(error);
  return error.ok() ? 0 : -1;
}

}  // namespace

void UseHostSavedSettings() {
  static HostSavedSettings store;
  ClSaveTextIO::SetStore(&store);
}
