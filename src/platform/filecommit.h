// Files written beside their final names and put in place in one commit
// step: each is written to a temporary file of the program's own in the
// same folder, and only a complete set is renamed over the final names.
// Paths are Windows paths in code page 932, reached through the drive map.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "fs.h"

// A file a commit left where it should not stay (Windows paths): at path
// lies the previous file of final (a backup), or a temporary file of final.
struct LeftFile {
  std::string path;
  std::string final;
};

// One file of a commit: its temporary file and its final name.
struct FileCommit {
  std::string temp;            // written completely, closed
  std::string final;           // the name it takes
  bool dropWhenEmpty = false;  // an empty temp puts no file there: the final
                               // name is removed instead
};

// Forms count new names beside final_path (the same folder, then "~vel"
// with eight hexadecimal digits and ".tmp", none in use yet) into *temps and
// records them, before any of them is made, in a durable list in the folder
// (*list, a "~vel….jnl" file): RemoveStaleTemps removes the temporary files
// a list names, and no other file. Windows paths. The error (nothing left)
// when a name would be longer than MAX_PATH (kTooLong), the folder cannot be
// reached or the list cannot be written.
FsError ReserveTempPaths(const char* final_path, size_t count, std::vector<std::string>* temps,
                         std::string* list);
// Removes the list of ReserveTempPaths once none of the files it names is
// left; nothing for an empty list.
void ReleaseTempPaths(const std::string& list);
// True when the bare file name is of the program's own pattern ("~vel",
// eight hexadecimal digits, ".tmp", ".bak" or ".jnl"), in any letter case:
// names that the user's files may not take.
bool IsOwnFileName(const std::string& name);
// Clears what a killed run left in the folder of path: a commit cut off
// before its end is undone from its journal (the previous files come back
// from their backups, names that were new are removed), and the temporary
// files that a list of ReserveTempPaths names are removed. A file that no
// journal or list of the program names is left alone, whatever its name.
// Requires the folder lock.
void RemoveStaleTemps(const char* path);
// Makes every temp of files (all in one folder) durable and renames it over
// its final name (a file or symbolic link there is replaced, never
// followed). All or none: first a journal, then every previous file moved
// to a backup, then the new ones in place; a failure puts the previous files
// back at once (by a rename, else by a copy of its bytes), a crash leaves
// the journal for RemoveStaleTemps. The temps are gone afterwards either
// way. The error of the failed step. Added to *left (when not null): after
// a good commit a backup that cannot be removed; after a failed one a
// previous file that could not be put back.
FsError CommitFiles(const std::vector<FileCommit>& files, std::vector<LeftFile>* left = nullptr);
// Removes the temp files of a set that is not to be committed; adds those
// that cannot be removed to *left (when not null).
void DiscardFiles(const std::vector<FileCommit>& files, std::vector<LeftFile>* left = nullptr);

// How long ReplaceWholeFile waits for another holder of the folder's lock.
constexpr int kWholeFileLockWaitMs = 5000;
// The step of ReplaceWholeFile that failed.
enum class WholeFileStep {
  kNone,    // none: the file is in place
  kBeside,  // the folder's lock, or the temporary file and its list beside the file
  kWrite,   // writing and flushing the temporary file
  kPlace,   // giving it the previous file's permissions, or renaming it into place
};
// Makes bytes the whole content of the native file path in one step, the
// way the commit step puts files in place: under the folder's lock (waiting
// up to kWholeFileLockWaitMs) the program's left-overs there are cleared
// (RemoveStaleTemps), bytes go to a temporary file named in a durable list
// beforehand, which is flushed, given the permissions of the file it
// replaces and renamed over path, and the folder is flushed. On failure path
// is as it was (unless only that last flush failed: the new file is there,
// but may not survive a power loss) and the temporary file is gone (or left
// to the next clean-up by its list). The error of the failed step, and the
// step in *step (when not null).
FsError ReplaceWholeFile(const std::string& native, const std::string& bytes,
                         WholeFileStep* step = nullptr);
