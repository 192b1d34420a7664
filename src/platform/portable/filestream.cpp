#include "filestream.h"

#include <cstring>
#include <string>

#include "drivemap.h"

FileStreamBuf::FileStreamBuf() { setp(nullptr, nullptr); }

FileStreamBuf::~FileStreamBuf() { Close(); }

bool FileStreamBuf::Open(const char* path, Access access) {
  if (file_ != nullptr) return false;
  std::string native;
  if (!DriveMapToNative(path, &native)) {
    Fs::SetLastError(FsError::kNotFound);
    return false;
  }
  FsOpen mode;
  switch (access) {
    case FSA_WRITE_NEW: mode = FsOpen::kWriteNew; break;
    case FSA_WRITE_TRUNCATE: mode = FsOpen::kWriteTruncate; break;
    case FSA_WRITE_APPEND: mode = FsOpen::kAppend; break;
    case FSA_READ_TEXT: mode = FsOpen::kRead; break;
    default: return false;
  }
  FsError error = Fs::Default()->Open(native, mode, &file_);
  if (error != FsError::kNone) {
    Fs::SetLastError(error);
    return false;
  }
  reading_ = access == FSA_READ_TEXT;
  failed_ = false;
  error_ = FsError::kNone;
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
  if (file_ == nullptr) return true;
  if (!reading_) Flush();
  FsError closed = file_->Close();
  if (closed != FsError::kNone && error_ == FsError::kNone) error_ = closed;
  file_.reset();
  setp(nullptr, nullptr);
  setg(buffer_, buffer_, buffer_);
  if (error_ == FsError::kNone && !failed_) return true;
  Fs::SetLastError(error_ != FsError::kNone ? error_ : FsError::kOther);
  return false;
}

bool FileStreamBuf::WriteAll(const char* s, size_t n) {
  FsError error = file_->Write(s, n);
  if (error == FsError::kNone) return true;
  failed_ = true;
  if (error_ == FsError::kNone) error_ = error;
  return false;
}

bool FileStreamBuf::Flush() {
  if (file_ == nullptr || reading_) return false;
  size_t n = static_cast<size_t>(pptr() - pbase());
  bool ok = !failed_ && (n == 0 || WriteAll(pbase(), n));
  // What could not be written is dropped: the failure is kept instead.
  setp(buffer_, buffer_ + kBufferSize);
  return ok;
}

FileStreamBuf::int_type FileStreamBuf::overflow(int_type c) {
  if (file_ == nullptr || reading_ || failed_ || !Flush()) return traits_type::eof();
  if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
  *pptr() = traits_type::to_char_type(c);
  pbump(1);
  return c;
}

std::streamsize FileStreamBuf::xsputn(const char* s, std::streamsize n) {
  if (file_ == nullptr || reading_ || failed_ || n <= 0) return 0;
  auto count = static_cast<size_t>(n);
  auto room = static_cast<size_t>(epptr() - pptr());
  if (count <= room) {
    std::memcpy(pptr(), s, count);
    pbump(static_cast<int>(count));
    return n;
  }
  if (!Flush()) return 0;
  if (count >= static_cast<size_t>(kBufferSize)) {
    return WriteAll(s, count) ? n : 0;
  }
  std::memcpy(pptr(), s, count);
  pbump(static_cast<int>(count));
  return n;
}

int FileStreamBuf::sync() {
  if (file_ == nullptr) return -1;
  if (reading_) return 0;
  return Flush() ? 0 : -1;
}

FileStreamBuf::int_type FileStreamBuf::underflow() {
  if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
  if (file_ == nullptr || !reading_) return traits_type::eof();
  for (;;) {
    size_t n = 0;
    if (pendingCr_) {
      buffer_[n++] = '\r';
      pendingCr_ = false;
    }
    size_t got = 0;
    FsError error = file_->Read(buffer_ + n, kBufferSize - n, &got);
    if (error != FsError::kNone) {
      failed_ = true;
      if (error_ == FsError::kNone) error_ = error;
      return traits_type::eof();
    }
    bool atEnd = got == 0;
    n += got;
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
