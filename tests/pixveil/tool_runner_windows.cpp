// tool_runner_windows.cpp -- runs the tool with CreateProcess, its standard
// streams on files and no console of its own, as a script would.
#include <windows.h>

#include <fstream>
#include <sstream>

#include "tool_runner.h"

namespace tooltest {

bool OnWindows() { return true; }

std::string ProgramDirectory() {
  char buffer[MAX_PATH + 1];
  DWORD length = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
  std::string path(buffer, length);
  return path.substr(0, path.find_last_of("\\/"));
}

std::string ToolPath() { return ProgramDirectory() + "\\pixveil.exe"; }

namespace {

std::string Quote(const std::string &argument) {
  if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) return argument;
  std::string quoted = "\"";
  size_t slashes = 0;
  for (char c : argument) {
    if (c == '\\') {
      ++slashes;
      continue;
    }
    quoted.append(c == '"' ? slashes * 2 + 1 : slashes, '\\');
    slashes = 0;
    quoted.push_back(c);
  }
  quoted.append(slashes * 2, '\\');
  return quoted + "\"";
}

std::string TempName(const char *prefix) {
  char directory[MAX_PATH + 1], name[MAX_PATH + 1];
  GetTempPathA(sizeof directory, directory);
  GetTempFileNameA(directory, prefix, 0, name);
  return name;
}

}  // namespace

RunResult RunProgram(const std::string &program, const std::vector<std::string> &arguments,
                     const std::string &directory, const std::string &input,
                     const std::vector<std::pair<std::string, std::string>> &) {
  RunResult result;
  const std::string inName = TempName("pvi"), outName = TempName("pvo");
  {
    std::ofstream file(inName, std::ios::binary);
    file << input;
  }
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  HANDLE in = CreateFileA(inName.c_str(), GENERIC_READ, FILE_SHARE_READ, &inherit, OPEN_EXISTING, 0, nullptr);
  HANDLE out = CreateFileA(outName.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
  std::string commandLine = Quote(program);
  for (const auto &argument : arguments) commandLine += " " + Quote(argument);

  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = in;
  startup.hStdOutput = out;
  startup.hStdError = out;
  PROCESS_INFORMATION process = {};
  if (CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, TRUE, DETACHED_PROCESS, nullptr,
                     directory.c_str(), &startup, &process)) {
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    result.exitCode = static_cast<int>(code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  CloseHandle(in);
  CloseHandle(out);
  std::ifstream file(outName, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  // The console runtime writes each line end as CR LF; the tests compare
  // the text as written on Linux.
  std::string raw = text.str();
  for (size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n') continue;
    result.output.push_back(raw[i]);
  }
  DeleteFileA(inName.c_str());
  DeleteFileA(outName.c_str());
  return result;
}

}  // namespace tooltest
