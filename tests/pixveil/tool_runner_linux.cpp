// tool_runner_linux.cpp -- runs the tool through fork and exec with files
// for its standard streams.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "tool_runner.h"

namespace tooltest {

bool OnWindows() { return false; }

std::string ProgramDirectory() {
  char buffer[PATH_MAX];
  ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (length <= 0) return ".";
  std::string path(buffer, static_cast<size_t>(length));
  return path.substr(0, path.find_last_of('/'));
}

std::string ToolPath() { return ProgramDirectory() + "/pixveil"; }

RunResult RunProgram(const std::string &program, const std::vector<std::string> &arguments,
                     const std::string &directory, const std::string &input,
                     const std::vector<std::pair<std::string, std::string>> &environment) {
  RunResult result;
  char inName[] = "/tmp/pixveil-in-XXXXXX";
  char outName[] = "/tmp/pixveil-out-XXXXXX";
  int in = mkstemp(inName);
  int out = mkstemp(outName);
  if (in < 0 || out < 0) return result;
  if (!input.empty() && write(in, input.data(), input.size()) != static_cast<ssize_t>(input.size())) return result;
  lseek(in, 0, SEEK_SET);

  pid_t child = fork();
  if (child == 0) {
    dup2(in, 0);
    dup2(out, 1);
    dup2(out, 2);
    if (chdir(directory.c_str()) != 0) _exit(126);
    // A fixed locale, so the console square is the raw byte unless a test
    // asks for UTF-8 through its environment.
    setenv("LC_ALL", "C", 1);
    unsetenv("LINES");
    for (const auto &entry : environment) setenv(entry.first.c_str(), entry.second.c_str(), 1);
    std::vector<char *> argv;
    argv.push_back(const_cast<char *>(program.c_str()));
    for (const auto &argument : arguments) argv.push_back(const_cast<char *>(argument.c_str()));
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  int status = 0;
  waitpid(child, &status, 0);
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  close(in);
  close(out);
  std::ifstream file(outName, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  result.output = text.str();
  unlink(inName);
  unlink(outName);
  return result;
}

}  // namespace tooltest
