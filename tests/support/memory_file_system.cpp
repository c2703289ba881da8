#include "tests/support/memory_file_system.h"

#include <algorithm>
#include <cerrno>
#include <deque>
#include <stdexcept>

#include "engine/ini_text.h"
#include "engine/platform/path_rules.h"
#include "engine/wildcard.h"

namespace testing_support {

const FailReason kNoSuchFile{ENOENT, "No such file or directory"};
const FailReason kNotAFolder{ENOTDIR, "Not a directory"};
const FailReason kIsAFolder{EISDIR, "Is a directory"};
const FailReason kAlreadyExists{EEXIST, "File exists"};
const FailReason kAccessDenied{EACCES, "Permission denied"};
const FailReason kDiskFull{ENOSPC, "No space left on device", true};
const FailReason kInputOutput{EIO, "Input/output error"};
const FailReason kBusy{EBUSY, "Device or resource busy", true};
const FailReason kTextBusy{ETXTBSY, "Text file busy", true};
const FailReason kNetworkInputOutput{EIO, "Input/output error", true};

namespace {

const FailReason kNotAFile{EINVAL, "not a regular file"};
const FailReason kChanged{EAGAIN, "the file changed during the run"};
const FailReason kTooManyLinks{40, "Too many levels of symbolic links"};

constexpr uint64_t kDevice = 1;
constexpr int kMostLinks = 40;

platform::IoResult Failed(const std::string& what, const FailReason& reason) {
  platform::IoResult r;
  r.os_code = reason.code;
  r.not_found = reason.code == ENOENT || reason.code == ENOTDIR;
  r.no_space = reason.code == ENOSPC;
  r.may_pass = reason.may_pass;
  r.message = what + ": " + reason.text;
  return r;
}

// Why nothing is at the end of a path: the reason met on the way, or that nothing is there.
template <typename Resolved>
platform::IoResult Unreachable(const std::string& what, const Resolved& found) {
  return Failed(what, found.failure != nullptr ? *found.failure : kNoSuchFile);
}

bool IsSeparator(char c) {
  return c == '/' || c == platform::kPathSeparator;
}

std::string ParentKey(const std::string& key) {
  return key.substr(0, key.empty() ? 0 : key.rfind('/'));
}

bool StartsWith(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

std::string Native(std::string path) {
  for (char& c : path) {
    if (c == '/')
      c = platform::kPathSeparator;
  }
  return path;
}

MemoryFileSystem::MemoryFileSystem() {
  root_.kind = Kind::kFolder;
  root_.attr = engine::kAttrFolder;
  root_.serial = next_serial_++;
}

std::vector<std::string> MemoryFileSystem::Parts(const std::string& path) const {
  std::vector<std::string> parts;
  std::string part;
  for (char c : path) {
    if (!IsSeparator(c)) {
      part += c;
    } else if (!part.empty()) {
      parts.push_back(std::move(part));
      part.clear();
    }
  }
  if (!part.empty())
    parts.push_back(std::move(part));
  return parts;
}

std::string MemoryFileSystem::KeyOf(const std::string& path) const {
  std::string key;
  for (const std::string& part : Parts(path)) {
    if (part == "..")
      key = ParentKey(key);
    else if (part != ".")
      key += "/" + part;
  }
  return key;
}

const MemoryFileSystem::Node* MemoryFileSystem::Find(const std::string& key) const {
  if (key.empty())
    return &root_;
  auto it = nodes_.find(key);
  return it == nodes_.end() ? nullptr : &it->second;
}

MemoryFileSystem::Resolved MemoryFileSystem::Resolve(const std::string& path,
                                                     bool follow_last) const {
  Resolved r;
  if (path.empty()) {
    r.failure = &kNoSuchFile;
    return r;
  }
  std::vector<std::string> parts = Parts(path);
  std::deque<std::string> rest(parts.begin(), parts.end());
  r.node = &root_;
  int links = 0;
  while (!rest.empty()) {
    // Whatever comes next is looked up in the entry reached so far, which must be a folder.
    if (r.node == nullptr || r.node->kind != Kind::kFolder) {
      r.failure = r.node == nullptr ? &kNoSuchFile : &kNotAFolder;
      r.node = nullptr;
      return r;
    }
    std::string part = std::move(rest.front());
    rest.pop_front();
    if (part == ".")
      continue;
    if (part == "..") {
      r.key = ParentKey(r.key);
      r.node = Find(r.key);
      continue;
    }
    r.key += "/" + part;
    r.node = Find(r.key);
    if (r.node != nullptr && r.node->kind == Kind::kLink && (follow_last || !rest.empty())) {
      if (++links > kMostLinks) {
        r.failure = &kTooManyLinks;
        r.node = nullptr;
        return r;
      }
      const std::string& target = r.node->content;
      std::vector<std::string> target_parts = Parts(target);
      rest.insert(rest.begin(), target_parts.begin(), target_parts.end());
      r.key = !target.empty() && IsSeparator(target[0]) ? "" : ParentKey(r.key);
      r.node = Find(r.key);
    }
  }
  return r;
}

MemoryFileSystem::Node& MemoryFileSystem::Put(const std::string& key, Kind kind) {
  // Missing parents become plain folders.
  for (size_t cut = key.find('/', 1); cut != std::string::npos; cut = key.find('/', cut + 1)) {
    const std::string parent = key.substr(0, cut);
    if (nodes_.count(parent) == 0) {
      Node& folder = nodes_[parent];
      folder.attr = engine::kAttrFolder;
      folder.serial = next_serial_++;
    }
  }
  auto it = nodes_.find(key);
  if (it != nodes_.end() && (it->second.kind != kind || kind != Kind::kFolder)) {
    // A new entry: whatever stood there goes, with all below it.
    const uint64_t serial =
        kind == Kind::kFile && it->second.kind == Kind::kFile ? it->second.serial : next_serial_++;
    nodes_.erase(nodes_.lower_bound(key + "/"), nodes_.lower_bound(key + "0"));
    it->second = Node{};
    it->second.serial = serial;
  } else if (it == nodes_.end()) {
    it = nodes_.emplace(key, Node{}).first;
    it->second.serial = next_serial_++;
  }
  Node& node = it->second;
  node.kind = kind;
  node.version = next_serial_++;
  return node;
}

void MemoryFileSystem::AddFolder(const std::string& path, uint32_t attr) {
  std::lock_guard<std::mutex> lock(mutex_);
  Put(KeyOf(path), Kind::kFolder).attr = attr | engine::kAttrFolder;
}

void MemoryFileSystem::AddFile(const std::string& path, const std::string& content, uint32_t time,
                               uint32_t attr) {
  std::lock_guard<std::mutex> lock(mutex_);
  Node& file = Put(KeyOf(path), Kind::kFile);
  file.content = content;
  file.time = time;
  file.attr = attr & ~engine::kAttrFolder;
}

void MemoryFileSystem::AddLink(const std::string& path, const std::string& target) {
  std::lock_guard<std::mutex> lock(mutex_);
  Put(KeyOf(path), Kind::kLink).content = target;
}

void MemoryFileSystem::Remove(const std::string& path) {
  std::lock_guard<std::mutex> lock(mutex_);
  const std::string key = KeyOf(path);
  nodes_.erase(key);
  nodes_.erase(nodes_.lower_bound(key + "/"), nodes_.lower_bound(key + "0"));
}

void MemoryFileSystem::FailOn(const std::string& op, const std::string& path, FailReason reason) {
  static const char* const kOps[] = {"list",  "status", "mkdir", "copy",
                                     "flush", "read",   "write", "cwd"};
  bool known = false;
  for (const char* name : kOps) known = known || op == name;
  if (!known)
    throw std::invalid_argument("no operation \"" + op + "\" to fail");
  std::lock_guard<std::mutex> lock(mutex_);
  failures_[{op, op == "cwd" ? "" : KeyOf(path)}] = std::move(reason);
}

void MemoryFileSystem::Recover(const std::string& op, const std::string& path) {
  std::lock_guard<std::mutex> lock(mutex_);
  failures_.erase({op, op == "cwd" ? "" : KeyOf(path)});
}

std::optional<platform::IoResult> MemoryFileSystem::Injected(const std::string& op,
                                                             const std::string& path,
                                                             const std::string& what) const {
  auto it = failures_.find({op, op == "cwd" ? "" : KeyOf(path)});
  if (it == failures_.end())
    return std::nullopt;
  return Failed(what, it->second);
}

bool MemoryFileSystem::Exists(const std::string& path) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return Resolve(path, false).node != nullptr;
}

bool MemoryFileSystem::IsFolder(const std::string& path) const {
  std::lock_guard<std::mutex> lock(mutex_);
  const Node* node = Resolve(path).node;
  return node != nullptr && node->kind == Kind::kFolder;
}

std::string MemoryFileSystem::Content(const std::string& path) const {
  std::lock_guard<std::mutex> lock(mutex_);
  const Node* node = Resolve(path).node;
  return node != nullptr && node->kind == Kind::kFile ? node->content : "<missing>";
}

std::vector<std::string> MemoryFileSystem::Tree(const std::string& folder) const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<std::string> entries;
  const Resolved top = Resolve(folder);
  if (top.node == nullptr || top.node->kind != Kind::kFolder)
    return entries;
  const std::string prefix = top.key + "/";
  for (auto it = nodes_.lower_bound(prefix); it != nodes_.end() && StartsWith(it->first, prefix);
       ++it) {
    entries.push_back(it->first.substr(prefix.size()) +
                      (it->second.kind == Kind::kFolder ? "/" : ""));
  }
  std::sort(entries.begin(), entries.end());
  return entries;
}

std::vector<std::string> MemoryFileSystem::Log() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return log_;
}

