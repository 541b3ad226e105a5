#pragma once
// 16-byte identifiers of viewports, objects and layers.
#include <cstdint>
#include <cstring>

struct ON_UUID {
  std::uint32_t Data1 = 0;
  std::uint16_t Data2 = 0;
  std::uint16_t Data3 = 0;
  std::uint8_t Data4[8] = {0, 0, 0, 0, 0, 0, 0, 0};
};

inline bool operator==(const ON_UUID& a, const ON_UUID& b) {
  return a.Data1 == b.Data1 && a.Data2 == b.Data2 && a.Data3 == b.Data3 && std::memcmp(a.Data4, b.Data4, 8) == 0;
}
inline bool operator!=(const ON_UUID& a, const ON_UUID& b) { return !(a == b); }

inline constexpr ON_UUID ON_nil_uuid{};

// A new random identifier (version 4).
ON_UUID ON_CreateUuid();
