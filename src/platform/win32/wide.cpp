#include "win32/wide.h"

#include <climits>

namespace {
// Converts in from code page from to UTF-16 with flags; false when it fails.
bool ToWide(UINT from, DWORD flags, std::string_view in, std::wstring* wide) {
  wide->clear();
  if (in.empty()) return true;
  if (in.size() > static_cast<size_t>(INT_MAX)) return false;
  int n = MultiByteToWideChar(from, flags, in.data(), static_cast<int>(in.size()), nullptr, 0);
  if (n <= 0) return false;
  wide->resize(static_cast<size_t>(n));
  return MultiByteToWideChar(from, flags, in.data(), static_cast<int>(in.size()), wide->data(), n) == n;
}

// Converts wide to code page to; *lossy set when a character had no form
// there. False when the call fails.
bool FromWide(UINT to, std::wstring_view wide, std::string* out, bool* lossy) {
  out->clear();
  *lossy = false;
  if (wide.empty()) return true;
  if (wide.size() > static_cast<size_t>(INT_MAX)) return false;
  DWORD flags = to == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
  BOOL used = FALSE;
  BOOL* used_ptr = to == CP_UTF8 ? nullptr : &used;
  int n = WideCharToMultiByte(to, flags, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr,
                              used_ptr);
  if (n <= 0) return false;
  out->resize(static_cast<size_t>(n));
  if (WideCharToMultiByte(to, flags, wide.data(), static_cast<int>(wide.size()), out->data(), n, nullptr,
                          used_ptr) != n) {
    return false;
  }
  *lossy = used != FALSE;
  return true;
}

bool IsHigh(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLow(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }
}  // namespace

bool Cp932ToWide(std::string_view cp932, std::wstring* wide) {
  // The single bytes that Windows passes through (0x80, 0xA0, 0xFD-0xFF) are
  // no characters of code page 932, here as on every platform.
  for (size_t i = 0; i < cp932.size(); ++i) {
    auto b = static_cast<unsigned char>(cp932[i]);
    bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    if (lead) {
      ++i;
    } else if (b == 0x80 || b == 0xA0 || b >= 0xFD) {
      return false;
    }
  }
  return ToWide(932, MB_ERR_INVALID_CHARS, cp932, wide);
}

bool WideToCp932(std::wstring_view wide, std::string* cp932, char32_t* bad) {
  bool lossy = false;
  for (size_t i = 0; i < wide.size(); ++i) {
    bool pair = IsHigh(wide[i]) && i + 1 < wide.size() && IsLow(wide[i + 1]);
    if ((IsHigh(wide[i]) && !pair) || IsLow(wide[i])) {
      if (bad != nullptr) *bad = 0xFFFD;
      return false;
    }
    if (pair) ++i;
  }
  if (FromWide(932, wide, cp932, &lossy) && !lossy) return true;
  // The first character without a code page 932 form.
  if (bad != nullptr) {
    *bad = 0xFFFD;
    for (size_t i = 0; i < wide.size(); ++i) {
      size_t n = IsHigh(wide[i]) ? 2 : 1;
      std::string one;
      if (!FromWide(932, wide.substr(i, n), &one, &lossy) || lossy) {
        *bad = n == 2 ? 0x10000 + ((static_cast<char32_t>(wide[i]) - 0xD800) << 10) +
                            (static_cast<char32_t>(wide[i + 1]) - 0xDC00)
                      : static_cast<char32_t>(wide[i]);
        break;
      }
      i += n - 1;
    }
  }
  return false;
}

bool Utf8ToWide(std::string_view utf8, std::wstring* wide) {
  return ToWide(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, wide);
}

std::string WideToUtf8(std::wstring_view wide) {
  std::string out;
  bool lossy = false;
  if (!FromWide(CP_UTF8, wide, &out, &lossy)) out.clear();
  return out;
}

FsError FsErrorOfWin32(DWORD error) {
  switch (error) {
    case ERROR_SUCCESS: return FsError::kNone;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_NOT_READY:
    case ERROR_DEV_NOT_EXIST:
    case ERROR_BAD_PATHNAME:
    case ERROR_INVALID_NAME: return FsError::kNotFound;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
    case ERROR_DIR_NOT_EMPTY: return FsError::kExists;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_NETWORK_ACCESS_DENIED:
    case ERROR_PRIVILEGE_NOT_HELD: return FsError::kAccessDenied;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
    case ERROR_NOT_ENOUGH_QUOTA: return FsError::kDiskFull;
    case ERROR_CRC:
    case ERROR_READ_FAULT:
    case ERROR_WRITE_FAULT:
    case ERROR_GEN_FAILURE:
    case ERROR_IO_DEVICE:
    case ERROR_SECTOR_NOT_FOUND:
    case ERROR_SEEK: return FsError::kIoError;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_BUSY:
    case ERROR_DRIVE_LOCKED: return FsError::kBusy;
    case ERROR_DIRECTORY: return FsError::kNotRegular;
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_BUFFER_OVERFLOW: return FsError::kTooLong;
    default: return FsError::kOther;
  }
}

FsError LastFsError() { return FsErrorOfWin32(GetLastError()); }
