#include "tests/reliability/support/tree.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <tuple>

#include "tests/reliability/support/process.h"

namespace reliability {
namespace {

uint64_t Mix(uint64_t h, uint64_t word) {
  h ^= word;
  h *= 0x100000001b3ull;
  return h ^ (h >> 29);
}

uint64_t HashFd(int fd) {
  uint64_t h = 0xcbf29ce484222325ull;
  static thread_local char chunk[1 << 16];
  for (;;) {
    ssize_t n = read(fd, chunk, sizeof chunk);
    if (n <= 0)
      break;
    h = Mix(h, HashBytes(std::string_view(chunk, static_cast<size_t>(n))));
  }
  return h;
}

// Large files are read again and again by loops that check a tree after every run; any change
// of content moves the change time, so an unchanged inode keeps its hash.
using HashKey = std::tuple<dev_t, ino_t, int64_t, int64_t, int64_t>;
std::map<HashKey, uint64_t>& HashCache() {
  static std::map<HashKey, uint64_t> cache;
  return cache;
}
HashKey KeyOf(const struct stat& st) {
  return {st.st_dev, st.st_ino, st.st_size,
          int64_t{st.st_mtim.tv_sec} * 1000000000 + st.st_mtim.tv_nsec,
          int64_t{st.st_ctim.tv_sec} * 1000000000 + st.st_ctim.tv_nsec};
}
constexpr off_t kCachedSize = 1 << 20;

bool CachedHash(const struct stat& st, uint64_t* hash) {
  if (st.st_size < kCachedSize)
    return false;
  auto it = HashCache().find(KeyOf(st));
  if (it == HashCache().end())
    return false;
  *hash = it->second;
  return true;
}

void RememberHash(const struct stat& st, uint64_t hash) {
  if (st.st_size >= kCachedSize)
    HashCache()[KeyOf(st)] = hash;
}

void Walk(int folder_fd, const std::string& prefix, Tree* tree) {
  DIR* dir = fdopendir(folder_fd);
  if (dir == nullptr) {
    close(folder_fd);
    tree->complete = false;
    return;
  }
  while (struct dirent* d = readdir(dir)) {
    const char* name = d->d_name;
    if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
      continue;
    std::string rel = prefix.empty() ? name : prefix + "/" + name;
    if (std::strncmp(name, kTempPrefix, sizeof kTempPrefix - 1) == 0) {
      tree->temporaries.push_back(rel);
      continue;
    }
    struct stat st;
    if (fstatat(dirfd(dir), name, &st, AT_SYMLINK_NOFOLLOW) != 0)
      continue;
    if (S_ISDIR(st.st_mode)) {
      int sub = openat(dirfd(dir), name, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
      if (sub < 0) {
        tree->complete = false;
        continue;
      }
      Walk(sub, rel, tree);
    } else if (S_ISREG(st.st_mode)) {
      FileState state;
      state.size = st.st_size;
      state.mtime_ns = int64_t{st.st_mtim.tv_sec} * 1000000000 + st.st_mtim.tv_nsec;
      state.mode = st.st_mode & 07777;
      if (!CachedHash(st, &state.hash)) {
        int fd = openat(dirfd(dir), name, O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
          tree->complete = false;
        } else {
          state.hash = HashFd(fd);
          close(fd);
          RememberHash(st, state.hash);
        }
      }
      tree->files[rel] = state;
    }
  }
  closedir(dir);
}

}  // namespace

uint64_t HashBytes(std::string_view bytes) {
  uint64_t h = 0xcbf29ce484222325ull ^ bytes.size();
  size_t i = 0;
  for (; i + 8 <= bytes.size(); i += 8) {
    uint64_t word;
    std::memcpy(&word, bytes.data() + i, 8);
    h = Mix(h, word);
  }
  uint64_t tail = 0;
  if (i < bytes.size())
    std::memcpy(&tail, bytes.data() + i, bytes.size() - i);
  return Mix(h, tail);
}

Tree ReadTree(const std::string& root) {
  Tree tree;
  int fd = open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) {
    tree.complete = false;
    return tree;
  }
  Walk(fd, "", &tree);
  return tree;
}

std::vector<std::string> Differences(const Tree& expected, const Tree& actual) {
  std::vector<std::string> lines;
  for (const auto& [path, state] : expected.files) {
    auto it = actual.files.find(path);
    if (it == actual.files.end()) {
      lines.push_back("missing " + path);
    } else if (it->second.hash != state.hash || it->second.size != state.size) {
      lines.push_back("content " + path);
    } else if (it->second.mtime_ns != state.mtime_ns) {
      lines.push_back("time " + path);
    } else if (it->second.mode != state.mode) {
      lines.push_back("mode " + path);
    }
  }
  for (const auto& [path, state] : actual.files) {
    if (!expected.files.count(path))
      lines.push_back("extra " + path);
  }
  for (const std::string& temp : actual.temporaries) lines.push_back("temporary " + temp);
  return lines;
}

void PutFileAt(int folder_fd, const std::string& name, std::string_view content, int64_t mtime_ns,
               unsigned mode) {
  int fd = openat(folder_fd, name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0)
    std::abort();
  size_t done = 0;
  while (done < content.size()) {
    ssize_t n = write(fd, content.data() + done, content.size() - done);
    if (n <= 0)
      std::abort();
    done += static_cast<size_t>(n);
  }
  const struct timespec times[2] = {{mtime_ns / 1000000000, mtime_ns % 1000000000},
                                    {mtime_ns / 1000000000, mtime_ns % 1000000000}};
  if (fchmod(fd, mode) != 0 || futimens(fd, times) != 0)
    std::abort();
  close(fd);
}

void PutFile(const std::string& path, std::string_view content, int64_t mtime_ns, unsigned mode) {
  PutFileAt(AT_FDCWD, path, content, mtime_ns, mode);
}

void ReplaceFile(const std::string& path, std::string_view content, int64_t mtime_ns,
                 unsigned mode) {
  const std::string fresh = path + ".new";
  PutFile(fresh, content, mtime_ns, mode);
  if (rename(fresh.c_str(), path.c_str()) != 0)
    std::abort();
}

void GiveToNobody(const std::string& path) {
  if (lchown(path.c_str(), NobodyUid(), NobodyGid()) != 0)
    std::abort();
  struct stat st;
  if (lstat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
    return;
  DIR* dir = opendir(path.c_str());
  if (dir == nullptr)
    std::abort();
  while (struct dirent* d = readdir(dir)) {
    if (std::strcmp(d->d_name, ".") == 0 || std::strcmp(d->d_name, "..") == 0)
      continue;
    GiveToNobody(path + "/" + d->d_name);
  }
  closedir(dir);
}

}  // namespace reliability
