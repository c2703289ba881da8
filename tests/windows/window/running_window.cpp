#include "tests/windows/window/running_window.h"

#include "engine/platform/win32/win32_text.h"
#include "tests/windows/window/window_tree.h"

namespace window_tests {
namespace {

struct Search {
  DWORD process_id;
  HWND found;
};

BOOL CALLBACK FindOfProcess(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<Search*>(context);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  wchar_t name[32] = {};
  GetClassNameW(window, name, 32);
  if (owner == search->process_id && lstrcmpW(name, L"TfMain") == 0 && IsWindowVisible(window)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

std::string ProgramBeside(const std::string& name) {
  wchar_t self[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring path(self, length);
  return platform::Utf8FromWide(path.substr(0, path.find_last_of(L'\\') + 1)) + name;
}

RunningWindow::RunningWindow(const std::string& arguments) {
  std::wstring line =
      platform::WideFromUtf8("\"" + ProgramBeside("parlowin.exe") + "\" " + arguments);
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process_)) {
    return;
  }
  WaitForInputIdle(process_.hProcess, 30000);
  // A loaded machine may take a while; this only guards against waiting for ever.
  for (int tenth = 0; tenth < 300 && !window_; ++tenth) {
    Search search = {process_.dwProcessId, nullptr};
    EnumWindows(FindOfProcess, reinterpret_cast<LPARAM>(&search));
    window_ = search.found;
    if (!window_)
      Sleep(100);
  }
}

RunningWindow::~RunningWindow() {
  if (!process_.hProcess)
    return;
  if (window_)
    PostMessageW(window_, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(process_.hProcess, 30000) != WAIT_OBJECT_0)
    TerminateProcess(process_.hProcess, 1);
  CloseHandle(process_.hThread);
  CloseHandle(process_.hProcess);
}

}  // namespace window_tests
