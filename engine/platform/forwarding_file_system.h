// A file system that hands every call to another one. Decorators derive from it and override
// only the calls they change. The side-by-side counts (ParallelScans, ParallelCopies) are not
// handed on: a decorator that keeps state stays on one thread unless it says otherwise.
#pragma once

#include "engine/platform/file_system.h"

namespace platform {

class ForwardingFileSystem : public FileSystem {
 public:
  explicit ForwardingFileSystem(FileSystem& inner) : inner_(inner) {}

  void BeginRun() override { inner_.BeginRun(); }
  IoResult ListFolder(const std::string& folder, const std::string& mask, bool with_subfolders,
                      FolderListing* listing) override {
    return inner_.ListFolder(folder, mask, with_subfolders, listing);
  }
  bool FindEntry(const std::string& folder, const std::string& name,
                 engine::FileEntry* entry) override {
    return inner_.FindEntry(folder, name, entry);
  }
  void FindEntries(const std::string& folder, const std::vector<engine::FileEntry>& like,
                   std::vector<FoundEntry>* found) override {
    inner_.FindEntries(folder, like, found);
  }
  IoResult GetAttributes(const std::string& path, uint32_t* attr) override {
    return inner_.GetAttributes(path, attr);
  }
  IoResult GetFolderId(const std::string& path, FolderId* id) override {
    return inner_.GetFolderId(path, id);
  }
  IoResult MakeFolder(const std::string& path) override { return inner_.MakeFolder(path); }
  IoResult CopyOver(const std::string& from, const std::string& to, SourceStamp expected,
                    SourceStamp* copied) override {
    return inner_.CopyOver(from, to, expected, copied);
  }
  void RemoveStaleTemporaries(const std::string& folder) override {
    inner_.RemoveStaleTemporaries(folder);
  }
  IoResult ProbeMakeFolder(const std::string& path) override {
    return inner_.ProbeMakeFolder(path);
  }
  IoResult ProbeCopySource(const std::string& from) override {
    return inner_.ProbeCopySource(from);
  }
  IoResult ProbeCopyFolder(const std::string& to) override { return inner_.ProbeCopyFolder(to); }
  IoResult ProbeCopyDestination(const std::string& to) override {
    return inner_.ProbeCopyDestination(to);
  }
  bool WaitsOnNetwork(const std::string& folder) override { return inner_.WaitsOnNetwork(folder); }
  void FlushFolders(const std::vector<std::string>& folders,
                    std::vector<std::string>* failures) override {
    inner_.FlushFolders(folders, failures);
  }
  std::string ReadProfileString(const std::string& path, const std::string& section,
                                const std::string& key, const std::string& default_text) override {
    return inner_.ReadProfileString(path, section, key, default_text);
  }
  IoResult WriteProfileString(const std::string& path, const std::string& section,
                              const std::string& key, const std::string& value) override {
    return inner_.WriteProfileString(path, section, key, value);
  }
  IoResult ReadText(const std::string& path, std::string* text) override {
    return inner_.ReadText(path, text);
  }
  IoResult ReplaceText(const std::string& path, const std::string& text) override {
    return inner_.ReplaceText(path, text);
  }
  IoResult WorkingFolder(std::string* folder) override { return inner_.WorkingFolder(folder); }

 protected:
  FileSystem& inner_;
};

}  // namespace platform
