// container_fuzz.cpp -- libFuzzer target for the paths that read files made
// by others: decryption and the information report, on any bytes at all.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "container.h"
#include "platform/console.h"

namespace fs = std::filesystem;

namespace {

struct Workspace {
  fs::path root;
  fs::path input;
  fs::path output;
  Workspace() {
    root = fs::temp_directory_path() / ("pixveil-fuzz-" + std::to_string(getpid()));
    fs::create_directories(root / "out");
    input = root / "input.rtf";
    output = root / "out";
    // The report's lines are of no interest here; keep the fuzzer's own
    // messages on standard error.
    if (!std::freopen("/dev/null", "w", stdout)) std::abort();
    os::InitConsole();
  }
};

void PatchForPassword(std::string *bytes) {
  const size_t probe = bytes->size() < pixveil::kProbeSize ? bytes->size() : pixveil::kProbeSize;
  const long marker = pixveil::FindHeaderMarker(bytes->data(), probe);
  if (marker < 0 || static_cast<size_t>(marker) + pixveil::kFixedHeaderLength > bytes->size()) return;
  std::string text(bytes->data(), probe);
  long offset = 0;
  int32_t count = 0;
  uint32_t recorded = static_cast<uint32_t>(bytes->size());
  if (pixveil::FindRtfPicture(text.c_str(), text.size(), &offset, &count)) recorded = static_cast<uint32_t>(count);
  char field[4];
  for (int i = 0; i < 4; ++i) field[i] = static_cast<char>((recorded >> (8 * i)) & 0xFF);
  pixveil::HeaderCipher(field, 4, "secret1");
  bytes->replace(static_cast<size_t>(marker) + pixveil::kRecordedSizeOffset, 4, field, 4);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  static Workspace workspace;
  // An odd first byte asks for the recorded size to be made right for the
  // password, so the fuzzer reaches the stages behind the password check.
  if (size == 0) return 0;
  const bool patch = data[0] & 1;
  std::string bytes(reinterpret_cast<const char *>(data) + 1, size - 1);
  if (patch) PatchForPassword(&bytes);
  {
    std::ofstream file(workspace.input, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  const std::string input = workspace.input.string();
  const std::string output = workspace.output.string() + "/";
  bool confirm = false;
  pixveil::DecryptFile(input.c_str(), output.c_str(), "secret1", pixveil::kTableKey, &confirm, 7, 0, false);
  pixveil::ShowFileInfo(input.c_str(), "input.rtf", "secret1", 7, 0);
  pixveil::ShowFileInfo(input.c_str(), "input.rtf", "", 7, 0);
  // Nothing may land outside the output directory.
  for (const auto &entry : fs::directory_iterator(workspace.root)) {
    const std::string name = entry.path().filename().string();
    if (name != "out" && name != "input.rtf") std::abort();
  }
  for (const auto &entry : fs::directory_iterator(workspace.output)) fs::remove_all(entry.path());
  return 0;
}
