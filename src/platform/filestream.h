// A byte stream buffer over one file, opened on a Windows path through the
// drive map. Writing is binary; reading is in text mode (the CR of each CR LF
// pair is dropped). It buffers through a fixed area of its own, so writing
// never allocates.
#pragma once
#include <memory>
#include <streambuf>

#include "fs.h"

class FileStreamBuf : public std::streambuf {
 public:
  enum Access {
    FSA_WRITE_NEW,       // create; an existing file is refused (atomically)
    FSA_WRITE_TRUNCATE,  // create, or empty an existing file
    FSA_WRITE_APPEND,    // create, or write at the end of an existing file
    FSA_READ_TEXT,       // read an existing file from its start, text mode
  };

  // Nothing is open.
  FileStreamBuf();
  // Closes an open file, ignoring any failure.
  ~FileStreamBuf() override;
  FileStreamBuf(const FileStreamBuf&) = delete;
  FileStreamBuf& operator=(const FileStreamBuf&) = delete;

  // Opens the Windows path (code page 932) with access. False when a file is
  // already open, the path cannot be mapped or converted, or the operating
  // system refuses (for reading, also when the path is not a regular file).
  bool Open(const char* path, Access access);
  // Writes out what is buffered and closes the file. False when a write or
  // read failed since Open, or the flush or the close failed. True when none
  // is open. A failed Open or Close leaves its cause in Fs::LastError().
  bool Close();
  // True while a file is open.
  bool IsOpen() const { return file_ != nullptr; }
  // True while a file is open for reading.
  bool IsReading() const { return file_ != nullptr && reading_; }

 protected:
  // The stream buffer's hooks: buffered binary writing (a failed write
  // makes them report failure from then on) and text-mode reading.
  int_type overflow(int_type c) override;
  std::streamsize xsputn(const char* s, std::streamsize n) override;
  int sync() override;
  int_type underflow() override;

 private:
  static const int kBufferSize = 32768;

  // Writes buffered bytes to the file; false (and the error kept) on failure.
  bool Flush();
  // Writes n bytes straight to the file; false (and the error kept) on failure.
  bool WriteAll(const char* s, size_t n);

  std::unique_ptr<FsFile> file_;  // null when none is open
  bool reading_ = false;
  bool failed_ = false;      // a write or read failed since Open
  FsError error_ = FsError::kNone;  // the first failure since Open
  bool pendingCr_ = false;   // a CR ended the last chunk read; its LF is unknown
  char buffer_[kBufferSize];
};
