// The file a copy or a settings write is made in before it takes its final name. It is made
// under a random name of the reserved pattern (".~parlowen-<16 hex digits>.tmp"), renamed at
// once, before any data goes in, to the name bound to its own file index, and held open
// without sharing while in use: a later run removes such a file only when its name is bound to
// its index and nobody has it open.
#pragma once

#include <windows.h>

#include <string>

#include "engine/platform/temp_name.h"
#include "engine/platform/win32/win32_handles.h"

namespace platform {

// Deletes a file, clearing its read-only attribute first. False when it is still there.
bool RemoveFile(const std::string& path);

// The 64-bit file index of an open file, or false.
bool FileIndexOf(HANDLE file, uint64_t* index);

// Renames an open file (opened with DELETE access) through its own handle: no one else has
// to be able to open it. Returns ERROR_SUCCESS or the error code.
DWORD RenameOpenFile(HANDLE file, const std::wstring& system_to, bool replace);

class TempFile {
 public:
  TempFile() = default;
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;
  // Removes the file unless it was committed or kept.
  ~TempFile();

  // Creates the file in `folder` (which ends in a separator, or is empty for the current
  // folder), open for writing and for `extra_access`. Returns ERROR_SUCCESS or the error code.
  DWORD Create(const std::string& folder, DWORD extra_access = 0);
  HANDLE handle() const { return file_.get(); }
  const std::string& path() const { return path_; }

  // Gives the complete file the name `destination`, replacing whatever file has it, also a
  // read-only one, in one step; on failure `destination` is as it was. The handle is closed
  // afterwards. Returns ERROR_SUCCESS or the error code.
  DWORD CommitAs(const std::string& destination);
  // Closes the handle and leaves the file under its temporary name, for a call that must open
  // it itself. Returns ERROR_SUCCESS or the error code of the close.
  DWORD CloseHandleOnly();
  // The file no longer has the temporary name, or must stay: it is not removed.
  void Forget() { path_.clear(); }

 private:
  std::string path_;
  FileHandle file_{INVALID_HANDLE_VALUE};
};

// Removes the temporary files in `folder` that are provably left behind: a plain file (not a
// folder, not a reparse point) whose name is the one bound to its own file index, and which
// can be opened without sharing, so no run has it in use. Anything else of the pattern (a
// user's file, a copy of a left-over made by another tool) stays.
void RemoveStaleTemporariesIn(const std::string& folder);

}  // namespace platform
