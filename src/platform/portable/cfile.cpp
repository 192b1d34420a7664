#include "cfile.h"

#include <string>

#include "drivemap.h"

int CFileCauseOf(FsError error) {
  switch (error) {
    case FsError::kNone: return CFileException::none;
    case FsError::kNotFound: return CFileException::fileNotFound;
    case FsError::kTooLong: return CFileException::badPath;
    case FsError::kAccessDenied:
    case FsError::kNotRegular: return CFileException::accessDenied;
    case FsError::kDiskFull: return CFileException::diskFull;
    case FsError::kIoError: return CFileException::hardIO;
    case FsError::kBusy: return CFileException::sharingViolation;
    default: return CFileException::genericException;
  }
}

namespace {
// Throws the framework's exception for error, kept as the last error too.
[[noreturn]] void ThrowError(FsError error) {
  Fs::SetLastError(error);
  throw new CFileException(CFileCauseOf(error), static_cast<LONG>(error));
}

void CheckResult(FsError error) {
  if (error != FsError::kNone) ThrowError(error);
}
}  // namespace

CFile::~CFile() = default;

BOOL CFile::Open(LPCSTR name, UINT flags, CFileException* error) {
  auto fail = [error](FsError cause, int framework_cause) {
    Fs::SetLastError(cause);
    if (error != nullptr) *error = CFileException(framework_cause, static_cast<LONG>(cause));
    return FALSE;
  };
  if (file_ != nullptr) return fail(FsError::kOther, CFileException::genericException);
  std::string native;
  if (name == nullptr || !DriveMapToNative(name, &native)) {
    return fail(FsError::kNotFound, CFileException::badPath);  // no drive of the map
  }
  FsOpen mode = FsOpen::kRead;
  if ((flags & modeCreate) != 0) {
    mode = (flags & modeNoTruncate) != 0 ? FsOpen::kReadWrite : FsOpen::kWriteTruncate;
  } else if ((flags & 3u) != modeRead) {
    mode = FsOpen::kReadWrite;
    // Without modeCreate a missing file is refused, as the framework does.
    FsStat st;
    FsError found = Fs::Default()->Stat(native, true, &st);
    if (found != FsError::kNone) return fail(found, CFileCauseOf(found));
  }
  FsError opened = Fs::Default()->Open(native, mode, &file_);
  if (opened == FsError::kNotRegular && mode != FsOpen::kRead) opened = FsError::kAccessDenied;
  return opened == FsError::kNone ? TRUE : fail(opened, CFileCauseOf(opened));
}

UINT CFile::Read(void* buffer, UINT count) {
  auto* out = static_cast<char*>(buffer);
  UINT done = 0;
  while (done < count) {
    size_t got = 0;
    CheckResult(file_->Read(out + done, count - done, &got));
    if (got == 0) break;
    done += static_cast<UINT>(got);
  }
  return done;
}

void CFile::Write(const void* buffer, UINT count) { CheckResult(file_->Write(buffer, count)); }

void CFile::Flush() { CheckResult(file_->Sync()); }

ULONGLONG CFile::GetLength() const {
  uint64_t size = 0;
  CheckResult(file_->Size(&size));
  return size;
}

void CFile::Close() {
  std::unique_ptr<FsFile> file = std::move(file_);
  if (file != nullptr) CheckResult(file->Close());
}

BOOL CFile::GetStatus(LPCSTR name, CFileStatus& status) {
  std::string native;
  FsStat st;
  if (name == nullptr || !DriveMapToNative(name, &native)) return FALSE;
  FsError error = Fs::Default()->Stat(native, true, &st);
  if (error != FsError::kNone) {
    Fs::SetLastError(error);
    return FALSE;
  }
  status.m_size = st.size;
  status.m_attribute = st.folder ? directory : normal;
  if (!st.writable) status.m_attribute |= readOnly;
  return TRUE;
}

void CFile::Remove(LPCSTR name) {
  std::string native;
  if (name == nullptr || !DriveMapToNative(name, &native)) ThrowError(FsError::kNotFound);
  CheckResult(Fs::Default()->Remove(native));
}
