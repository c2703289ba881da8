// The file system on Windows: the directory searches, profile functions and file copies of the
// Windows API itself, and every replacement made by moving a complete temporary file over its
// destination, so a destination is always either the old file or the whole new one.
#include <windows.h>

#include <algorithm>
#include <string>

#include "engine/platform/file_system.h"
#include "engine/platform/path_rules.h"
#include "engine/platform/win32/win32_error.h"
#include "engine/platform/win32/win32_find.h"
#include "engine/platform/win32/win32_handles.h"
#include "engine/platform/win32/win32_temp_file.h"

namespace platform {
namespace {

constexpr DWORD kProfileBufferSize = 2048;
constexpr LONGLONG kMaxTextSize = 64 << 20;
constexpr DWORD kSettableAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                      FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                      FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_OFFLINE |
                                      FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

bool IsDots(const char* name) {
  return name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0));
}

std::string FolderOf(const std::string& path) {
  return path.substr(0, ParentLength(path));
}

// Attributes for SetFileAttributesA, which reads 0 as "leave them as they are".
DWORD Settable(DWORD attr) {
  attr &= kSettableAttributes;
  return attr == 0 ? FILE_ATTRIBUTE_NORMAL : attr;
}

// The profile functions look for a name that is not a full path in the Windows folder; a full
// path makes them use the very file that every other call opens.
std::string FullPath(const std::string& path) {
  DWORD needed = GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
  if (needed == 0)
    return path;
  std::string full(needed, '\0');
  DWORD length = GetFullPathNameA(path.c_str(), needed, full.data(), nullptr);
  if (length == 0 || length >= needed)
    return path;
  full.resize(length);
  return full;
}

IoResult Refused(const std::string& what, DWORD code, const std::string& reason) {
  IoResult r = Win32Failure(what, code);
  r.message = what + ": " + reason;
  return r;
}

