// dialogue.h -- the paged help screen and the one-key question.
#ifndef PIXVEIL_DIALOGUE_H
#define PIXVEIL_DIALOGUE_H

#include <cstdint>

namespace pixveil {

// Number of help lines; line 0 is the banner.
constexpr int kHelpLineCount = 27;
extern const char *const kHelpLines[kHelpLineCount];

// Pages through the help; ESC ends the program with exit code 0.
[[noreturn]] void ShowHelp(uint32_t background, uint32_t attributeA, uint32_t attributeB);

// Asks for one key of a list ("YNAQ", ranges such as "A-D"). Returns the
// upper-cased key, 27 for ESC, 13 for Enter, 0 when the timeout (seconds,
// 0 = none) ran out, or -4 empty list, -2 range end not a letter or digit,
// -1 range without an end, -3 range end before its start.
int AskKey(const char *keys, int *indexOut, bool echo, bool anyKey, int timeoutSeconds,
           uint32_t attributeA, uint32_t attributeB);

// Builds the key list AskKey offers; a negative code for a bad list.
int ParseKeyList(const char *keys, char *list, int capacity);

}  // namespace pixveil

#endif
