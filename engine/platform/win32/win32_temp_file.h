// Temporary files that copies and settings writes go through, named as on every platform
// (".~parlowen-<16 hex digits>.tmp") so a later run can remove what an interrupted one left.
#pragma once

#include <string>

#include "engine/platform/temp_name.h"

namespace platform {

// Deletes a file, clearing its read-only attribute first. False when it is still there.
bool RemoveFile(const std::string& path);

// A temporary file's path; the file is deleted when this goes out of scope, unless committed.
class TempPath {
 public:
  explicit TempPath(std::string path) : path_(std::move(path)) {}
  TempPath(const TempPath&) = delete;
  TempPath& operator=(const TempPath&) = delete;
  ~TempPath() {
    if (!path_.empty())
      RemoveFile(path_);
  }
  const std::string& path() const { return path_; }
  void Commit() { path_.clear(); }

 private:
  std::string path_;
};

}  // namespace platform
