// The file system on Windows: the directory searches of the Windows API itself, through its
// wide functions and paths without a length limit, and every copy made by moving a complete,
// flushed temporary file over its destination, so a destination is always either the old file
// or the whole new one. Settings files are read and edited here, in each of the encodings the
// profile functions know.
#include <windows.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <thread>

#include "engine/platform/file_system.h"
#include "engine/platform/win32/win32_copy_file.h"
#include "engine/platform/win32/win32_error.h"
#include "engine/platform/win32/win32_find.h"
#include "engine/platform/win32/win32_handles.h"
#include "engine/platform/win32/win32_probes.h"
#include "engine/platform/win32/win32_replace_text.h"
#include "engine/platform/win32/win32_settings_text.h"
#include "engine/platform/win32/win32_system_path.h"
#include "engine/platform/win32/win32_temp_file.h"
#include "engine/platform/win32/win32_text.h"

namespace platform {
namespace {

constexpr LONGLONG kMaxTextSize = 64 << 20;

bool IsDots(const wchar_t* name) {
  return name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0));
}

IoResult Refused(const std::string& what, DWORD code, const std::string& reason) {
  IoResult r = Win32Failure(what, code);
  r.message = what + ": " + reason;
  return r;
}

// A folder on another machine: a share named by its server ("\\server\share"), or a drive
// the system maps to a share.
bool OnAnotherMachine(const std::string& folder) {
  const std::wstring path = SystemPath(folder);
  constexpr std::wstring_view kShare = L"\\\\?\\UNC\\";
  constexpr std::wstring_view kDrive = L"\\\\?\\";
  if (path.starts_with(kShare))
    return true;
  if (path.size() < kDrive.size() + 2 || !path.starts_with(kDrive) ||
      path[kDrive.size() + 1] != L':')
    return false;
  const wchar_t root[] = {path[kDrive.size()], L':', L'\\', 0};
  return GetDriveTypeW(root) == DRIVE_REMOTE;
}

class Win32FileSystem final : public FileSystem {
 public:
  IoResult ListFolder(const std::string& folder, const std::string& mask, bool with_subfolders,
                      FolderListing* listing) override {
    const std::string what = "list " + folder;
    WIN32_FIND_DATAW data;
    if (with_subfolders) {
      FindHandle find(SystemPathIn(folder, "*.*"), &data);
      if (!find.ok()) {
        DWORD code = GetLastError();
        if (code != ERROR_FILE_NOT_FOUND)
          return Win32Failure(what, code);
      } else {
        do {
          if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
            continue;
          if (IsDots(data.cFileName))
            continue;
          Subfolder sub{Utf8FromWide(data.cFileName), data.dwFileAttributes, {}};
          if (IdOf(SystemPathIn(folder, sub.name), &sub.id) != ERROR_SUCCESS)
            sub.id = UnknownId();
          listing->subfolders.push_back(std::move(sub));
        } while (FindNextFileW(find.get(), &data));
        if (DWORD code = GetLastError(); code != ERROR_NO_MORE_FILES) {
          return Win32Failure(what, code);
        }
      }
    }
    // A mask with a separator would reach into another folder; no file name can match it.
    if (mask.empty() || mask.find_first_of("\\/") != std::string::npos)
      return {};
    FindHandle find(SystemPathIn(folder, mask), &data);
    if (!find.ok()) {
      DWORD code = GetLastError();
      return code == ERROR_FILE_NOT_FOUND ? IoResult{} : Win32Failure(what, code);
    }
    do {
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        continue;
      listing->files.push_back(EntryOf(data));
    } while (FindNextFileW(find.get(), &data));
    if (DWORD code = GetLastError(); code != ERROR_NO_MORE_FILES)
      return Win32Failure(what, code);
    return {};
  }

  bool FindEntry(const std::string& folder, const std::string& name,
                 engine::FileEntry* entry) override {
    WIN32_FIND_DATAW data;
    FindHandle find(SystemPathIn(folder, name), &data);
    if (!find.ok())
      return false;
    *entry = EntryOf(data);
    return true;
  }

