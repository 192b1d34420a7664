#include "filestream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "drivemap.h"

FileStreamBuf::FileStreamBuf() { setp(nullptr, nullptr); }

FileStreamBuf::~FileStreamBuf() { Close(); }

bool FileStreamBuf::Open(const char* path, Access access) {
  if (fd_ >= 0) return false;
  std::string native;
  if (!DriveMapToNative(path, &native)) return false;
  int flags = O_CLOEXEC;
  switch (access) {
    case FSA_WRITE_NEW:
      flags |= O_WRONLY | O_CREAT | O_EXCL;
      break;
    case FSA_WRITE_TRUNCATE:
      flags |= O_WRONLY | O_CREAT | O_TRUNC;
      break;
    case FSA_WRITE_APPEND:
      flags |= O_WRONLY | O_CREAT | O_APPEND;
      break;
    case FSA_READ_TEXT:
      flags |= O_RDONLY;
      break;
    default:
      return false;
  }
  int fd;
  do {
    fd = ::open(native.c_str(), flags, 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return false;
  if (access == FSA_READ_TEXT) {
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
      ::close(fd);
      return false;
    }
  }
  fd_ = fd;
  reading_ = access == FSA_READ_TEXT;
  failed_ = false;
  pendingCr_ = false;
  setg(buffer_, buffer_, buffer_);
  if (reading_) {
    setp(nullptr, nullptr);
  } else {
    setp(buffer_, buffer_ + kBufferSize);
  }
  return true;
}

bool FileStreamBuf::Close() {
  if (fd_ < 0) return true;
  bool ok = reading_ || Flush();
  ok = ok && !failed_;
  if (::close(fd_) != 0 && errno != EINTR) ok = false;
  fd_ = -1;
  setp(nullptr, nullptr);
  setg(buffer_, buffer_, buffer_);
  return ok;
}

bool FileStreamBuf::WriteAll(const char* s, size_t n) {
  while (n > 0) {
    ssize_t w = ::write(fd_, s, n);
    if (w < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    s += w;
    n -= static_cast<size_t>(w);
  }
  return true;
}

bool FileStreamBuf::Flush() {
  if (fd_ < 0 || reading_) return false;
  size_t n = static_cast<size_t>(pptr() - pbase());
  bool ok = !failed_ && WriteAll(pbase(), n);
  // What could not be written is dropped: the failure is kept instead.
  setp(buffer_, buffer_ + kBufferSize);
  if (!ok) failed_ = true;
  return ok;
}

FileStreamBuf::int_type FileStreamBuf::overflow(int_type c) {
  if (fd_ < 0 || reading_ || failed_ || !Flush()) return traits_type::eof();
  if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
  *pptr() = traits_type::to_char_type(c);
  pbump(1);
  return c;
}

std::streamsize FileStreamBuf::xsputn(const char* s, std::streamsize n) {
  if (fd_ < 0 || reading_ || failed_ || n <= 0) return 0;
  auto count = static_cast<size_t>(n);
  auto room = static_cast<size_t>(epptr() - pptr());
  if (count <= room) {
    std::memcpy(pptr(), s, count);
    pbump(static_cast<int>(count));
    return n;
  }
  if (!Flush()) return 0;
  if (count >= static_cast<size_t>(kBufferSize)) {
    if (!WriteAll(s, count)) {
      failed_ = true;
      return 0;
    }
    return n;
  }
  std::memcpy(pptr(), s, count);
  pbump(static_cast<int>(count));
  return n;
}

int FileStreamBuf::sync() {
  if (fd_ < 0) return -1;
  if (reading_) return 0;
  return Flush() ? 0 : -1;
}

FileStreamBuf::int_type FileStreamBuf::underflow() {
  if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
  if (fd_ < 0 || !reading_) return traits_type::eof();
  for (;;) {
    size_t n = 0;
    if (pendingCr_) {
      buffer_[n++] = '\r';
      pendingCr_ = false;
    }
    ssize_t r;
    do {
      r = ::read(fd_, buffer_ + n, kBufferSize - n);
    } while (r < 0 && errno == EINTR);
    if (r < 0) {
      failed_ = true;
      return traits_type::eof();
    }
    bool atEnd = r == 0;
    n += static_cast<size_t>(r);
    if (n == 0) return traits_type::eof();
    size_t out = 0;
    for (size_t i = 0; i < n; ++i) {
      if (buffer_[i] == '\r') {
        if (i + 1 < n && buffer_[i + 1] == '\n') continue;
        if (i + 1 == n && !atEnd) {
          pendingCr_ = true;
          continue;
        }
      }
      buffer_[out++] = buffer_[i];
    }
    if (out > 0) {
      setg(buffer_, buffer_, buffer_ + out);
      return traits_type::to_int_type(*gptr());
    }
  }
}
