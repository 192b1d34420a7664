// ClTextFile is the file that record formats write to and read from: it owns
// one byte stream, opens and closes it by mode bits, and hands the stream to
// accessors through Attach. Bytes written reach the file unchanged.
#pragma once
#include <iostream>
#include <memory>

class ClTextAccessor;
class FileStreamBuf;

class ClTextFile {
 public:
  enum TFOpenMode { TFOM_READ = 1, TFOM_WRITE = 2, TFOM_APPEND = 4, TFOM_TRUNCATE = 8 };

  // The stream is constructed closed.
  ClTextFile();
  // Closes an open file, ignoring any failure.
  virtual ~ClTextFile();
  ClTextFile(const ClTextFile&) = delete;
  ClTextFile& operator=(const ClTextFile&) = delete;

  // Opens the Windows path (code page 932, reached through the drive map) by
  // mode: WRITE alone creates and refuses an existing file (atomically);
  // WRITE+TRUNCATE creates or empties; WRITE+APPEND creates or appends;
  // READ alone reads in text mode (CR of CR LF dropped). 0, or -1000 when the
  // file cannot be opened or one is already open (recorded as TextFile 88).
  long Open(const char* path, TFOpenMode mode);
  // Flushes and closes; 0, or -1000 when the stream was failed (a write or
  // the close failed; recorded as TextFile 112). 0 when nothing is open.
  long Close();
  // TRUE when the file is open for writing and a write to it has failed.
  bool WriteFailed() const;
  // Attaches this file's stream to accessor; its result, or -1003 for null.
  long Attach(ClTextAccessor* accessor);

 private:
  std::unique_ptr<FileStreamBuf> m_pBuf;  // the file; the stream's buffer while open
  std::iostream m_stream{nullptr};        // no buffer (and so failed) while closed
};

inline ClTextFile::TFOpenMode operator|(ClTextFile::TFOpenMode a, ClTextFile::TFOpenMode b) {
  return static_cast<ClTextFile::TFOpenMode>(static_cast<int>(a) | static_cast<int>(b));
}
