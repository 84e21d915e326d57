// dialogue.cpp -- the help pager and the one-key question, drawn on the
// console and answered with single keys.
#include "dialogue.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>

#include "output.h"
#include "platform/console.h"
#include "version.h"

namespace pixveil {

const char *const kHelpLines[kHelpLineCount] = {
    "        Pixveil \xFE  " kToolVersion " \xFE  " kOwnershipNotice " \xFE  " kReleaseDate,
    "",
    " Hides any file inside a two-colour picture, protected by a password",
    "",
    " Encrypts data in either bitmap format or in bitmap format wrapped in Rich Text",
    " The default output format is Rich Text (RTF). Alternate is Bitmap format",
    " Wildcards are permitted but subdirectories are not recursed",
    " Output directory may be a UNC path as \\\\server\\share\\...)",
    "",
    " Syntax:          Pixveil.exe <filespec> [output-path] [/switches]",
    "",
    " Switches:        (Pixveil requires Arbolet DLL - QUENDLE.DLL)",
    "",
    " /P:<password>    Specify a mandatory encryption password",
    " /Y               Don't confirm each action for multiple files and overwrites",
    " /Q               Quiet mode (minimum messages)",
    " /NC              No automatic RLE compression on encryption",
    " /NM              No warning message text in RTF files (use a GUID instead)",
    " /BMP             Generate 2-colour bitmap output instead of Rich Text (RTF)",
    " /F:RRGGBB        Set BMP foreground colour using 6-digit RGB hex colour value",
    " /B:RRGGBB        Set BMP background colour using 6-digit RGB hex colour value",
    " /D               Decrypt a file encrypted with Pixveil or Notewell",
    " /I               File information. Specify a password to get encrypted info",
    " /DLLVER          Check Arbolet DLL used or required (QUENDLE.DLL)",
    "",
    " Website:         " kWebAddress,
    "",
};

namespace {

// A window too small to say (or none at all) pages as a 25-row one would.
constexpr int kFallbackPage = 23;

int PageLength() {
  int page = std::min(os::WindowHeight() - 2, kHelpLineCount);
  return page >= 1 ? page : kFallbackPage;
}

// Holds the keyboard for one question.
class KeyInput {
 public:
  KeyInput() { os::BeginKeyInput(); }
  ~KeyInput() { os::EndKeyInput(); }
  KeyInput(const KeyInput &) = delete;
  KeyInput &operator=(const KeyInput &) = delete;
};

int WaitKey(const char *prompt) {
  KeyInput keyboard;
  os::DiscardWaitingKeys();
  if (prompt && *prompt) PrintConsole("%s", prompt);
  while (!os::KeyWaiting()) os::SleepMilliseconds(50);
  PrintConsole("\n");
  return os::ReadKey();
}

// One key, read at once and without echo.
int ReadOneKey() {
  KeyInput keyboard;
  return os::ReadKey();
}

void DrawHelpLine(int line, uint32_t background, uint32_t normal) {
  if (line == 0) {
    SetAttribute((background & 0x80) ? background : (background | 0x0F));
    PrintConsole("%-79s", kHelpLines[0]);
    SetAttribute(normal);
    Print("\n");
  } else {
    Print("%s\r\n", kHelpLines[line]);
  }
}

[[noreturn]] void CloseHelp(uint32_t normal) {
  SetAttribute(normal);
  ExitTool(0);
}

}  // namespace

void ShowHelp(uint32_t background, uint32_t attributeA, uint32_t attributeB) {
  const uint32_t normal = attributeA | attributeB;
  SetAttribute(normal);
  os::ClearScreen();
  int start = 0;
  for (;;) {
    int page = PageLength();
    for (int line = start; line < kHelpLineCount; ++line) {
      page = PageLength();
      DrawHelpLine(line, background, normal);
      if (line < 1 || (line + 1) % page != 0) continue;
      int key = WaitKey("-- More (ESC quits) --");
      os::CursorUpOneRow();
      if (key == os::kKeyEscape) CloseHelp(normal);
      if (key != os::kKeyExtended) continue;
      int next = line + 1;
      switch (ReadOneKey()) {
        case os::kScanHome: next = 0; break;
        case os::kScanPageDown:
        case os::kScanDown: break;
        case os::kScanEnd: next = kHelpLineCount - (kHelpLineCount % page); break;
        case os::kScanPageUp:
        case os::kScanUp: next = std::max(line - 2 * page + 1, 0); break;
        default: continue;
      }
      os::ClearScreen();
      line = next - 1;
    }
    SetAttribute(kEndPrompt);
    Print("-- End - ESC to Close --");
    SetAttribute(normal);
    int key = ReadOneKey();
    os::CursorUpOneRow();
    if (key == os::kKeyEscape) CloseHelp(normal);
    if (key == os::kKeyExtended) {
      int scan = ReadOneKey();
      if (scan == os::kScanPageUp || scan == os::kScanUp)
        start = std::max(kHelpLineCount - (kHelpLineCount % page) - std::min(page, kHelpLineCount), 0);
      else if (scan == os::kScanHome)
        start = 0;
    }
    SetAttribute(normal);
    os::ClearScreen();
  }
}

int ParseKeyList(const char *keys, char *list, int capacity) {
  if (!keys || !*keys) return -4;
  const char *p = keys;
  while (*p == ' ' || *p == '\t') ++p;
  if (*p == '-') ++p;
  std::string built;
  while (*p) {
    char c = *p;
    if (p[1] == '-') {
      char end = p[2];
      if (end == '\0') return -1;
      if (!std::isalnum(static_cast<unsigned char>(c)) || !std::isalnum(static_cast<unsigned char>(end)))
        return -2;
      int from = std::toupper(static_cast<unsigned char>(c));
      int to = std::toupper(static_cast<unsigned char>(end));
      if (to < from) return -3;
      for (int k = from; k < to; ++k) built.push_back(static_cast<char>(k));
      p += 2;  // the end is read next as an ordinary character
      continue;
    }
    if (c != '-') built.push_back(c);
    ++p;
  }
  int count = 0;
  for (char c : built) {
    char up = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (up == ' ' || std::memchr(list, up, static_cast<size_t>(count))) continue;
    if (count >= capacity - 1) break;
    list[count++] = up;
  }
  list[count] = '\0';
  return count;
}

int AskKey(const char *keys, int *indexOut, bool echo, bool anyKey, int timeoutSeconds,
           uint32_t attributeA, uint32_t attributeB) {
  if (!keys || !*keys) return -4;
  if (indexOut) *indexOut = 0;
  char list[257] = {0};
  int count = ParseKeyList(keys, list, sizeof list);
  if (count < 0) return count;

  SetAttribute(attributeA | attributeB);
  int column = 0, row = 0;
  if (count > 0) {
    os::CursorPosition(&column, &row);
    std::string offer = " (";
    for (int i = 0; i < count; ++i) {
      if (i) offer.push_back('-');
      offer.push_back(list[i]);
    }
    offer += ") ?";
    PrintConsole("%s", offer.c_str());
  } else {
    anyKey = true;
  }
  PrintConsole(" : ");
  uint32_t started = timeoutSeconds > 0 ? os::UtcMillisecondsOfDay() : 0;
  KeyInput keyboard;

  int key = 0;
  bool answered = false;
  for (;;) {
    if (timeoutSeconds > 0) {
      uint32_t elapsed = os::UtcMillisecondsOfDay() - started;
      if (elapsed >= static_cast<uint32_t>(timeoutSeconds) * 1000u) {
        SetAttribute(kNormal);
        int nowColumn = 0, nowRow = 0;
        os::CursorPosition(&nowColumn, &nowRow);
        os::MoveCursor(column, nowRow);
        Print("-     ");
        SetAttribute(kNormal);
        PrintConsole("\n");
        return 0;
      }
      int noteColumn = 0, noteRow = 0;
      os::CursorPosition(&noteColumn, &noteRow);
      PrintConsole("%-5.i", static_cast<int>(timeoutSeconds - elapsed / 1000));
      os::MoveCursor(noteColumn, noteRow);
    }
    if (os::KeyWaiting()) {
      key = std::toupper(os::ReadKey());
      // A navigation key's scan code would otherwise read as a letter
      // (Page Down as Q) and answer the question.
      if (key == os::kKeyExtended || key == 0) {
        os::ReadKey();
        key = 0;
      }
      const char *hit = key > 0 ? static_cast<const char *>(std::memchr(list, key, count)) : nullptr;
      if (hit) {
        answered = true;
        if (indexOut) *indexOut = static_cast<int>(hit - list) + 1;
      }
    }
    os::SleepMilliseconds(100);
    if (answered || (!anyKey && (key == os::kKeyEscape || key == os::kKeyEnter))) break;
  }
  if (echo) {
    if (key > 32)
      PrintConsole("%c     ", key);
    else
      PrintConsole("-     ");
  }
  SetAttribute(kNormal);
  PrintConsole("\n");
  return key;
}

}  // namespace pixveil
