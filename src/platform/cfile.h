// The framework's file class and its exception, as far as the system uses
// them: status of a path, removal, opening, reading and writing whole files.
// Paths are Windows paths in code page 932, reached through the drive map.
// It is the project's own class on every platform.
// Like the framework, Read, Write, Flush, Close and Remove report failure by
// throwing a CFileException* that the catcher must Delete().
#pragma once
#include <cstdint>
#include <memory>

#include "fs.h"
#include "wintypes.h"

// The failure of a file operation.
class CFileException {
 public:
  enum {
    none = 0,
    genericException,
    fileNotFound,
    badPath,
    tooManyOpenFiles,
    accessDenied,
    invalidFile,
    removeCurrentDir,
    directoryFull,
    badSeek,
    hardIO,
    sharingViolation,
    lockViolation,
    diskFull,
    endOfFile
  };
  // A failure of the given cause and operating-system error number.
  explicit CFileException(int cause = none, LONG os_error = -1)
      : m_cause(cause), m_lOsError(os_error) {}
  // Frees a caught exception.
  void Delete() { delete this; }

  int m_cause;       // one of the causes above
  LONG m_lOsError;   // the operating system's error number, -1 when none
};

// The cause of CFileException that a file-system error stands for.
int CFileCauseOf(FsError error);

// What CFile::GetStatus reports about a path.
struct CFileStatus {
  ULONGLONG m_size = 0;   // bytes of a file; 0 for a folder
  BYTE m_attribute = 0;   // CFile::directory, CFile::readOnly or normal
};

// An open file, or none.
class CFile {
 public:
  enum OpenFlags : UINT {
    modeRead = 0x0000,
    modeWrite = 0x0001,
    modeReadWrite = 0x0002,
    shareCompat = 0x0000,
    shareExclusive = 0x0010,
    shareDenyWrite = 0x0020,
    shareDenyRead = 0x0030,
    shareDenyNone = 0x0040,
    modeNoInherit = 0x0080,
    modeCreate = 0x1000,
    modeNoTruncate = 0x2000,
    typeBinary = 0x8000,
  };
  enum Attribute : BYTE { normal = 0x00, readOnly = 0x01, directory = 0x10 };

  CFile() = default;
  // Closes the file if it is open, without reporting a failure.
  ~CFile();
  CFile(const CFile&) = delete;
  CFile& operator=(const CFile&) = delete;

  // Opens name for reading, writing or both (modeRead, modeWrite,
  // modeReadWrite); modeCreate creates it, emptying an existing file unless
  // modeNoTruncate is added. Share flags are accepted and not enforced.
  // FALSE (error, when given, filled) when it cannot be opened or is a
  // folder. Requires that no file is open.
  BOOL Open(LPCSTR name, UINT flags, CFileException* error = nullptr);
  // Reads up to count bytes; returns how many were read (fewer at the end).
  UINT Read(void* buffer, UINT count);
  // Writes all count bytes.
  void Write(const void* buffer, UINT count);
  // Makes what was written durable on the disk.
  void Flush();
  // The length of the open file in bytes.
  ULONGLONG GetLength() const;
  // Closes the file; the object can then open another.
  void Close();

  // TRUE with status filled when name exists (file or folder).
  static BOOL GetStatus(LPCSTR name, CFileStatus& status);
  // Deletes the file name.
  static void Remove(LPCSTR name);

 private:
  std::unique_ptr<FsFile> file_;  // null when none is open
};
