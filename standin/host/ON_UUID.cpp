#include "standin/host/ON_UUID.h"

#include <random>

ON_UUID ON_CreateUuid() {
  static std::mt19937_64 generator{std::random_device{}()};
  std::uint64_t a = generator(), b = generator();
  ON_UUID id;
  std::memcpy(reinterpret_cast<unsigned char*>(&id), &a, 8);
  std::memcpy(reinterpret_cast<unsigned char*>(&id) + 8, &b, 8);
  id.Data3 = static_cast<std::uint16_t>((id.Data3 & 0x0FFF) | 0x4000);
  id.Data4[0] = static_cast<std::uint8_t>((id.Data4[0] & 0x3F) | 0x80);
  return id;
}