std::vector<std::string> MemoryFileSystem::Log(const std::string& op) const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<std::string> entries;
  for (const std::string& entry : log_) {
    if (StartsWith(entry, op + " "))
      entries.push_back(entry);
  }
  return entries;
}

platform::IoResult MemoryFileSystem::ListFolder(const std::string& folder, const std::string& mask,
                                                bool with_subfolders,
                                                platform::FolderListing* listing) {
  std::lock_guard<std::mutex> lock(mutex_);
  const std::string what = "list " + folder;
  log_.push_back(what);
  if (auto failure = Injected("list", folder, what))
    return *failure;
  const Resolved found = Resolve(folder);
  if (found.failure != nullptr)
    return Failed(what, *found.failure);
  if (found.node == nullptr)
    return Failed(what, kNoSuchFile);
  if (found.node->kind != Kind::kFolder)
    return Failed(what, kNotAFolder);
  const std::string prefix = found.key + "/";
  for (auto it = nodes_.lower_bound(prefix); it != nodes_.end() && StartsWith(it->first, prefix);
       ++it) {
    const std::string name = it->first.substr(prefix.size());
    if (name.find('/') != std::string::npos)
      continue;
    const std::string path = folder + platform::kPathSeparator + name;
    if (auto failure = Injected("status", path, "status " + path)) {
      listing->failures.push_back(failure->message);
      continue;
    }
    // Links are followed; one that leads nowhere is left out.
    const Node* node = it->second.kind == Kind::kLink ? Resolve(it->first).node : &it->second;
    if (node == nullptr)
      continue;
    if (node->kind == Kind::kFolder) {
      if (with_subfolders)
        listing->subfolders.push_back({name, node->attr, {kDevice, node->serial}});
    } else if (!mask.empty() &&
               (engine::MaskMatchesEverything(mask) || engine::MatchesMask(mask, name))) {
      listing->files.push_back(
          {node->time, static_cast<uint32_t>(node->content.size()), node->attr, 0, name});
    }
  }
  return {};
}