class Win32FileSystem final : public FileSystem {
 public:
  IoResult ListFolder(const std::string& folder, const std::string& mask, bool with_subfolders,
                      FolderListing* listing) override {
    const std::string what = "list " + folder;
    const std::string prefix = folder + '\\';
    WIN32_FIND_DATAA data;
    if (with_subfolders) {
      FindHandle find(prefix + "*.*", &data);
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
          Subfolder sub{data.cFileName, data.dwFileAttributes, {}};
          if (IdOf(prefix + sub.name, &sub.id) != ERROR_SUCCESS)
            sub.id = UnknownId();
          listing->subfolders.push_back(std::move(sub));
        } while (FindNextFileA(find.get(), &data));
        if (DWORD code = GetLastError(); code != ERROR_NO_MORE_FILES) {
          return Win32Failure(what, code);
        }
      }
    }
    // A mask with a separator would reach into another folder; no file name can match it.
    if (mask.empty() || mask.find_first_of("\\/") != std::string::npos)
      return {};
    FindHandle find(prefix + mask, &data);
    if (!find.ok()) {
      DWORD code = GetLastError();
      return code == ERROR_FILE_NOT_FOUND ? IoResult{} : Win32Failure(what, code);
    }
    do {
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        continue;
      listing->files.push_back(EntryOf(data));
    } while (FindNextFileA(find.get(), &data));
    if (DWORD code = GetLastError(); code != ERROR_NO_MORE_FILES)
      return Win32Failure(what, code);
    return {};
  }

  bool FindEntry(const std::string& folder, const std::string& name,
                 engine::FileEntry* entry) override {
    WIN32_FIND_DATAA data;
    FindHandle find(folder + '\\' + name, &data);
    if (!find.ok())
      return false;
    *entry = EntryOf(data);
    return true;
  }

  IoResult GetAttributes(const std::string& path, uint32_t* attr) override {
    DWORD found = GetFileAttributesA(path.c_str());
    if (found == INVALID_FILE_ATTRIBUTES)
      return Win32Failure("status " + path, GetLastError());
    *attr = found;
    return {};
  }

  IoResult GetFolderId(const std::string& path, FolderId* id) override {
    DWORD code = IdOf(path, id);
    if (code != ERROR_SUCCESS)
      return Win32Failure("status " + path, code);
    return {};
  }

  IoResult MakeFolder(const std::string& path) override {
    if (CreateDirectoryA(path.c_str(), nullptr))
      return {};
    DWORD code = GetLastError();
    DWORD attr = GetFileAttributesA(path.c_str());
    if (code == ERROR_ALREADY_EXISTS && attr != INVALID_FILE_ATTRIBUTES &&
        (attr & FILE_ATTRIBUTE_DIRECTORY)) {
      return {};
    }
    return Win32Failure("create folder " + path, code);
  }

  IoResult CopyOver(const std::string& from, const std::string& to) override {
    const std::string what = "copy " + from + " -> " + to;
    // The copy carries content, last-write time and attributes; it becomes the destination
    // only when it is complete.
    TempPath temp(FolderOf(to) + NewTempName());
    if (!CopyFileA(from.c_str(), temp.path().c_str(), TRUE)) {
      return Win32Failure(what, GetLastError());
    }
    // A read-only destination is replaced all the same; the move would refuse it.
    DWORD old_attr = GetFileAttributesA(to.c_str());
    bool cleared = false;
    if (old_attr != INVALID_FILE_ATTRIBUTES && (old_attr & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
        (old_attr & FILE_ATTRIBUTE_READONLY) != 0) {
      cleared = SetFileAttributesA(to.c_str(), Settable(old_attr & ~FILE_ATTRIBUTE_READONLY));
    }
    if (!MoveFileExA(temp.path().c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING)) {
      DWORD code = GetLastError();
      if (cleared)
        SetFileAttributesA(to.c_str(), Settable(old_attr));
      return Win32Failure(what, code);
    }
    temp.Commit();
    return {};
  }

  void RemoveStaleTemporaries(const std::string& folder) override {
    WIN32_FIND_DATAA data;
    FindHandle find(folder + "\\.~parlowen-*.tmp", &data);
    if (!find.ok())
      return;
    do {
      if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && IsTempName(data.cFileName)) {
        RemoveFile(folder + '\\' + data.cFileName);
      }
    } while (FindNextFileA(find.get(), &data));
  }

  std::string ReadProfileString(const std::string& path, const std::string& section,
                                const std::string& key, const std::string& default_text) override {
    if (path.empty())
      return default_text;
    std::string value(kProfileBufferSize, '\0');
    DWORD length =
        GetPrivateProfileStringA(section.c_str(), key.c_str(), default_text.c_str(), value.data(),
                                 kProfileBufferSize, FullPath(path).c_str());
    value.resize(length);
    return value;
  }

  IoResult WriteProfileString(const std::string& path, const std::string& section,
                              const std::string& key, const std::string& value) override {
    const std::string what = "write " + path;
    if (path.empty())
      return Refused(what, ERROR_INVALID_NAME, "no file is named");
    const std::string full = FullPath(path);
    // Refused before the call, so an account that may write read-only files refuses them too.
    DWORD attr = GetFileAttributesA(full.c_str());
    if (attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY)) {
      return Refused(what, ERROR_ACCESS_DENIED, "it is a folder");
    }
    if (attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_READONLY)) {
      return Win32Failure(what, ERROR_ACCESS_DENIED);
    }
    // A line break would start a line of its own; only the first line is the value.
    const std::string line = value.substr(0, value.find_first_of("\r\n"));
    if (!WritePrivateProfileStringA(section.c_str(), key.c_str(), line.c_str(), full.c_str())) {
      return Win32Failure(what, GetLastError());
    }
    return {};
  }

  IoResult ReadText(const std::string& path, std::string* text) override {
    const std::string what = "read " + path;
    if (path.empty())
      return Win32Failure(what, ERROR_FILE_NOT_FOUND);
    DWORD attr = GetFileAttributesA(path.c_str());
    if (attr == INVALID_FILE_ATTRIBUTES)
      return Win32Failure(what, GetLastError());
    if (attr & FILE_ATTRIBUTE_DIRECTORY)
      return Refused(what, ERROR_ACCESS_DENIED, "it is a folder");
    FileHandle file(CreateFileA(path.c_str(), GENERIC_READ,
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
    const std::string what = "write " + path;
    if (path.empty())
      return Refused(what, ERROR_INVALID_NAME, "no file is named");
    DWORD old_attr = GetFileAttributesA(path.c_str());
    const bool exists = old_attr != INVALID_FILE_ATTRIBUTES;
    if (exists && (old_attr & FILE_ATTRIBUTE_DIRECTORY)) {
      return Refused(what, ERROR_ACCESS_DENIED, "it is a folder");
    }
    if (exists && (old_attr & FILE_ATTRIBUTE_READONLY)) {
      return Win32Failure(what, ERROR_ACCESS_DENIED);
    }
    TempPath temp(FolderOf(path) + NewTempName());
    FileHandle file(CreateFileA(temp.path().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.ok())
      return Win32Failure(what, GetLastError());
    size_t done = 0;
    while (done < text.size()) {
      DWORD wrote = 0;
      DWORD chunk = static_cast<DWORD>(std::min<size_t>(text.size() - done, 1u << 20));
      if (!WriteFile(file.get(), text.data() + done, chunk, &wrote, nullptr)) {
        return Win32Failure(what, GetLastError());
      }
      if (wrote == 0)
        return Win32Failure(what, ERROR_DISK_FULL);
      done += wrote;
    }
    if (!file.Close())
      return Win32Failure(what, GetLastError());
    // The new text keeps the old file's hidden, system and archive marks.
    if (exists)
      SetFileAttributesA(temp.path().c_str(), Settable(old_attr));
    if (!MoveFileExA(temp.path().c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
      return Win32Failure(what, GetLastError());
    }
    temp.Commit();
    return {};
  }

  IoResult WorkingFolder(std::string* folder) override {
    // Asked for its length first, so a folder longer than MAX_PATH is given whole too.
    DWORD needed = GetCurrentDirectoryA(0, nullptr);
    if (needed == 0)
      return Win32Failure("find the current folder", GetLastError());
    std::string buffer(needed, '\0');
    DWORD length = GetCurrentDirectoryA(needed, buffer.data());
    if (length == 0 || length >= needed) {
      return Win32Failure("find the current folder", GetLastError());
    }
    buffer.resize(length);
    *folder = buffer;
    return {};
  }
};

}  // namespace

FileSystem& DefaultFileSystem() {
  static Win32FileSystem fs;
  return fs;
}

}  // namespace platform
