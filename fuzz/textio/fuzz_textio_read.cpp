// Reads random bytes as lines of a random small format: every layout, quote
// setting, space flag, comment mark and item order, record buffer exactly as
// large as the format needs (so any write beyond it is caught).
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "textaccessor.h"

namespace {

// Takes bytes from the front of the input for the settings.
class Bytes {
 public:
  Bytes(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  uint8_t Next() {
    if (at_ >= size_) return 0;
    return data_[at_++];
  }
  std::string Rest() const { return std::string(reinterpret_cast<const char*>(data_) + at_, size_ - at_); }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Bytes in(data, size);
  const uint8_t mode = in.Next();
  const auto layout = static_cast<ClTextAccessor::_Delimiter>(1 + mode % 5);  // 5: an unknown layout
  const auto quote = static_cast<ClTextAccessor::_Quote>((mode / 5) % 3);
  const uint8_t flags = in.Next();
  const long count = 1 + in.Next() % 8;

  std::vector<StTAFORMAT> format(static_cast<size_t>(count));
  int32_t offset = 0;
  for (StTAFORMAT& f : format) {
    std::memset(&f, 0, sizeof f);
    const uint8_t kind = in.Next();
    f.lType = kind % 3;
    static const int32_t kNumberSizes[] = {1, 2, 4, 8};
    f.lSize = f.lType == ClTextAccessor::TAT_STRING ? 1 + (kind >> 2) % 24 : kNumberSizes[(kind >> 2) % 4];
    f.lWidth = in.Next() % 24;
    f.lDecimals = in.Next() % 5;
    f.lRequired = (kind >> 7) & 1;
    f.lOffset = offset;
    offset += f.lSize;
  }
  std::vector<StTAORDER> order(in.Next() % 4);
  for (StTAORDER& o : order) o = static_cast<int8_t>(in.Next()) % 10;  // some outside the format

  std::vector<unsigned char> record(static_cast<size_t>(offset));
  std::stringstream stream(in.Rest());
  ClTextAccessor reader("G_FUZZ", format.data(), count, record.data());
  reader.Attach(&stream);
  reader.SetMode(layout, quote);
  reader.SetSpaceFlag(flags & 1);
  reader.SetCommentSkip(flags & 2);
  static const char* const kMarks[] = {";", "", "//", "\x81\x93"};
  if (flags & 4) reader.SetCommentMark(kMarks[(flags >> 3) % 4]);
  if (!order.empty()) {
    reader.SetOrder(order.data(), static_cast<long>(order.size()));
    reader.SetSelectFlag(0);
  }
  if (flags & 0x80) reader.RotateFormat(0, 1, count);

  // Every Read takes at least one line or ends, so the input bounds the run.
  const long limit = static_cast<long>(size) + 2;
  for (long i = 0; i < limit; ++i) {
    const long result = reader.Read();
    if (result < 0 || result > 3) __builtin_trap();
    if (result == 1) break;
    if (reader.GetLogicalLineNo() > reader.GetPhysicalLineNo()) __builtin_trap();
  }
  if (reader.Read() != 1) __builtin_trap();  // the end stays the end
  char line[ClTextAccessor::kLineSize];
  reader.GetReadLine(line);
  return 0;
}
