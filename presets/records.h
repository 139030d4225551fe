// Byte layouts of the program store and of the records built from it: the
// preset record (one program), the bank record (all programs), the settings
// record (the editor-only values) and the bank chunk the host keeps in its
// project. All are packed and written little-endian; a record written in the
// other byte order is recognised by its byte-reversed identifier.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace records {

constexpr std::size_t kNameBytes = 24;
constexpr std::uint8_t kPresetType = 0x21;
constexpr std::uint8_t kBankType = 0x37;
constexpr std::uint8_t kSettingsType = 0x0B;
constexpr std::int32_t kChunkVersion = 0x01000000;
constexpr std::size_t kRecordHeaderBytes = 5;  // identifier and type byte
constexpr std::size_t kChunkHeaderBytes = 32;

// Sizes of one product's records, from its parameter count N and program count P.
struct Layout {
  int numParams;
  int numPrograms;

  constexpr std::size_t entryBytes() const { return kNameBytes + 4 * static_cast<std::size_t>(numParams); }
  constexpr std::size_t storeBytes() const { return entryBytes() * static_cast<std::size_t>(numPrograms); }
  constexpr std::size_t presetRecordBytes() const { return kRecordHeaderBytes + entryBytes(); }
  constexpr std::size_t bankRecordBytes() const { return kRecordHeaderBytes + storeBytes(); }
  constexpr std::size_t settingsRecordBytes() const {
    return kRecordHeaderBytes + 4 * static_cast<std::size_t>(numParams);
  }
  constexpr std::size_t chunkBytes() const { return kChunkHeaderBytes + storeBytes(); }
};

inline std::uint32_t swapBytes32(std::uint32_t v) {
  return (v >> 24) | ((v >> 8) & 0x0000FF00u) | ((v << 8) & 0x00FF0000u) | (v << 24);
}

// Reverses the four bytes of the 32-bit word at p in place.
inline void swapBytes32(void* p) {
  std::uint32_t v;
  std::memcpy(&v, p, 4);
  v = swapBytes32(v);
  std::memcpy(p, &v, 4);
}

inline std::int32_t readInt32(const std::uint8_t* p) {
  std::int32_t v;
  std::memcpy(&v, p, 4);
  return v;
}

inline void writeInt32(std::uint8_t* p, std::int32_t v) { std::memcpy(p, &v, 4); }

inline float readFloat(const std::uint8_t* p) {
  float v;
  std::memcpy(&v, p, 4);
  return v;
}

inline void writeFloat(std::uint8_t* p, float v) { std::memcpy(p, &v, 4); }

// Values that enter the store from outside (chunk, files, settings) are kept as
// they are when finite and within 0..1; NaN becomes 0 and the rest is clamped,
// so no record can hand the engine a value it cannot take.
float sanitizeValue(float v);

// How a record's first word relates to the reading effect's identifier.
enum class ByteOrder { Native, Foreign, Unknown };
ByteOrder recordOrder(std::int32_t firstWord, std::int32_t presetId);

// Stores a name by the name rule: a text shorter than 24 bytes is stored
// zero-filled with its terminator, a longer one as its first 24 bytes, or
// fewer where the 24th byte would cut a UTF-8 character in two.
void storeName(char* field, const char* text);

// Reads a name field (at most 24 bytes, maybe unterminated) as a terminated text.
void nameText(const char* field, char (&text)[kNameBytes + 1]);

}  // namespace records
