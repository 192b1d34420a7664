#include "TextFile.h"

#include "ClMsgMgr.h"
#include "filestream.h"
#include "textaccessor.h"

namespace {
const char kSource[] = "TextFile";
const long kLineOpen = 88;
const long kLineClose = 112;
const long kLineAttach = 129;
const long kIoFailure = -1000;
const long kBadArgument = -1003;

long Succeed() { return ClMsgMgr::Inst()->SetLastError(0, nullptr, 0); }
}  // namespace

ClTextFile::ClTextFile() : m_pBuf(new FileStreamBuf) {}

ClTextFile::~ClTextFile() { m_pBuf->Close(); }

long ClTextFile::Open(const char* path, TFOpenMode mode) {
  bool known = true;
  FileStreamBuf::Access access = FileStreamBuf::FSA_READ_TEXT;
  if (mode & TFOM_WRITE) {
    if ((mode & TFOM_APPEND) && (mode & TFOM_TRUNCATE)) {
      known = false;
    } else if (mode & TFOM_APPEND) {
      access = FileStreamBuf::FSA_WRITE_APPEND;
    } else if (mode & TFOM_TRUNCATE) {
      access = FileStreamBuf::FSA_WRITE_TRUNCATE;
    } else {
      access = FileStreamBuf::FSA_WRITE_NEW;
    }
  } else if (!(mode & TFOM_READ)) {
    known = false;
  }
  if (m_pBuf->IsOpen() || !known || !m_pBuf->Open(path, access)) {
    // An open file stays open; its stream is failed until the next Open.
    m_stream.setstate(std::ios::failbit);
  } else {
    m_stream.rdbuf(m_pBuf.get());  // also clears the state
  }
  if (m_stream.fail()) return ClMsgMgr::Inst()->SetLastError(kIoFailure, kSource, kLineOpen);
  return Succeed();
}

long ClTextFile::Close() {
  if (!m_pBuf->IsOpen()) return Succeed();
  if (!m_pBuf->Close()) m_stream.setstate(std::ios::failbit);
  bool failed = m_stream.fail();
  m_stream.rdbuf(nullptr);  // later writes fail until the next Open
  if (failed) return ClMsgMgr::Inst()->SetLastError(kIoFailure, kSource, kLineClose);
  return Succeed();
}

long ClTextFile::Attach(ClTextAccessor* accessor) {
  if (accessor == nullptr) return ClMsgMgr::Inst()->SetLastError(kBadArgument, kSource, kLineAttach);
  return accessor->Attach(&m_stream);
}
