// tool_runner.h -- runs the built pixveil in a directory with scripted input
// and collects what it printed and its exit code.
#ifndef TESTS_PIXVEIL_TOOL_RUNNER_H
#define TESTS_PIXVEIL_TOOL_RUNNER_H

#include <string>
#include <utility>
#include <vector>

namespace tooltest {

struct RunResult {
  int exitCode = -1;
  std::string output;  // standard output and error, line ends as written
};

// The tool beside the test program (pixveil or pixveil.exe).
std::string ToolPath();
// The folder of the running test program.
std::string ProgramDirectory();

// Runs program with arguments in directory, input fed to standard input
// (then end of input); environment entries are added (Linux only).
RunResult RunProgram(const std::string &program, const std::vector<std::string> &arguments,
                     const std::string &directory, const std::string &input,
                     const std::vector<std::pair<std::string, std::string>> &environment = {});

// True on the Windows build.
bool OnWindows();

}  // namespace tooltest

#endif