  // Searches and attribute reads keep no state here, so the scan's lanes may share them; nor
  // do copies, each with its own handles, temporary file and buffer.
  int ParallelScans() const override {
    return static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, 4u));
  }
  int ParallelCopies() const override { return ParallelScans(); }
  bool WaitsOnNetwork(const std::string& folder) override { return OnAnotherMachine(folder); }

  IoResult GetAttributes(const std::string& path, uint32_t* attr) override {
    DWORD found = GetFileAttributesW(SystemPath(path).c_str());
    if (found == INVALID_FILE_ATTRIBUTES)
      return Win32Failure("status " + path, GetLastError());
    *attr = found;
    return {};
  }

  IoResult GetFolderId(const std::string& path, FolderId* id) override {
    DWORD code = IdOf(SystemPath(path), id);
    if (code != ERROR_SUCCESS)
      return Win32Failure("status " + path, code);
    return {};
  }

  IoResult MakeFolder(const std::string& path) override {
    const std::wstring system_path = SystemPath(path);
    if (CreateDirectoryW(system_path.c_str(), nullptr))
      return {};
    DWORD code = GetLastError();
    DWORD attr = GetFileAttributesW(system_path.c_str());
    if (code == ERROR_ALREADY_EXISTS && attr != INVALID_FILE_ATTRIBUTES &&
        (attr & FILE_ATTRIBUTE_DIRECTORY)) {
      return {};
    }
    return Win32Failure("create folder " + path, code);
  }

  IoResult CopyOver(const std::string& from, const std::string& to, SourceStamp expected,
                    SourceStamp* copied) override {
    return CopyFileOver(from, to, expected, copied);
  }

  void RemoveStaleTemporaries(const std::string& folder) override {
    RemoveStaleTemporariesIn(folder);
  }

  IoResult ProbeMakeFolder(const std::string& path) override { return Win32ProbeMakeFolder(path); }
  IoResult ProbeCopySource(const std::string& from) override { return Win32ProbeCopySource(from); }
  IoResult ProbeCopyFolder(const std::string& to) override { return Win32ProbeCopyFolder(to); }
  IoResult ProbeCopyDestination(const std::string& to) override {
    return Win32ProbeCopyDestination(to);
  }

  std::string ReadProfileString(const std::string& path, const std::string& section,
                                const std::string& key, const std::string& default_text) override {
    std::string bytes;
    if (path.empty() || !ReadText(path, &bytes).ok())
      return default_text;
    return FindSettingsValue(bytes, section, key, default_text);
  }

  IoResult WriteProfileString(const std::string& path, const std::string& section,
                              const std::string& key, const std::string& value) override {
    const std::string what = "write " + path;
    if (path.empty())
      return Refused(what, ERROR_INVALID_NAME, "no file is named");
    std::string bytes;
    IoResult read = ReadText(path, &bytes);
    if (!read.ok() && !read.not_found) {
      read.message = what + read.message.substr(std::string("read ").size() + path.size());
      return read;
    }
    std::string edited;
    if (!SetSettingsValue(bytes, section, key, value, &edited))
      return Win32Failure(what, ERROR_NO_UNICODE_TRANSLATION);
    return ReplaceText(path, edited);
  }

  IoResult ReadText(const std::string& path, std::string* text) override {
    const std::string what = "read " + path;
    if (path.empty())
      return Win32Failure(what, ERROR_FILE_NOT_FOUND);
    const std::wstring system_path = SystemPath(path);
    DWORD attr = GetFileAttributesW(system_path.c_str());
    if (attr == INVALID_FILE_ATTRIBUTES)
      return Win32Failure(what, GetLastError());
    if (attr & FILE_ATTRIBUTE_DIRECTORY)
      return Refused(what, ERROR_ACCESS_DENIED, "it is a folder");
    FileHandle file(CreateFileW(system_path.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.ok())
      return Win32Failure(what, GetLastError());
    // Device names such as CON or NUL open a device, never a settings file.
    if (GetFileType(file.get()) != FILE_TYPE_DISK) {
      return Refused(what, ERROR_INVALID_NAME, "not a file");
    }
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.get(), &size))
      return Win32Failure(what, GetLastError());
    if (size.QuadPart > kMaxTextSize)
      return Win32Failure(what, ERROR_FILE_TOO_LARGE);
    text->assign(static_cast<size_t>(size.QuadPart), '\0');
    size_t used = 0;
    for (;;) {
      if (used == text->size())
        text->resize(used + 16384);
      DWORD got = 0;
      if (!ReadFile(file.get(), text->data() + used, static_cast<DWORD>(text->size() - used), &got,
                    nullptr)) {
        return Win32Failure(what, GetLastError());
      }
      if (got == 0)
        break;
      used += got;
      if (used > static_cast<size_t>(kMaxTextSize))
        return Win32Failure(what, ERROR_FILE_TOO_LARGE);
    }
    text->resize(used);
    return {};
  }

  IoResult ReplaceText(const std::string& path, const std::string& text) override {
    return ReplaceTextFile(path, text);
  }

  IoResult WorkingFolder(std::string* folder) override {
    // Asked for its length first, so a folder longer than MAX_PATH is given whole too.
    DWORD needed = GetCurrentDirectoryW(0, nullptr);
    if (needed == 0)
      return Win32Failure("find the current folder", GetLastError());
    std::wstring buffer(needed, L'\0');
    DWORD length = GetCurrentDirectoryW(needed, buffer.data());
    if (length == 0 || length >= needed) {
      return Win32Failure("find the current folder", GetLastError());
    }
    buffer.resize(length);
    *folder = Utf8FromWide(buffer);
    return {};
  }
};

}  // namespace

FileSystem& DefaultFileSystem() {
  static Win32FileSystem fs;
  return fs;
}

}  // namespace platform
