#include "codepage.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>


namespace {

// One conversion descriptor per direction and thread, opened on first use.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts in into *out; on failure returns false and sets *failed_at to the
  // input offset where conversion stopped.
  bool Run(std::string_view in, std::string* out, size_t* failed_at) {
    out->clear();
    if (cd_ == reinterpret_cast<iconv_t>(-1)) {
      *failed_at = 0;
      return false;
    }
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char* src = const_cast<char*>(in.data());
    size_t left = in.size();
    char buf[1024];
    while (left > 0) {
      char* dst = buf;
      size_t room = sizeof buf;
      size_t r = iconv(cd_, &src, &left, &dst, &room);
      out->append(buf, static_cast<size_t>(dst - buf));
      if (r == static_cast<size_t>(-1) && errno != E2BIG) {
        *failed_at = in.size() - left;
        return false;
      }
    }
    char* dst = buf;
    size_t room = sizeof buf;
    iconv(cd_, nullptr, nullptr, &dst, &room);
    out->append(buf, static_cast<size_t>(dst - buf));
    return true;
  }

 private:
  iconv_t cd_;
};

// Decodes the UTF-8 character at s[0..n), or 0xFFFD when it is malformed.
char32_t DecodeUtf8(std::string_view s) {
  if (s.empty()) return 0xFFFD;
  auto b = static_cast<unsigned char>(s[0]);
  int extra = b < 0x80 ? 0 : (b >> 5) == 6 ? 1 : (b >> 4) == 14 ? 2 : (b >> 3) == 30 ? 3 : -1;
  if (extra < 0 || s.size() < static_cast<size_t>(extra) + 1) return 0xFFFD;
  char32_t cp = extra == 0 ? b : (b & (0x3F >> extra));
  for (int i = 1; i <= extra; ++i) {
    auto c = static_cast<unsigned char>(s[static_cast<size_t>(i)]);
    if ((c & 0xC0) != 0x80) return 0xFFFD;
    cp = (cp << 6) | (c & 0x3F);
  }
  return cp;
}

}  // namespace

bool Cp932ToUtf8(std::string_view cp932, std::string* out) {
  thread_local Converter conv("UTF-8", "CP932");
  size_t at = 0;
  return conv.Run(cp932, out, &at);
}

bool Utf8ToCp932(std::string_view utf8, std::string* out, char32_t* bad) {
  thread_local Converter conv("CP932", "UTF-8");
  size_t at = 0;
  if (conv.Run(utf8, out, &at)) return true;
  if (bad != nullptr) *bad = DecodeUtf8(utf8.substr(at));
  return false;
}
