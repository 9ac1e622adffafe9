#include "library/effect_record.h"

#include <cstring>
#include <new>

#include "library/bytes.h"

namespace lmx {
namespace {

void CopyOut(const std::string& text, char* out, size_t size) {
  if (!out || size == 0) return;
  size_t n = text.size() < size - 1 ? text.size() : size - 1;
  std::memcpy(out, text.data(), n);
  out[n] = '\0';
}

const std::string kEmpty;

}  // namespace

int EffectRecord::ReadEffectFile(const char* path) {
  if (!path) return ChunkOpenFailed;
  ChunkFile file(path, kEffectHeader, false);
  return ReadChunks(file);
}

int EffectRecord::ReadEffectBytes(const uint8_t* data, size_t size) {
  ChunkFile file(data, size, kEffectHeader);
  return ReadChunks(file);
}

int EffectRecord::ReadChunks(ChunkFile& file) {
  if (file.status() != ChunkOk) return file.status();
  ChunkRecord record;
  while (file.ReadRecord(&record) == ChunkOk) ApplyRecord(record);
  ChunkStatus end = file.status();
  file.Close();
  return end == ChunkEnd ? 0 : end;
}

void EffectRecord::ApplyRecord(const ChunkRecord& r) {
  const uint8_t* p = r.data;
  const uint32_t n = r.length;
  switch (r.tag) {
    case FourCC("ETYP"): if (n >= 4) effectType_ = LoadU32(p); break;
    case FourCC("ITYP"): if (n >= 4) secondType_ = LoadU32(p); break;
    case FourCC("FDIR"): if (n >= 4) directionFlag_ = LoadU32(p); break;
    case FourCC("FSHD"): if (n >= 4) shadowFlag_ = LoadU32(p); break;
    case FourCC("FMOT"): if (n >= 4) motionFlag_ = LoadU32(p); break;
    case FourCC("BEST"): if (n >= 4) bestPosition_ = LoadF32(p); break;
    case FourCC("ENAM"):
      if (n >= 1) CopyFixed(shortName_, sizeof shortName_, PayloadText(p, n).c_str());
      break;
    case FourCC("ELNM"): if (n >= 1) longName_ = PayloadText(p, n); break;
    case FourCC("DESC"): if (n >= 1) description_ = PayloadText(p, n); break;
    case FourCC("VCNT"): if (n >= 4) SetObjectCount(LoadU32(p)); break;
    case FourCC("VDSC"): {
      if (n < 5) break;
      uint32_t index = LoadU32(p);
      if (index < objectNames_.size()) objectNames_[index] = PayloadText(p + 4, n - 4);
      break;
    }
    case FourCC("OCNT"): if (n >= 4) SetOptionCount(LoadU32(p)); break;
    case FourCC("OPTS"): {
      if (n < 4 + sizeof(EffectOption)) break;
      uint32_t index = LoadU32(p);
      if (index < options_.size()) std::memcpy(&options_[index], p + 4, sizeof(EffectOption));
      break;
    }
    default: break;
  }
}

void EffectRecord::SetObjectCount(uint32_t n) {
  std::vector<std::string>().swap(objectNames_);
  if (n > kMaxEffectTable) return;
  try {
    objectNames_.resize(n);
  } catch (const std::bad_alloc&) {
    std::vector<std::string>().swap(objectNames_);
  }
}

void EffectRecord::SetOptionCount(uint32_t n) {
  std::vector<EffectOption>().swap(options_);
  if (n > kMaxEffectTable) return;
  try {
    options_.resize(n);  // cleared: an entry no "OPTS" fills reads as zeros
  } catch (const std::bad_alloc&) {
    std::vector<EffectOption>().swap(options_);
  }
}

void EffectRecord::GetShortName(char* out) const { CopyFixed(out, sizeof shortName_, shortName_); }
void EffectRecord::GetLongName(char* out, size_t size) const { CopyOut(longName_, out, size); }
void EffectRecord::GetDescription(char* out, size_t size) const { CopyOut(description_, out, size); }

const std::string& EffectRecord::objectName(uint32_t i) const {
  return i < objectNames_.size() ? objectNames_[i] : kEmpty;
}

void EffectRecord::GetObjectName(uint32_t i, char* out, size_t size) const { CopyOut(objectName(i), out, size); }

EffectOption EffectRecord::option(uint32_t i) const {
  EffectOption o{};
  if (i < options_.size()) o = options_[i];
  return o;
}

}  // namespace lmx
