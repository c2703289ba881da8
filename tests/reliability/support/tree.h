// What a folder tree holds, read through open folders so that names of any bytes and paths
// longer than PATH_MAX are seen too, and the means to build trees with exact times and modes.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace reliability {

inline constexpr char kTempPrefix[] = ".~parlowen-";

struct FileState {
  uint64_t hash = 0;
  int64_t size = 0;
  int64_t mtime_ns = 0;
  unsigned mode = 0;  // permission bits
  bool operator==(const FileState&) const = default;
};

struct Tree {
  std::map<std::string, FileState> files;  // path relative to the root, "sub/a.txt"
  std::vector<std::string> temporaries;    // leftover temporary files of a copy
  bool complete = true;                    // false when a folder could not be read
};

Tree ReadTree(const std::string& root);
uint64_t HashBytes(std::string_view bytes);

// Each difference as a line: "missing sub/a.txt", "content sub/a.txt", "extra b", ...
std::vector<std::string> Differences(const Tree& expected, const Tree& actual);

// Writes `content` to `path` (folders must exist) with exactly this mode and last-write time.
void PutFile(const std::string& path, std::string_view content, int64_t mtime_ns,
             unsigned mode = 0644);
// The same, relative to an open folder.
void PutFileAt(int folder_fd, const std::string& name, std::string_view content, int64_t mtime_ns,
               unsigned mode = 0644);
// Replaces `path` by a new file (a new inode), as editors and build tools do.
void ReplaceFile(const std::string& path, std::string_view content, int64_t mtime_ns,
                 unsigned mode = 0644);

// Gives `path` and everything below it to "nobody".
void GiveToNobody(const std::string& path);

}  // namespace reliability
