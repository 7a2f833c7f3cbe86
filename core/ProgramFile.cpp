// Preset files (".fxp"): one preset in the published program-file layout,
// big-endian (see IPluginBase.h for the layout).

#include <cstring>

#include "core/IPluginBase.h"
#include "core/StateHeader.h"
#include "core/Utf8Cut.h"
#include "core/Utf8File.h"

namespace plugkit {

namespace {

constexpr int32_t kHeaderSize = 56;     // everything before the values or the chunk length
constexpr int32_t kChunkDataStart = 60; // "FPCh": the chunk follows its length
constexpr int32_t kFormatVersion = 1;

int32_t FourCC(const char* text) {
  return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint8_t>(text[0])) << 24 |
                              static_cast<uint32_t>(static_cast<uint8_t>(text[1])) << 16 |
                              static_cast<uint32_t>(static_cast<uint8_t>(text[2])) << 8 |
                              static_cast<uint32_t>(static_cast<uint8_t>(text[3])));
}

const int32_t kMagic = FourCC("CcnK");
const int32_t kValuesForm = FourCC("FxCk");
const int32_t kChunkForm = FourCC("FPCh");

// The program-name field: at most 27 bytes of the title, not splitting a UTF-8
// character, NUL-padded, so readers that expect a terminator find one.
void FillProgramName(const char* title, char (&field)[IPluginBase::kProgramNameSize]) {
  std::memset(field, 0, sizeof field);
  std::memcpy(field, title, static_cast<size_t>(Utf8CutLength(title, IPluginBase::kProgramNameSize - 1)));
}

} // namespace

bool IPluginBase::BuildProgramData(IStateBuffer& out) const {
  ISectionGuard guard(mStateLock);
  out.Clear();
  IStateBuffer chunk;
  if (mStateChunks && !(WriteStateHeader(chunk) && SerializeParams(chunk))) return false;

  const int32_t major = mVendorVersion >> 16;
  const int32_t minor = (mVendorVersion >> 8) & 0xFF;
  const int32_t patch = mVendorVersion & 0xFF;
  char name[kProgramNameSize];
  FillProgramName(PresetTitleAt(CurrentPreset()), name);

  bool ok = out.AppendInt32BE(kMagic) &&
            out.AppendInt32BE(mStateChunks ? chunk.Size() + kChunkDataStart : 0) &&
            out.AppendInt32BE(mStateChunks ? kChunkForm : kValuesForm) &&
            out.AppendInt32BE(kFormatVersion) && out.AppendInt32BE(mUniqueCode) &&
            out.AppendInt32BE(major * 10000 + minor * 100 + patch) && out.AppendInt32BE(ParamCount()) &&
            out.Append(name, kProgramNameSize);
  if (mStateChunks) {
    ok = ok && out.AppendInt32BE(chunk.Size()) && out.Append(chunk.Bytes(), chunk.Size());
  } else {
    for (int32_t i = 0; ok && i < ParamCount(); ++i)
      ok = out.AppendFloat32BE(static_cast<float>(GetParam(i)->ReadNormalised()));
  }
  return ok;
}

bool IPluginBase::SaveProgramFile(const char* path) const {
  // Built first, and written beside the old file before it is replaced, so
  // that no failure (here, a full disk, a file in use) costs the user the
  // preset already saved under that name.
  IStateBuffer data;
  if (!BuildProgramData(data)) return false;
  return ReplaceUtf8File(path, data.Bytes(), data.Size());
}

bool IPluginBase::LoadProgramData(const IStateBuffer& file) {
  // Magic, format version and unique code decide whether the file is ours.
  // The size field (4), the plug-in version (20) and the parameter count (24)
  // are not examined: the values are read for this plug-in's own parameters,
  // whatever count an older or foreign writer put in the header.
  int32_t magic = 0, form = 0, version = 0, uniqueCode = 0;
  if (!file.Holds(0, kHeaderSize)) return false;
  file.ReadInt32BE(0, &magic);
  file.ReadInt32BE(8, &form);
  file.ReadInt32BE(12, &version);
  file.ReadInt32BE(16, &uniqueCode);
  if (magic != kMagic || version != kFormatVersion || uniqueCode != mUniqueCode) return false;
  char name[kProgramNameSize + 1] = {};
  file.ReadBytes(28, name, kProgramNameSize);

  // Everything is checked before the first parameter changes.
  if (form == kChunkForm) {
    if (!mStateChunks) return false;
    int32_t length = 0;
    if (file.ReadInt32BE(kHeaderSize, &length) < 0 || length < 0 || !file.Holds(kChunkDataStart, length))
      return false;
    IStateBuffer chunk;
    if (!chunk.Assign(file.Bytes() + kChunkDataStart, length)) return false;
    int32_t chunkVersion = 0;
    const int32_t start = ReadStateHeader(chunk, &chunkVersion);
    if (start < 0 || !chunk.Holds(start, 8 * ParamCount())) return false;
    if (UnserializeParams(chunk, start) < 0) return false;
  } else if (form == kValuesForm) {
    // One value per parameter of this plug-in, as far as the file holds whole
    // values; a parameter whose value is missing keeps the one it has.
    const int64_t whole = (static_cast<int64_t>(file.Size()) - kHeaderSize) / 4;
    const int32_t count = whole < ParamCount() ? static_cast<int32_t>(whole) : ParamCount();
    for (int32_t i = 0; i < count; ++i) {
      float value = 0.0f;
      if (file.ReadFloat32BE(kHeaderSize + 4 * i, &value) < 0) break;
      GetParam(i)->ApplyNormalised(value);
    }
  } else {
    return false;
  }

  ModifyCurrentPreset(name);
  ApplyPreset(CurrentPreset());
  return true;
}

bool IPluginBase::LoadProgramFile(const char* path) {
  std::FILE* handle = OpenUtf8File(path, "rb");
  if (!handle) return false;
  IStateBuffer data;
  if (!ReadAndClose(handle, data, kMaxProgramFileSize)) return false;
  {
    // Everything from the first check to the applied preset is one change.
    ISectionGuard guard(mStateLock);
    if (!LoadProgramData(data)) return false;
  }
  // Outside the lock: a host that serialises on a lock of its own may be
  // waiting in a state call of ours on another thread.
  NotifyHostPresetChanged();
  return true;
}

} // namespace plugkit
