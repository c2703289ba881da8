// parlowin.exe: the window that edits a settings file and runs it.
#include <windows.h>

#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>

#include <exception>
#include <new>
#include <string>
#include <vector>

#include "console/command_line.h"
#include "engine/platform/win32/win32_text.h"
#include "engine/version.h"
#include "form/main_form.h"
#include "form/path_texts.h"
#include "wingui/dialogs.h"
#include "wingui/tf_main.h"

namespace {

constexpr char kUsage[] =
    "Usage: parlowin [SETTINGS-FILE]\n"
    "       parlowin --help | --version\n"
    "\n"
    "Opens the window that edits SETTINGS-FILE and runs it. A name without \"\\\" is taken\n"
    "from the folder of the program file or, where the user may not write there, from\n"
    "%APPDATA%\\Parlowen.\n";

std::wstring ProgramPath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

// The folder without its last "\", but for a drive's root, which keeps it.
std::wstring FolderOf(const std::wstring& path) {
  const size_t slash = path.find_last_of(L"\\/");
  if (slash == std::wstring::npos)
    return L"";
  if (slash == 2 && path[1] == L':')
    return path.substr(0, 3);
  return path.substr(0, slash);
}

std::string UserSettingsFolder() {
  wchar_t folder[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder)) ||
      folder[0] == L'\0') {
    return {};
  }
  return platform::Utf8FromWide(std::wstring(folder) + L"\\Parlowen");
}

// --help and --version answer on standard output where the program has one (a window program
// started from a console has none unless it is redirected), else in a box.
int Answer(const std::string& text) {
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  DWORD written = 0;
  if (out && out != INVALID_HANDLE_VALUE &&
      WriteFile(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr)) {
    return written == text.size() ? 0 : 1;
  }
  MessageBoxW(nullptr, wingui::Wide(text).c_str(), L"parlowin", MB_OK | MB_ICONINFORMATION);
  return 0;
}

int Main(HINSTANCE instance, int show_command) {
  // The program's own splitting rules, as parlocon's: a backslash is never an escape, and the
  // wide form holds every name whatever the ANSI code page.
  std::vector<std::string> arguments =
      console::SplitCommandLine(platform::Utf8FromWide(GetCommandLineW()));
  form::FormContext context;
  if (arguments.size() > 1)
    context.parameters.assign(arguments.begin() + 1, arguments.end());
  if (context.parameters.size() == 1 && context.parameters[0] == "--version")
    return Answer(std::string("parlowin ") + engine::kVersion + "\n");
  if (context.parameters.size() == 1 && context.parameters[0] == "--help")
    return Answer(kUsage);

  const std::wstring program = ProgramPath();
  context.program_folder = platform::Utf8FromWide(FolderOf(program));
  context.program_file = platform::Utf8FromWide(program.substr(program.find_last_of(L"\\/") + 1));
  context.user_folder = UserSettingsFolder();

  // The folder dialog is a COM object of the shell.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  INITCOMMONCONTROLSEX common = {sizeof(common), ICC_STANDARD_CLASSES | ICC_TAB_CLASSES};
  InitCommonControlsEx(&common);
  wingui::RegisterWindowClasses(instance);

  int code = 1;
  {
    wingui::Win32Dialogs dialogs;
    wingui::TfMain fMain(instance, dialogs, std::move(context));
    if (HWND window = fMain.Create(show_command)) {
      dialogs.SetOwner(window);
      MSG message;
      while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (fMain.HandleKey(message))
          continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
      }
      code = 0;
    }
  }
  if (SUCCEEDED(com))
    CoUninitialize();
  return code;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show_command) {
  // No exception leaves the program but through a box that says what happened.
  try {
    return Main(instance, show_command);
  } catch (const std::bad_alloc&) {
    MessageBoxW(nullptr, L"Out of memory.", L"Parlowin", MB_OK | MB_ICONERROR);
  } catch (const std::exception& e) {
    MessageBoxW(nullptr, wingui::Wide(form::WithFullStop(e.what())).c_str(), L"Parlowin",
                MB_OK | MB_ICONERROR);
  }
  return 1;
}
