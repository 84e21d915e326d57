// identity.cpp -- the library's fixed identity and its own file name.
#include "frame/bytestring.h"
#include "platform/system.h"

namespace {

constexpr int32_t kVersion = 137;  // 1.37; the tool refuses anything older
constexpr char kFileName[] = "quendle.dll";
constexpr char kBuildDate[] = "20110401";
constexpr char kBuildTime[] = "21:55:32";
constexpr uint32_t kMaxPath = 260;

}  // namespace

QUENDLE_API int32_t QCALL LibVersion(void) { return kVersion; }
QUENDLE_API ByteString QCALL LibName(void) { return frame::NewTextString(kFileName); }
QUENDLE_API ByteString QCALL LibDate(void) { return frame::NewTextString(kBuildDate); }
QUENDLE_API ByteString QCALL LibTime(void) { return frame::NewTextString(kBuildTime); }

// This is the ANSI build; CheckNull has always given the same constant.
QUENDLE_API int32_t QCALL LibUnicode(void) { return 0; }
QUENDLE_API int32_t QCALL CheckNull(void) { return 0; }

QUENDLE_API ByteString QCALL GetDLLFileName(void) {
  char name[kMaxPath + 1];
  if (platform::LibraryFileName(name, sizeof name) == 0) return nullptr;
  return frame::NewTextString(name);
}

QUENDLE_API ByteString QCALL GetAppFileName(int32_t module) {
  char name[kMaxPath + 1];
  if (platform::ModuleFileName(module, name, sizeof name) == 0) return nullptr;
  return frame::NewTextString(name);
}
