// The one registry key of the product (HKEY_LOCAL_MACHINE, kRegistryKeyPath below),
// reduced to the two operations the accessors need. Each call opens the
// key (never creating it), does one access and closes it again.
#pragma once

#include <cstdint>

namespace lmx::platform {

inline constexpr const char kRegistryKeyPath[] = "Software\\Corvane\\LumoraFX\\CurrentVersion";

enum class RegistryType : uint32_t { String = 1, Dword = 4 };  // REG_SZ, REG_DWORD

// Opens the key with query access and reads the value into data. *size holds the room on
// entry and the stored length on success. A value longer than the room fails.
bool QueryRegistryValue(const char* name, void* data, uint32_t* size);

// Opens the key with set access and stores size bytes of data with the given type.
bool SetRegistryValue(const char* name, RegistryType type, const void* data, uint32_t size);

}  // namespace lmx::platform
