#include "winfmt.h"

#include <cstdio>
#include <climits>
#include <cstring>
#include <string>

namespace {

// Appends bytes to the caller's buffer, remembering whether any were cut.
struct Out {
  char* buf;
  size_t count;
  size_t len = 0;
  bool cut = false;

  void Put(const char* s, size_t n) {
    if (count == 0) {
      cut = cut || n > 0;
      return;
    }
    size_t room = count - 1 - len;
    if (n > room) {
      cut = true;
      n = room;
    }
    std::memcpy(buf + len, s, n);
    len += n;
  }
  void Fill(char c, size_t n) {
    for (size_t i = 0; i < n; ++i) Put(&c, 1);
  }
};

}  // namespace

int _vsnprintf(char* buffer, size_t count, const char* format, va_list args) {
  Out out{buffer, count};
  const char* p = format;
  while (*p != 0) {
    if (*p != '%') {
      const char* q = std::strchr(p, '%');
      size_t n = q ? static_cast<size_t>(q - p) : std::strlen(p);
      out.Put(p, n);
      p += n;
      continue;
    }
    const char* spec_start = p++;
    char flags[8] = {};
    size_t nflags = 0;
    while (std::strchr("-+ #0", *p) != nullptr && *p != 0 && nflags < sizeof flags - 1) flags[nflags++] = *p++;
    int width = -1;
    if (*p == '*') {
      width = va_arg(args, int);
      ++p;
      // A negative width from the argument list asks for left alignment.
      if (width < 0) {
        width = width == INT_MIN ? INT_MAX : -width;
        if (nflags < sizeof flags - 1) flags[nflags++] = '-';
      }
    } else if (*p >= '0' && *p <= '9') {
      width = 0;
      while (*p >= '0' && *p <= '9' && width < 100000) width = width * 10 + (*p++ - '0');
    }
    int precision = -1;
    if (*p == '.') {
      ++p;
      precision = 0;
      if (*p == '*') {
        precision = va_arg(args, int);
        ++p;
      } else {
        while (*p >= '0' && *p <= '9' && precision < 100000) precision = precision * 10 + (*p++ - '0');
      }
    }
    char length[3] = {};
    if (*p == 'h' || *p == 'l' || *p == 'z') {
      length[0] = *p++;
      if (length[0] == 'l' && *p == 'l') length[1] = *p++;
    }
    char conv = *p;
    if (conv == 0) {
      out.Put(spec_start, static_cast<size_t>(p - spec_start));
      break;
    }
    ++p;
    if (conv == '%') {
      out.Put("%", 1);
      continue;
    }
    bool left = std::memchr(flags, '-', nflags) != nullptr;
    bool zero = std::memchr(flags, '0', nflags) != nullptr;
    if (conv == 's') {
      const char* s = va_arg(args, const char*);
      if (s == nullptr) s = "(null)";
      size_t n = std::strlen(s);
      if (precision >= 0 && static_cast<size_t>(precision) < n) n = static_cast<size_t>(precision);
      size_t pad = width > 0 && static_cast<size_t>(width) > n ? static_cast<size_t>(width) - n : 0;
      if (left) {
        out.Put(s, n);
        out.Fill(' ', pad);
      } else {
        out.Fill(zero ? '0' : ' ', pad);
        out.Put(s, n);
      }
      continue;
    }
    // Every other conversion goes to the C library with its own argument.
    char conversion[48];
    int w = width, pr = precision;
    std::snprintf(conversion, sizeof conversion, "%%%s%s%s%s%c", flags, w >= 0 ? "*" : "", pr >= 0 ? ".*" : "",
                  length, conv);
    char tmp[512];
    // Formats value and appends it; a text longer than tmp is formatted again
    // into an area of its size.
    auto run = [&](auto value) {
      auto call = [&](char* dst, size_t size) {
        if (w >= 0 && pr >= 0) return std::snprintf(dst, size, conversion, w, pr, value);
        if (w >= 0) return std::snprintf(dst, size, conversion, w, value);
        if (pr >= 0) return std::snprintf(dst, size, conversion, pr, value);
        return std::snprintf(dst, size, conversion, value);
      };
      int r = call(tmp, sizeof tmp);
      if (r > 0 && static_cast<size_t>(r) < sizeof tmp) {
        out.Put(tmp, static_cast<size_t>(r));
      } else if (r > 0) {
        std::string big(static_cast<size_t>(r) + 1, '\0');
        call(big.data(), big.size());
        out.Put(big.data(), static_cast<size_t>(r));
      }
      return r;
    };
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
#pragma GCC diagnostic ignored "-Wformat-security"
    switch (conv) {
      case 'd':
      case 'i':
        if (length[0] == 'l' && length[1] == 'l') run(va_arg(args, long long));
        else if (length[0] == 'l') run(va_arg(args, long));
        else if (length[0] == 'z') run(va_arg(args, size_t));
        else run(va_arg(args, int));
        break;
      case 'u':
      case 'x':
      case 'X':
      case 'o':
        if (length[0] == 'l' && length[1] == 'l') run(va_arg(args, unsigned long long));
        else if (length[0] == 'l') run(va_arg(args, unsigned long));
        else if (length[0] == 'z') run(va_arg(args, size_t));
        else run(va_arg(args, unsigned int));
        break;
      case 'c':
        run(va_arg(args, int));
        break;
      case 'f':
      case 'F':
      case 'e':
      case 'E':
      case 'g':
      case 'G':
        run(va_arg(args, double));
        break;
      case 'p':
        run(va_arg(args, void*));
        break;
      default:
        out.Put(spec_start, static_cast<size_t>(p - spec_start));
        continue;
    }
#pragma GCC diagnostic pop
  }
  if (count > 0) buffer[out.len] = 0;
  return out.cut ? -1 : static_cast<int>(out.len);
}

int _snprintf(char* buffer, size_t count, const char* format, ...) {
  va_list args;
  va_start(args, format);
  int r = _vsnprintf(buffer, count, format, args);
  va_end(args);
  return r;
}
