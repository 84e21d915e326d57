// system.h -- process-level services: the thread's last system error, module
// file names and the wall clock. The clock can be pinned by tests.
#ifndef QUENDLE_PLATFORM_SYSTEM_H
#define QUENDLE_PLATFORM_SYSTEM_H

#include <cstdint>

namespace platform {

// The calling thread's last system error code, in Windows numbering
// (2 file not found, 3 path not found, 5 access denied, 8 out of memory...).
uint32_t LastError();
// Records an error code as the thread's last error. Only the platform layer
// calls this, after a failed system call, so GetError reports it.
void RecordLastError(uint32_t code);

// Full file name of the library itself / of a module handle (0 = the program).
// Copies at most cap - 1 bytes plus a terminator; returns the length, 0 on failure.
uint32_t LibraryFileName(char *buf, uint32_t cap);
uint32_t ModuleFileName(intptr_t module, char *buf, uint32_t cap);

// Milliseconds field (0..999) of the current UTC time.
uint32_t UtcMilliseconds();

// Tests pin the clock with this; null restores the real clock.
using ClockHook = uint32_t (*)();
void SetClockForTesting(ClockHook hook);

}  // namespace platform

#endif
