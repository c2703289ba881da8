#include "tests/support/tree_snapshot.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

namespace testing_support {
namespace {

std::string Describe(const std::filesystem::path& path, const std::string& name) {
  struct stat st;
  if (lstat(path.c_str(), &st) != 0)
    return name + " (gone)";
  std::ostringstream line;
  line << name << " mode=" << std::oct << st.st_mode << std::dec << " size=" << st.st_size
       << " mtime=" << st.st_mtim.tv_sec << "." << st.st_mtim.tv_nsec
       << " ctime=" << st.st_ctim.tv_sec << "." << st.st_ctim.tv_nsec;
  if (S_ISREG(st.st_mode)) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    line << " content=" << std::hash<std::string>{}(content.str());
  } else if (S_ISLNK(st.st_mode)) {
    line << " link=" << std::filesystem::read_symlink(path).string();
  }
  return line.str();
}

}  // namespace

std::vector<std::string> TreeSnapshot(const std::string& folder) {
  std::vector<std::string> lines;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    lines.push_back(
        Describe(entry.path(), std::filesystem::relative(entry.path(), folder).string()));
  }
  std::sort(lines.begin(), lines.end());
  lines.insert(lines.begin(), Describe(folder, "."));
  return lines;
}

}  // namespace testing_support
