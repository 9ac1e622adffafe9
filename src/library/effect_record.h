// The in-memory form of an effect file (EFFECTS\<name>.LMI): names, description, type,
// objects, which standard options apply, the effect's own options and the still
// position of a one-frame preview.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "library/bytes.h"
#include "library/chunk_file.h"
#include "model/effect_option.h"

namespace lmx {

inline constexpr uint32_t kEffectHeader = FourCC("LMXI");

// Counts above this are treated as a table that cannot be allocated (count 0): no real
// effect comes near it, and a damaged count must not reserve gigabytes.
inline constexpr uint32_t kMaxEffectTable = 65536;

class EffectRecord {
 public:
  EffectRecord() = default;

  // Reads the effect file at path into this record without clearing it first. Returns 0
  // when the records ended cleanly, else the ChunkStatus that stopped the reading
  // (ChunkOpenFailed for a null path).
  int ReadEffectFile(const char* path);
  // The same from an effect file's whole content in memory.
  int ReadEffectBytes(const uint8_t* data, size_t size);
  // Applies one record of an effect file; unknown tags and short payloads are skipped.
  void ApplyRecord(const ChunkRecord& record);

  uint32_t effectType() const { return effectType_; }
  uint32_t secondType() const { return secondType_; }
  // Copies into a buffer of at least 9 bytes.
  void GetShortName(char* out) const;
  const char* shortName() const { return shortName_; }
  // Copies at most size - 1 characters and a zero; "" when there is none.
  void GetLongName(char* out, size_t size) const;
  void GetDescription(char* out, size_t size) const;
  const std::string& longName() const { return longName_; }
  const std::string& description() const { return description_; }
  uint32_t objectCount() const { return static_cast<uint32_t>(objectNames_.size()); }
  // Slot i's name, "" for an empty slot or an index out of range.
  const std::string& objectName(uint32_t i) const;
  void GetObjectName(uint32_t i, char* out, size_t size) const;
  uint32_t directionFlag() const { return directionFlag_; }
  uint32_t shadowFlag() const { return shadowFlag_; }
  uint32_t motionFlag() const { return motionFlag_; }
  uint32_t optionCount() const { return static_cast<uint32_t>(options_.size()); }
  // Entry i, or an all-zero entry for an index out of range.
  EffectOption option(uint32_t i) const;
  float bestPosition() const { return bestPosition_; }

 private:
  int ReadChunks(ChunkFile& file);

  void SetObjectCount(uint32_t n);
  void SetOptionCount(uint32_t n);

  uint32_t effectType_ = 0;
  uint32_t secondType_ = 0;
  char shortName_[9] = {};
  std::string longName_;
  std::string description_;
  std::vector<std::string> objectNames_;
  uint32_t directionFlag_ = 0;
  uint32_t shadowFlag_ = 0;
  uint32_t motionFlag_ = 0;
  std::vector<EffectOption> options_;
  float bestPosition_ = 0.0f;
};

}  // namespace lmx
