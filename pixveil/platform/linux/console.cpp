// console.cpp (Linux) -- the console seen through a terminal, or through
// plain standard input and output when a script drives the tool.
#include "platform/console.h"

#include <langinfo.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

namespace os {
namespace {

bool gOutputIsTerminal = false;
bool gInputIsTerminal = false;
bool gUtf8 = false;
bool gInputEnded = false;
// Bytes read ahead while decoding an escape sequence, handed out next.
std::string gPending;

const char kSquareUtf8[] = "\xE2\x96\xA0";

// Raw mode only while a key is awaited, so the terminal is back to normal
// whenever the tool prints, and at exit.
termios gSavedTerminal{};
int gRawDepth = 0;
bool gRawActive = false;

void RestoreTerminal() {
  if (gRawActive) tcsetattr(STDIN_FILENO, TCSANOW, &gSavedTerminal);
  gRawActive = false;
}

void EnterRawMode() {
  if (!gInputIsTerminal || gRawActive || tcgetattr(STDIN_FILENO, &gSavedTerminal) != 0) return;
  termios raw = gSavedTerminal;
  raw.c_lflag &= ~(ICANON | ECHO);
  raw.c_iflag &= ~(ICRNL);
  raw.c_cc[VMIN] = 1;
  raw.c_cc[VTIME] = 0;
  gRawActive = tcsetattr(STDIN_FILENO, TCSANOW, &raw) == 0;
}

// For a single read outside any Begin/End pair.
class RawMode {
 public:
  RawMode() { BeginKeyInput(); }
  ~RawMode() { EndKeyInput(); }
};

bool InputReady(int timeoutMs) {
  pollfd pfd{STDIN_FILENO, POLLIN, 0};
  return poll(&pfd, 1, timeoutMs) > 0;
}

// One byte of input; -1 at end of input.
int ReadByte() {
  if (!gPending.empty()) {
    int c = static_cast<unsigned char>(gPending[0]);
    gPending.erase(0, 1);
    return c;
  }
  if (gInputEnded) return -1;
  unsigned char c;
  for (;;) {
    ssize_t got = read(STDIN_FILENO, &c, 1);
    if (got == 1) return c;
    if (got < 0 && errno == EINTR) continue;
    gInputEnded = true;
    return -1;
  }
}

// Terminal escape sequences of the navigation keys, as scan codes.
int ScanCodeOfSequence(const std::string &seq) {
  static const struct {
    const char *sequence;
    int scan;
  } kSequences[] = {
      {"[A", kScanUp},   {"OA", kScanUp},       {"[B", kScanDown},     {"OB", kScanDown},
      {"[H", kScanHome}, {"OH", kScanHome},     {"[1~", kScanHome},    {"[7~", kScanHome},
      {"[F", kScanEnd},  {"OF", kScanEnd},      {"[4~", kScanEnd},     {"[8~", kScanEnd},
      {"[5~", kScanPageUp}, {"[6~", kScanPageDown},
  };
  for (const auto &entry : kSequences)
    if (seq == entry.sequence) return entry.scan;
  return 0;
}

// After an ESC: a navigation key's sequence becomes the extended prefix and
// its scan code; anything else leaves a plain ESC and keeps what followed.
int DecodeEscape() {
  int waitMs = gInputIsTerminal ? 30 : 0;
  if (!gPending.empty() || !InputReady(waitMs)) return kKeyEscape;
  std::string seq;
  for (int i = 0; i < 3; ++i) {
    if (gPending.empty() && !InputReady(waitMs)) break;
    int c = ReadByte();
    if (c < 0) break;
    seq.push_back(static_cast<char>(c));
    if (seq.size() >= 2 && (std::isalpha(static_cast<unsigned char>(c)) || c == '~')) break;
    if (seq.size() == 1 && seq[0] != '[' && seq[0] != 'O') break;
  }
  int scan = ScanCodeOfSequence(seq);
  if (scan != 0) {
    gPending.insert(gPending.begin(), static_cast<char>(scan));
    return kKeyExtended;
  }
  gPending.insert(0, seq);
  return kKeyEscape;
}

void Emit(const char *text) {
  std::fputs(text, stdout);
}

}  // namespace

void BeginKeyInput() {
  if (gRawDepth++ == 0) EnterRawMode();
}

void EndKeyInput() {
  if (gRawDepth > 0 && --gRawDepth == 0) RestoreTerminal();
}

void InitConsole() {
  std::atexit(RestoreTerminal);
  gOutputIsTerminal = isatty(STDOUT_FILENO) == 1;
  gInputIsTerminal = isatty(STDIN_FILENO) == 1;
  std::setlocale(LC_CTYPE, "");
  const char *codeset = nl_langinfo(CODESET);
  gUtf8 = codeset && (std::strcmp(codeset, "UTF-8") == 0 || std::strcmp(codeset, "utf8") == 0);
  std::setlocale(LC_CTYPE, "C");
}

void WriteOut(const char *text, size_t length) {
  if (!gUtf8) {
    std::fwrite(text, 1, length, stdout);
    return;
  }
  size_t start = 0;
  for (size_t i = 0; i < length; ++i) {
    if (static_cast<unsigned char>(text[i]) != 0xFE) continue;
    std::fwrite(text + start, 1, i - start, stdout);
    std::fwrite(kSquareUtf8, 1, sizeof kSquareUtf8 - 1, stdout);
    start = i + 1;
  }
  std::fwrite(text + start, 1, length - start, stdout);
}

void WriteConsoleText(const char *text, size_t length) {
  WriteOut(text, length);
  std::fflush(stdout);
}

void SetTextAttribute(uint16_t attribute) {
  if (!gOutputIsTerminal) return;
  if ((attribute & 0xFF) == 7) {
    Emit("\x1b[0m");
    return;
  }
  // Console colour bits are blue 1, green 2, red 4; terminal colours red 1,
  // green 2, blue 4.
  auto ansi = [](unsigned bits) { return ((bits & 4) ? 1 : 0) | (bits & 2) | ((bits & 1) ? 4 : 0); };
  unsigned fg = attribute & 0x0F, bg = (attribute >> 4) & 0x0F;
  char sequence[32];
  std::snprintf(sequence, sizeof sequence, "\x1b[0;%u;%um", (fg & 8 ? 90u : 30u) + ansi(fg),
                (bg & 8 ? 100u : 40u) + ansi(bg));
  Emit(sequence);
}

void ClearScreen() {
  if (!gOutputIsTerminal) return;
  Emit("\x1b[2J\x1b[H");
  std::fflush(stdout);
}

int WindowHeight() {
  winsize size{};
  if (gOutputIsTerminal && ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_row > 0)
    return size.ws_row;
  // Without a terminal the conventional LINES variable says how tall the
  // page is, so paged output can still be driven by a script.
  if (const char *lines = std::getenv("LINES")) {
    int rows = std::atoi(lines);
    if (rows > 0) return rows;
  }
  return 0;
}

bool CursorPosition(int *column, int *row) {
  *column = 0;
  *row = 0;
  return false;
}

void MoveCursor(int, int) {}

void CursorUpOneRow() {
  if (!gOutputIsTerminal) return;
  Emit("\x1b[A");
  std::fflush(stdout);
}

bool KeyWaiting() {
  if (!gPending.empty() || gInputEnded) return true;
  RawMode raw;
  return InputReady(0);
}

int ReadKey() {
  std::fflush(stdout);
  RawMode raw;
  int c = ReadByte();
  if (c < 0) return kKeyEscape;
  if (c == '\n' || c == '\r') return kKeyEnter;
  if (c == kKeyEscape) return DecodeEscape();
  return c;
}

void DiscardWaitingKeys() {
  if (!gInputIsTerminal) return;
  gPending.clear();
  tcflush(STDIN_FILENO, TCIFLUSH);
}

void SleepMilliseconds(unsigned milliseconds) {
  usleep(milliseconds * 1000u);
}

uint32_t UtcMillisecondsOfDay() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  return static_cast<uint32_t>((now.tv_sec % 86400) * 1000 + now.tv_nsec / 1000000);
}

}  // namespace os
