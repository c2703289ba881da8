#include "engine/platform/posix/shared_file_system.h"

#include <sys/vfs.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace platform {
namespace {

// statfs f_type of the file systems a client shares with other machines.
constexpr uint32_t kSharedTypes[] = {
    0x6969,      // NFS
    0x517b,      // SMB
    0xff534d42,  // CIFS
    0xfe534d42,  // SMB2
    0x65735546,  // FUSE: sshfs, and every other file system run by a program
    0x01021997,  // 9P
    0x00c36400,  // Ceph
    0x5346414f,  // AFS
    0x6b414653,  // kAFS
    0x73757245,  // Coda
    0x0000564c,  // NCP
};

// The boot of this system: another machine, or this one after a restart, has another.
uint64_t ThisSystem() {
  static const uint64_t system = [] {
    std::string id;
    std::ifstream("/proc/sys/kernel/random/boot_id") >> id;
    char host[256] = {};
    gethostname(host, sizeof host - 1);
    return std::hash<std::string>{}(id + "/" + host);
  }();
  return system;
}

template <typename Ask>
bool IsShared(dev_t device, Ask ask) {
  static std::mutex mutex;
  static std::vector<std::pair<dev_t, bool>> known;
  std::lock_guard<std::mutex> lock(mutex);
  auto it =
      std::find_if(known.begin(), known.end(), [&](const auto& k) { return k.first == device; });
  if (it != known.end())
    return it->second;
  struct statfs fs;
  // A file system that cannot tell (a server that went away) is taken for a shared one: its
  // rules are the careful ones.
  if (ask(&fs) != 0)
    return true;
  const bool shared = std::find(std::begin(kSharedTypes), std::end(kSharedTypes),
                                static_cast<uint32_t>(fs.f_type)) != std::end(kSharedTypes);
  known.emplace_back(device, shared);
  return shared;
}

}  // namespace

bool IsSharedFileSystem(int fd, dev_t device) {
  return IsShared(device, [&](struct statfs* fs) { return fstatfs(fd, fs); });
}

bool IsSharedFileSystem(const char* path, dev_t device) {
  return IsShared(device, [&](struct statfs* fs) { return statfs(path, fs); });
}

uint64_t PlaceOf(dev_t device, const std::string& folder) {
  std::string path;
  for (char c : folder) {
    if (c != '/' || path.empty() || path.back() != '/')
      path += c;
  }
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return std::hash<std::string>{}(std::to_string(ThisSystem()) + ":" +
                                  std::to_string(static_cast<uint64_t>(device)) + ":" + path);
}

}  // namespace platform
