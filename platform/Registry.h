#pragma once

#include <QString>

#include <cstdint>

#ifdef _WIN32
#include <windows.h>
#endif

// The registry calls the settings store is written against. On Windows they
// are the system's own; elsewhere the same calls, with the same return codes,
// work on the current user's hive kept in a registry-editor file
// ($XDG_CONFIG_HOME/lumadex-viewer/HKEY_CURRENT_USER.reg).
namespace platform {

#ifdef _WIN32
using ::BYTE;
using ::DWORD;
using ::HKEY;
using ::LONG;
using ::RegCloseKey;
using ::RegCreateKeyA;
using ::RegOpenKeyA;
using ::RegQueryValueExA;
using ::RegSetValueExA;
#else
using LONG = std::int32_t;
using DWORD = std::uint32_t;
using BYTE = std::uint8_t;
struct HKEY__;
using HKEY = HKEY__ *;

inline HKEY const HKEY_CURRENT_USER = reinterpret_cast<HKEY>(std::uintptr_t(0x80000001u));

inline constexpr LONG ERROR_SUCCESS = 0;
inline constexpr LONG ERROR_FILE_NOT_FOUND = 2;
inline constexpr LONG ERROR_ACCESS_DENIED = 5;
inline constexpr LONG ERROR_INVALID_HANDLE = 6;
inline constexpr LONG ERROR_INVALID_PARAMETER = 87;
inline constexpr LONG ERROR_MORE_DATA = 234;
inline constexpr LONG ERROR_CANTREAD = 1012;
inline constexpr LONG ERROR_CANTWRITE = 1013;

inline constexpr DWORD REG_NONE = 0;
inline constexpr DWORD REG_SZ = 1;
inline constexpr DWORD REG_EXPAND_SZ = 2;
inline constexpr DWORD REG_BINARY = 3;
inline constexpr DWORD REG_DWORD = 4;
inline constexpr DWORD REG_MULTI_SZ = 7;

// Opens an existing key below `key` (a root or an open key).
LONG RegOpenKeyA(HKEY key, const char *subKey, HKEY *result);
// Opens the key below `key`, creating it and any missing parent keys.
LONG RegCreateKeyA(HKEY key, const char *subKey, HKEY *result);
// Type and data of a value (empty or null name: the default value). With no
// data buffer only the type and size are returned; a buffer too small gives
// ERROR_MORE_DATA with the size needed. String data is in the 8-bit code page.
LONG RegQueryValueExA(HKEY key, const char *valueName, DWORD *reserved, DWORD *type, BYTE *data,
                      DWORD *dataSize);
LONG RegSetValueExA(HKEY key, const char *valueName, DWORD reserved, DWORD type, const BYTE *data,
                    DWORD dataSize);
LONG RegCloseKey(HKEY key);

// The file that holds the current user's hive.
QString hiveFilePath();
#endif

} // namespace platform
