#include "edittext.h"

#include <cstdint>
#include <vector>

#include "codepage.h"
#include "mbcs.h"

namespace {

// Byte length of the UTF-8 sequence that starts with lead byte b.
size_t Utf8SeqLength(unsigned char b) {
  if ((b >> 5) == 6) return 2;
  if ((b >> 4) == 14) return 3;
  if ((b >> 3) == 30) return 4;
  return 1;
}

// The characters of a UTF-8 text, each as its own byte sequence.
std::vector<std::string> SplitUtf8(const std::string& s) {
  std::vector<std::string> chars;
  for (size_t i = 0; i < s.size();) {
    size_t n = Utf8SeqLength(static_cast<unsigned char>(s[i]));
    if (n > s.size() - i) n = s.size() - i;
    chars.push_back(s.substr(i, n));
    i += n;
  }
  return chars;
}

// The edit's text being built character by character.
class FitBuilder {
 public:
  explicit FitBuilder(EditFit* fit) : fit_(fit) {}
  // Appends chars[from, to) that have a code page 932 form while each fits
  // into *budget bytes (null: no budget), stopping at the first that does not.
  void Append(const std::vector<std::string>& chars, size_t from, size_t to, size_t* budget) {
    for (size_t i = from; i < to; ++i) {
      std::string c932;
      if (!Utf8ToCp932(chars[i], &c932)) continue;
      if (budget != nullptr) {
        if (c932.size() > *budget) return;
        *budget -= c932.size();
      }
      fit_->cp932 += c932;
      fit_->utf8 += chars[i];
      ++count_;
    }
  }
  size_t count() const { return count_; }

 private:
  EditFit* fit_;
  size_t count_ = 0;
};

// Code page 932 bytes of the convertible characters chars[from, to).
size_t Cp932Bytes(const std::vector<std::string>& chars, size_t from, size_t to) {
  EditFit probe;
  FitBuilder(&probe).Append(chars, from, to, nullptr);
  return probe.cp932.size();
}

}  // namespace

EditFit FitEditText(const std::string& old_utf8, const std::string& new_utf8, size_t limit) {
  const size_t room = limit == 0 ? SIZE_MAX : limit;
  std::vector<std::string> before = SplitUtf8(old_utf8);
  std::vector<std::string> now = SplitUtf8(new_utf8);
  // now = head + inserted + tail, before = head + removed + tail.
  size_t head = 0;
  while (head < before.size() && head < now.size() && before[head] == now[head]) ++head;
  size_t tail = 0;
  while (tail < before.size() - head && tail < now.size() - head &&
         before[before.size() - 1 - tail] == now[now.size() - 1 - tail])
    ++tail;
  const size_t inserted_end = now.size() - tail;

  EditFit fit;
  if (Utf8ToCp932(new_utf8, &fit.cp932) && fit.cp932.size() <= room) {
    fit.utf8 = new_utf8;
    fit.caret = inserted_end;
    return fit;
  }
  fit = EditFit();
  fit.changed = true;
  // What was there before stays; the insertion gets what room is left.
  size_t fixed = Cp932Bytes(now, 0, head) + Cp932Bytes(now, inserted_end, now.size());
  size_t budget = fixed < room ? room - fixed : 0;
  FitBuilder builder(&fit);
  builder.Append(now, 0, head, nullptr);
  builder.Append(now, head, inserted_end, &budget);
  fit.caret = builder.count();
  builder.Append(now, inserted_end, now.size(), nullptr);
  return fit;
}

size_t Cp932CharCount(const std::string& cp932, size_t byte_offset) {
  size_t count = 0;
  size_t end = byte_offset < cp932.size() ? byte_offset : cp932.size();
  for (size_t i = 0; i < end; ++i) {
    if (MbcsKindAt(cp932.data(), cp932.size(), i) != MBCS_TRAIL) ++count;
  }
  return count;
}
