#include "tests/windows/process.h"

#include <windows.h>

#include <algorithm>
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

PipedProcess::PipedProcess(const std::string& command_line, const std::string& working_folder,
                           const std::string& output_folder)
    : err_path_(output_folder + "\\stderr.txt") {
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE reader = nullptr, writer = nullptr;
  if (!CreatePipe(&reader, &writer, &inherit, 4096))
    throw std::runtime_error("cannot make a pipe");
  SetHandleInformation(reader, HANDLE_FLAG_INHERIT, 0);
  reader_ = reader;
  HANDLE in = Inheritable("NUL", GENERIC_READ, OPEN_EXISTING);
  HANDLE err = Inheritable(err_path_, GENERIC_WRITE, CREATE_ALWAYS);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = in;
  startup.hStdOutput = writer;
  startup.hStdError = err;
  PROCESS_INFORMATION process{};
  std::wstring mutable_line = Wide(command_line);
  const BOOL started = CreateProcessW(nullptr, mutable_line.data(), nullptr, nullptr, TRUE, 0,
                                      nullptr, Wide(working_folder).c_str(), &startup, &process);
  CloseHandle(in);
  CloseHandle(err);
  // Only the program holds the writing end now: its end ends the output.
  CloseHandle(writer);
  if (!started)
    throw std::runtime_error("cannot start " + command_line);
  CloseHandle(process.hThread);
  process_ = process.hProcess;
}

PipedProcess::~PipedProcess() {
  if (process_ != nullptr) {
    TerminateProcess(process_, 1);
    CloseHandle(process_);
  }
  CloseHandle(reader_);
}

bool PipedProcess::ReadUntil(const std::string& text, int count) {
  auto seen = [&] {
    int n = 0;
    for (size_t at = out_.find(text); at != std::string::npos; at = out_.find(text, at + 1)) ++n;
    return n;
  };
  char chunk[512];
  DWORD got = 0;
  while (seen() < count) {
    // A little at a time, so the program is not read much further ahead than asked.
    const DWORD want = static_cast<DWORD>(std::min(text.size(), sizeof chunk));
    if (!ReadFile(reader_, chunk, want, &got, nullptr) || got == 0)
      return false;
    out_.append(chunk, got);
  }
  return true;
}

ProcessResult PipedProcess::Finish() {
  char chunk[4096];
  DWORD got = 0;
  while (ReadFile(reader_, chunk, sizeof chunk, &got, nullptr) && got > 0) out_.append(chunk, got);
  ProcessResult result;
  WaitForSingleObject(process_, INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(process_, &code);
  CloseHandle(process_);
  process_ = nullptr;
  result.exit_code = code;
  result.out = out_;
  result.err = Slurp(err_path_);
  return result;
}

std::string ParloconExe() {
  char self[MAX_PATH];
  DWORD length = GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string path(self, length);
  return path.substr(0, path.find_last_of('\\') + 1) + "parlocon.exe";
}

}  // namespace windows_tests
