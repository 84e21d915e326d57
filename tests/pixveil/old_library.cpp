// old_library.cpp -- a stand-in for a library older than the tool needs: it
// answers LibVersion with 136 and offers every other name the tool binds, so
// the tool loads and then refuses it. Nothing here is ever meant to work.
#include <cstdlib>

#include "quendle.h"

QUENDLE_API int32_t QCALL LibVersion(void) { return 136; }
QUENDLE_API ByteString QCALL LibDate(void) { return nullptr; }
QUENDLE_API ByteString QCALL LibTime(void) { return nullptr; }
QUENDLE_API ByteString QCALL GetDLLFileName(void) { return nullptr; }
QUENDLE_API int32_t QCALL SysLen(const char *) { return 0; }
QUENDLE_API double QCALL HexToLong(const char *) { return 0; }
QUENDLE_API int16_t QCALL DirExists(const char *) { return 0; }
QUENDLE_API int32_t QCALL FileCount(const char *) { return 0; }
QUENDLE_API int32_t QCALL FileLength(const char *) { return 0; }
QUENDLE_API ByteString QCALL ReadFileToString(const char *, int32_t, int16_t *) { return nullptr; }
QUENDLE_API ByteString QCALL CreateGUID(int16_t) { return nullptr; }
QUENDLE_API int16_t QCALL RLECompressible(const char *) { return 0; }
QUENDLE_API int16_t QCALL RLECompress(const char *, ByteString *, int32_t *) { return 0; }
QUENDLE_API int16_t QCALL RLECompressed(const char *) { return 0; }
QUENDLE_API int16_t QCALL RLEUncompress(const char *, ByteString *, int32_t *) { return 0; }
QUENDLE_API int16_t QCALL StringToBMP(const char *, int32_t, ByteString *, int32_t *, int32_t, int32_t) { return 0; }
QUENDLE_API int16_t QCALL BMPToString(const char *, ByteString *, int32_t *) { return 0; }
QUENDLE_API int32_t QCALL BMPDataSize(const char *) { return 0; }
QUENDLE_API int16_t QCALL EncryptString(char *, int32_t, const char *, const char *, int16_t) { return 0; }
QUENDLE_API ByteString QCALL RandomStr(int32_t, int16_t) { return nullptr; }
QUENDLE_API ByteString QCALL Mkl(int32_t) { return nullptr; }
QUENDLE_API ByteString QCALL AddString(ByteString *, const char *) { return nullptr; }
QUENDLE_API ByteString QCALL AddBinaryString(ByteString *, const char *, int32_t) { return nullptr; }
QUENDLE_API ByteString QCALL AddHugeBinaryString(ByteString *, ByteString *, int32_t, int16_t *) { return nullptr; }
#ifndef _WIN32
QUENDLE_API ByteString SysAllocStringByteLen(const char *, uint32_t) { return nullptr; }
QUENDLE_API void SysFreeString(void *) {}
#endif