bool MemoryFileSystem::FindEntry(const std::string& folder, const std::string& name,
                                 engine::FileEntry* entry) {
  std::lock_guard<std::mutex> lock(mutex_);
  const std::string path = folder + platform::kPathSeparator + name;
  if (Injected("status", path, path))
    return false;
  const Node* node = Resolve(path).node;
  if (node == nullptr)
    return false;
  const bool file = node->kind == Kind::kFile;
  *entry = {node->time, file ? static_cast<uint32_t>(node->content.size()) : 0, node->attr, 0,
            name};
  return true;
}

platform::IoResult MemoryFileSystem::GetAttributes(const std::string& path, uint32_t* attr) {
  std::lock_guard<std::mutex> lock(mutex_);
  const std::string what = "status " + path;
  if (auto failure = Injected("status", path, what))
    return *failure;
  const Resolved found = Resolve(path);
  if (found.node == nullptr)
    return Unreachable(what, found);
  *attr = found.node->attr;
  return {};
}

platform::IoResult MemoryFileSystem::GetFolderId(const std::string& path, platform::FolderId* id) {
  std::lock_guard<std::mutex> lock(mutex_);
  const std::string what = "status " + path;
  if (auto failure = Injected("status", path, what))
    return *failure;
  const Resolved found = Resolve(path);
  if (found.node == nullptr)
    return Unreachable(what, found);
  if (found.node->kind != Kind::kFolder)
    return Failed(what, kNotAFolder);
  *id = {kDevice, found.node->serial};
  return {};
}

