// console.cpp (Windows) -- the console API for colours, screen and cursor;
// the runtime's key functions for keys. When standard input is no console
// (a script pipes the answers in), keys are its bytes instead.
#include "platform/console.h"

#include <windows.h>
#include <conio.h>

#include <cstdio>

namespace os {
namespace {

HANDLE gOutput = INVALID_HANDLE_VALUE;
HANDLE gConsole = INVALID_HANDLE_VALUE;
bool gKeysFromConsole = false;
bool gInputEnded = false;

bool ScreenInfo(CONSOLE_SCREEN_BUFFER_INFO *info) {
  return gOutput != INVALID_HANDLE_VALUE && GetConsoleScreenBufferInfo(gOutput, info) != 0;
}

// Standard input when it is a pipe or file: one byte, -1 at its end.
int ReadInputByte() {
  if (gInputEnded) return -1;
  int c = std::getchar();
  if (c == EOF) {
    gInputEnded = true;
    return -1;
  }
  return c;
}

}  // namespace

void InitConsole() {
  gOutput = GetStdHandle(STD_OUTPUT_HANDLE);
  DWORD mode = 0;
  gKeysFromConsole = GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode) != 0;
  // Prompts go to the console device itself, also when output is redirected;
  // without a console they join standard output.
  gConsole = CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, 0, nullptr);
  if (gConsole != INVALID_HANDLE_VALUE && GetConsoleMode(gConsole, &mode) == 0) {
    CloseHandle(gConsole);
    gConsole = INVALID_HANDLE_VALUE;
  }
}

void WriteOut(const char *text, size_t length) {
  std::fwrite(text, 1, length, stdout);
}

void WriteConsoleText(const char *text, size_t length) {
  std::fflush(stdout);
  if (gConsole == INVALID_HANDLE_VALUE) {
    std::fwrite(text, 1, length, stdout);
    std::fflush(stdout);
    return;
  }
  DWORD written = 0;
  WriteFile(gConsole, text, static_cast<DWORD>(length), &written, nullptr);
}

void SetTextAttribute(uint16_t attribute) {
  std::fflush(stdout);
  if (gOutput != INVALID_HANDLE_VALUE) SetConsoleTextAttribute(gOutput, attribute);
}

void ClearScreen() {
  std::fflush(stdout);
  CONSOLE_SCREEN_BUFFER_INFO info;
  if (!ScreenInfo(&info)) return;
  const DWORD cells = static_cast<DWORD>(info.dwSize.X) * static_cast<DWORD>(info.dwSize.Y);
  COORD home = {0, 0};
  DWORD done = 0;
  FillConsoleOutputCharacterA(gOutput, ' ', cells, home, &done);
  FillConsoleOutputAttribute(gOutput, info.wAttributes, cells, home, &done);
  SetConsoleCursorPosition(gOutput, home);
}

int WindowHeight() {
  CONSOLE_SCREEN_BUFFER_INFO info;
  if (!ScreenInfo(&info)) return 0;
  return info.srWindow.Bottom - info.srWindow.Top + 1;
}

bool CursorPosition(int *column, int *row) {
  CONSOLE_SCREEN_BUFFER_INFO info;
  if (!ScreenInfo(&info)) {
    *column = 0;
    *row = 0;
    return false;
  }
  *column = info.dwCursorPosition.X + 1;
  *row = info.dwCursorPosition.Y + 1;
  return true;
}

void MoveCursor(int column, int row) {
  std::fflush(stdout);
  if (gOutput == INVALID_HANDLE_VALUE) return;
  COORD at;
  at.X = static_cast<SHORT>(column > 1 ? column - 1 : 0);
  at.Y = static_cast<SHORT>(row > 1 ? row - 1 : 0);
  SetConsoleCursorPosition(gOutput, at);
}

void CursorUpOneRow() {
  int column = 0, row = 0;
  if (CursorPosition(&column, &row)) MoveCursor(column, row - 1);
}

// The runtime's key functions read the console without echo already.
void BeginKeyInput() {}
void EndKeyInput() {}

bool KeyWaiting() {
  if (gKeysFromConsole) return _kbhit() != 0;
  return true;  // a pipe or file answers at once, or ends
}

int ReadKey() {
  std::fflush(stdout);
  if (gKeysFromConsole) return _getch();
  int c = ReadInputByte();
  if (c < 0) return kKeyEscape;
  if (c == '\n' || c == '\r') return kKeyEnter;
  return c;
}

void DiscardWaitingKeys() {
  if (!gKeysFromConsole) return;
  while (_kbhit()) _getch();
}

void SleepMilliseconds(unsigned milliseconds) {
  Sleep(milliseconds);
}

uint32_t UtcMillisecondsOfDay() {
  SYSTEMTIME now;
  GetSystemTime(&now);
  return ((now.wHour * 60u + now.wMinute) * 60u + now.wSecond) * 1000u + now.wMilliseconds;
}

}  // namespace os
