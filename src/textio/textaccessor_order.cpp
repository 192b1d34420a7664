// Item order and format rotation of ClTextAccessor: which items a line holds
// and in which sequence, kept in the host's saved settings per data set, and
// the rotation of blocks of the working format.
#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "ClSaveTextIO.h"
#include "textaccessor.h"

namespace {

const long kOrderFailed = -1;
const long kMaxSavedEntries = 256;

// The host's saved-settings object, attached to the data-set manager (the
// one the host's data manager hands out) and set to the data set dataId;
// null when it cannot be created.
std::unique_ptr<ClSaveTextIO> OpenSavedSettings(const unsigned char* dataId) {
  std::unique_ptr<ClSaveTextIO> store(new (std::nothrow) ClSaveTextIO());
  if (!store) return store;
  store->AttachSetMgr(ClSetMgr::Inst());
  store->SetCurDataID(dataId);
  return store;
}

// Copies the group name into the record's 10-byte field; false when there is
// none or it is longer than 9 bytes.
bool PutGroup(const char* group, StTEXTIOSAVEINFO* info) {
  if (!group) return false;
  const size_t length = strnlen(group, sizeof(info->szGroup));
  if (length >= sizeof(info->szGroup)) return false;
  std::memset(info->szGroup, 0, sizeof(info->szGroup));
  std::memcpy(info->szGroup, group, length);
  return true;
}

// True when every one of the count entries names an item of the format.
bool EntriesInFormat(const int32_t* entries, long count, long items) {
  return std::all_of(entries, entries + count, [items](int32_t e) { return e >= 0 && e < items; });
}

}  // namespace

long ClTextAccessor::SetOrder(StTAORDER* order, long count) {
  m_pOrder = order;
  // An order without an array has no entries.
  m_lOrderCount = order ? static_cast<int32_t>(count) : 0;
  m_lOrderCap = order && count > 0 ? static_cast<int32_t>(count) : 0;
  return 0;
}

StTAORDER* ClTextAccessor::GetOrder() { return m_pOrder; }

long ClTextAccessor::GetOrderCount() { return m_lOrderCount; }

void ClTextAccessor::SetSelectFlag(int flag) { m_nSelect = flag; }

long ClTextAccessor::SaveOrder(const unsigned char* dataId) {
  const long count = m_lOrderCount;
  if (count < 0 || count > kMaxSavedEntries) return kOrderFailed;
  if (count > 0 && !EntriesInFormat(m_pOrder, count, m_lCount)) return kOrderFailed;
  StTEXTIOSAVEINFO info = {};
  if (!PutGroup(m_pszGroup, &info)) return kOrderFailed;
  info.nCount = static_cast<int16_t>(count);
  if (count > 0) std::memcpy(info.alEntries, m_pOrder, static_cast<size_t>(count) * sizeof(StTAORDER));

  std::unique_ptr<ClSaveTextIO> store = OpenSavedSettings(dataId);
  if (!store) return kOrderFailed;
  return store->SetData(&info) != 0 ? kOrderFailed : 0;
}

long ClTextAccessor::LoadOrder(const unsigned char* dataId) {
  StTEXTIOSAVEINFO info = {};
  if (!PutGroup(m_pszGroup, &info)) return kOrderFailed;
  std::unique_ptr<ClSaveTextIO> store = OpenSavedSettings(dataId);
  if (!store) return kOrderFailed;
  if (store->GetData(&info) != 0) return kOrderFailed;
  store.reset();

  // A saved order must fit the array SetOrder supplied and name items of
  // this format; otherwise the order stays as it was.
  const long count = info.nCount;
  if (count < 0 || count > kMaxSavedEntries || count > m_lOrderCap) return kOrderFailed;
  if (count > 0 && (!m_pOrder || !EntriesInFormat(info.alEntries, count, m_lCount))) return kOrderFailed;
  if (count > 0) std::memcpy(m_pOrder, info.alEntries, static_cast<size_t>(count) * sizeof(StTAORDER));
  m_lOrderCount = static_cast<int32_t>(count);
  return 0;
}

long ClTextAccessor::RotateFormat(long first, long target, long count) {
  const long items = m_lCount;
  if (first < 0 || count <= 0 || first >= items - 1 || count > items - first) return 1;
  if (target < first || target - first >= count) return 1;
  // The block [first, first + count) turns so that its first description
  // lands at target; descriptions outside it keep their places.
  StTAFORMAT* begin = m_pWork + first;
  StTAFORMAT* end = begin + count;
  std::rotate(begin, end - (target - first), end);
  return 0;
}

void ClTextAccessor::ResetRotate() {
  if (m_lCount > 0) std::memcpy(m_pWork, m_pFormat, static_cast<size_t>(m_lCount) * sizeof(StTAFORMAT));
  m_bWidthsUsable = WidthsUsable();
}