platform::IoResult MemoryFileSystem::MakeFolder(const std::string& path) {
  std::lock_guard<std::mutex> lock(mutex_);
  log_.push_back("mkdir " + path);
  const std::string what = "create folder " + path;
  if (auto failure = Injected("mkdir", path, what))
    return *failure;
  const Resolved found = Resolve(path, false);
  if (found.failure != nullptr)
    return Failed(what, *found.failure);
  if (found.node != nullptr) {
    const Node* target = Resolve(path).node;
    return target != nullptr && target->kind == Kind::kFolder ? platform::IoResult{}
                                                              : Failed(what, kAlreadyExists);
  }
  Put(found.key, Kind::kFolder).attr = engine::kAttrFolder;
  return {};
}

platform::IoResult MemoryFileSystem::CopyOver(const std::string& from, const std::string& to,
                                              platform::SourceStamp expected,
                                              platform::SourceStamp* copied) {
  std::lock_guard<std::mutex> lock(mutex_);
  const std::string what = "copy " + from + " -> " + to;
  log_.push_back(what);
  *copied = 0;
  if (auto failure = Injected("copy", from, what))
    return *failure;
  if (auto failure = Injected("copy", to, what))
    return *failure;
  const Resolved source = Resolve(from);
  if (source.node == nullptr)
    return Unreachable(what, source);
  if (source.node->kind != Kind::kFile)
    return Failed(what, kNotAFile);
  *copied = source.node->version;
  if (expected != 0 && expected != *copied)
    return Failed(what, kChanged);
  // As a rename: a link in the destination's place is replaced, a folder is not.
  const Resolved destination = Resolve(to, false);
  if (destination.failure != nullptr)
    return Failed(what, *destination.failure);
  if (destination.node != nullptr && destination.node->kind == Kind::kFolder)
    return Failed(what, kIsAFolder);
  const Node copy = *source.node;
  Node& made = Put(destination.key, Kind::kFile);
  made.content = copy.content;
  made.time = copy.time;
  made.attr = copy.attr;
  return {};
}

void MemoryFileSystem::RemoveStaleTemporaries(const std::string& folder) {
  std::lock_guard<std::mutex> lock(mutex_);
  log_.push_back("clean " + folder);
}

