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
    // An open file stays open; its stream is failed until the next Open
    // (bad, so that the end of a file being read cannot be taken for it).
    m_stream.setstate(std::ios::badbit);
  } else {
    m_stream.rdbuf(m_pBuf.get());  // also clears the state
  }
  if (m_stream.fail()) return ClMsgMgr::Inst()->SetLastError(kIoFailure, kSource, kLineOpen);
  return Succeed();
}

long ClTextFile::Close() {
  if (!m_pBuf->IsOpen()) return Succeed();
  // Reading to the end fails the stream too; that end is no failure.
  const bool endOfReading = m_pBuf->IsReading() && m_stream.eof() && !m_stream.bad();
  const bool closed = m_pBuf->Close();
  if (!closed) m_stream.setstate(std::ios::failbit);
  const bool failed = !closed || m_stream.bad() || (m_stream.fail() && !endOfReading);
  m_stream.rdbuf(nullptr);  // later writes fail until the next Open
  if (failed) return ClMsgMgr::Inst()->SetLastError(kIoFailure, kSource, kLineClose);
  return Succeed();
}

bool ClTextFile::WriteFailed() const {
  return m_pBuf->IsOpen() && !m_pBuf->IsReading() && m_stream.fail();
}

long ClTextFile::Attach(ClTextAccessor* accessor) {
  if (accessor == nullptr) return ClMsgMgr::Inst()->SetLastError(kBadArgument, kSource, kLineAttach);
  return accessor->Attach(&m_stream);
}
