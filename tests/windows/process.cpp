#include "tests/windows/process.h"

#include <windows.h>

#include <fstream>
#include <sstream>
#include <stdexcept>

#include "tests/windows/unicode_files.h"

namespace windows_tests {
namespace {

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

HANDLE Inheritable(const std::string& path, DWORD access, DWORD disposition) {
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE h = CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                         disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE)
    throw std::runtime_error("cannot open " + path);
  return h;
}

}  // namespace

ProcessResult RunCommandLine(const std::string& command_line, const std::string& working_folder,
                             const std::string& output_folder, StdOut std_out, StdErr std_err) {
  const std::string out_path = output_folder + "\\stdout.txt";
  const std::string err_path = output_folder + "\\stderr.txt";
  const bool console = std_out == StdOut::kConsole;
  HANDLE in = Inheritable("NUL", GENERIC_READ, OPEN_EXISTING);
  HANDLE err = nullptr;
  if (console) {
  } else if (std_err == StdErr::kFile) {
    err = Inheritable(err_path, GENERIC_WRITE, CREATE_ALWAYS);
  } else if (std_err == StdErr::kStale) {
    err = reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(0x7ff0));  // closed long ago, say
  }
  HANDLE out = nullptr;
  if (std_out == StdOut::kFile) {
    out = Inheritable(out_path, GENERIC_WRITE, CREATE_ALWAYS);
  } else if (std_out == StdOut::kClosedPipe) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE reader = nullptr;
    if (!CreatePipe(&reader, &out, &inherit, 0))
      throw std::runtime_error("cannot make a pipe");
    CloseHandle(reader);
  }

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  if (!console) {
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = in;
    startup.hStdOutput = out;
    startup.hStdError = err;
  }
  PROCESS_INFORMATION process{};
  std::wstring mutable_line = Wide(command_line);
  BOOL started = CreateProcessW(nullptr, mutable_line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                Wide(working_folder).c_str(), &startup, &process);
  CloseHandle(in);
  if (!console && std_err == StdErr::kFile)
    CloseHandle(err);
  if (out != nullptr)
    CloseHandle(out);
  if (!started)
    throw std::runtime_error("cannot start " + command_line);

  ProcessResult result;
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  result.exit_code = code;
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  if (std_out == StdOut::kFile)
    result.out = Slurp(out_path);
  if (!console && std_err == StdErr::kFile)
    result.err = Slurp(err_path);
  return result;
}

std::string ParloconExe() {
  char self[MAX_PATH];
  DWORD length = GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string path(self, length);
  return path.substr(0, path.find_last_of('\\') + 1) + "parlocon.exe";
}

}  // namespace windows_tests