void MemoryFileSystem::FlushFolders(const std::vector<std::string>& folders,
                                    std::vector<std::string>* failures) {
  std::lock_guard<std::mutex> lock(mutex_);
  for (const std::string& folder : folders) {
    log_.push_back("flush " + folder);
    if (auto failure = Injected("flush", folder, "flush " + folder))
      failures->push_back(failure->message);
  }
}

platform::IoResult MemoryFileSystem::ProbeCopySource(const std::string& from) {
  std::lock_guard<std::mutex> lock(mutex_);
  const std::string what = "read " + from;
  if (auto failure = Injected("copy", from, what))
    return *failure;
  const Resolved source = Resolve(from);
  if (source.node == nullptr)
    return Unreachable(what, source);
  if (source.node->kind != Kind::kFile)
    return Failed(what, kNotAFile);
  return {};
}

platform::IoResult MemoryFileSystem::ReadTextLocked(const std::string& path, std::string* text) {
  const std::string what = "read " + path;
  log_.push_back(what);
  if (auto failure = Injected("read", path, what))
    return *failure;
  if (path.empty())
    return Failed(what, kNoSuchFile);
  const Resolved found = Resolve(path);
  if (found.node == nullptr)
    return Unreachable(what, found);
  if (found.node->kind != Kind::kFile)
    return Failed(what, kIsAFolder);
  *text = found.node->content;
  return {};
}

platform::IoResult MemoryFileSystem::ReplaceTextLocked(const std::string& path,
                                                       const std::string& text) {
  const std::string what = "write " + path;
  log_.push_back(what);
  if (auto failure = Injected("write", path, what))
    return *failure;
  if (path.empty())
    return Failed(what, kNoSuchFile);
  // Written through a link to the file it leads to.
  const Resolved found = Resolve(path);
  if (found.failure != nullptr)
    return Failed(what, *found.failure);
  if (found.node != nullptr && found.node->kind == Kind::kFolder)
    return Failed(what, kIsAFolder);
  if (found.node != nullptr && (found.node->attr & engine::kAttrReadOnly) != 0)
    return Failed(what, kAccessDenied);
  const Node old = found.node != nullptr ? *found.node : Node{};
  Node& file = Put(found.key, Kind::kFile);
  file.content = text;
  file.time = found.node != nullptr ? old.time : kTime;
  file.attr = found.node != nullptr ? old.attr : engine::kAttrArchive;
  return {};
}

std::string MemoryFileSystem::ReadProfileString(const std::string& path, const std::string& section,
                                                const std::string& key,
                                                const std::string& default_text) {
  std::lock_guard<std::mutex> lock(mutex_);
  std::string text;
  if (!ReadTextLocked(path, &text).ok())
    return default_text;
  return engine::FindIniValue(text, section, key).value_or(default_text);
}

platform::IoResult MemoryFileSystem::WriteProfileString(const std::string& path,
                                                        const std::string& section,
                                                        const std::string& key,
                                                        const std::string& value) {
  std::lock_guard<std::mutex> lock(mutex_);
  std::string text;
  platform::IoResult read = ReadTextLocked(path, &text);
  if (!read.ok() && !read.not_found)
    return read;
  return ReplaceTextLocked(path, engine::SetIniValue(text, section, key, value));
}

platform::IoResult MemoryFileSystem::ReadText(const std::string& path, std::string* text) {
  std::lock_guard<std::mutex> lock(mutex_);
  return ReadTextLocked(path, text);
}

platform::IoResult MemoryFileSystem::ReplaceText(const std::string& path, const std::string& text) {
  std::lock_guard<std::mutex> lock(mutex_);
  return ReplaceTextLocked(path, text);
}

platform::IoResult MemoryFileSystem::WorkingFolder(std::string* folder) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (auto failure = Injected("cwd", "", "find the current folder"))
    return *failure;
  *folder = std::string(1, platform::kPathSeparator);
  return {};
}

}  // namespace testing_support
