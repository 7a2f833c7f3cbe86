#pragma once
// IPluginBase: the plug-in object's names, codes and host identity, its fixed
// list of preset slots, and the serialisation of parameter values, presets
// and preset files. IApiBase derives from it; the bindings and the product
// build on both.
//
// Parameter state format (every stored form of the values: preset slots, host
// chunks, the VST 3 state): for each parameter in index order its value in its
// own range as an IEEE 754 float64, little-endian, 8 bytes; no count, no
// header, n parameters take 8n bytes. Preset bank and preset file formats are
// described at SerializePresets and SaveProgramFile.
//
// Contract for everything that reads stored data (chunks, banks, files):
// - reads never go past the data; malformed or truncated input is refused with
//   a failure return (false or position -1) before anything is changed:
//   parameters, slots and the current preset stay as they were;
// - values reach parameters only through IParam::Set / ApplyNormalised, which
//   round, clamp and ignore non-finite values.
// Writers succeed only when every byte was appended; a failed write leaves the
// target buffer as it was.
//
// Threads: hosts call preset and state operations from several threads at
// once (a program change from a worker while the interface renames programs
// or saves the session). Every operation below that reads or changes the
// slots, the current preset or the stored forms of the values holds the state
// lock (StateLock()) for its whole run, so each sees and leaves a whole state.
// The lock is recursive: these operations call each other, and the bindings
// hold it around their own sequences of them (e.g. store the current preset,
// then switch). Nothing here is for the audio thread (serialisation
// allocates), and the audio thread never takes the lock: it reads only the
// parameter values, which IParam stores atomically and which change without
// the lock. The hooks reached under the lock (OnPresetRestored,
// OnStateLoaded, OnEveryParamChange and so OnParamChange) must neither call
// the host nor wait for another thread; host notifications are made after the
// lock is left (see LoadProgramFile). They run on whichever thread made the
// change, so they reach the editor only on the user-interface thread; from
// any other they leave word for the editor's tick (see IApiBase).
//
// Ownership: the base creates its preset slots at construction, never changes
// their number, and deletes them (last to first) at destruction; GetPreset
// hands out borrowed pointers.

#include <atomic>
#include <cstdint>

#include "core/IHeapBlock.h"
#include "core/IHostIdentity.h"
#include "core/IPointerArray.h"
#include "core/IPresetSlot.h"
#include "core/ISectionLock.h"
#include "core/IStateBuffer.h"
#include "core/IStringBuffer.h"
#include "graphics/ICanvasEditorDelegate.h"

namespace plugkit {

// Which plug-in interface the object serves; the names serve diagnostics.
enum class EApiKind : int32_t { VST2 = 0, VST3 = 1, AU = 2, AUv3 = 3, AAX = 4, APP = 5, WAM = 6, WEB = 7 };

// "VST2", "VST3", "AU", "AUv3", "AAX", "APP", "WAM", "WEB"; "" for any other value.
const char* ApiKindName(int32_t kind);

class IPluginBase : public canvas::ICanvasEditorDelegate {
public:
  // Program files larger than this are refused unread.
  static constexpr int32_t kMaxProgramFileSize = 16 * 1024 * 1024;
  // The program-name field of a preset file: 28 bytes, NUL-terminated when
  // written (at most 27 title bytes, cut at a character boundary).
  static constexpr int32_t kProgramNameSize = 28;

  // paramCount fresh parameters, presetCount unfilled slots titled "empty"
  // (negative counts give none); names empty, host code -1, current preset 0.
  IPluginBase(int32_t paramCount, int32_t presetCount);
  ~IPluginBase() override;

  // 36. The parameter list's descriptions changed. Base: nothing.
  virtual void NotifyHostParamInfoChanged();
  // 37. Appends the parameter state to the end of chunk. True when every value
  // was appended (and when there are no parameters); on failure the chunk is
  // left as it was.
  virtual bool SerializeParams(IStateBuffer& chunk) const;
  // 38. Reads the parameter state at position into the parameters and returns
  // the position after it. When fewer than 8n bytes are available (or the
  // position is negative) it returns -1 and touches nothing; otherwise every
  // value goes through IParam::Set and OnEveryParamChange (Preset) follows.
  virtual int32_t UnserializeParams(const IStateBuffer& chunk, int32_t position);
  // 41. The current preset changed under the host. Base: nothing.
  virtual void NotifyHostPresetChanged();
  // 42. A preset was applied or renamed (after the current index changed),
  // on the thread that did it, under the state lock. Base: nothing.
  virtual void OnPresetRestored();

  // --- Preset slots ---------------------------------------------------------

  int32_t PresetCount() const { return mPresets.Count(); }
  // The slot at index (owned by the base), or null out of range. Its contents
  // may be read or changed only under StateLock() once a host can call.
  IPresetSlot* GetPreset(int32_t index) const { return mPresets.Get(index); }
  // The slot's title, or "" out of range. Never null. The text belongs to the
  // slot: a caller that may race a rename holds StateLock() while it reads.
  const char* PresetTitleAt(int32_t index) const;
  // Any thread; the index an operation under the lock last made current.
  int32_t CurrentPreset() const { return mCurrentPreset.load(std::memory_order_acquire); }

  // The state lock (see Threads above). Never to be taken on the audio thread.
  ISectionLock& StateLock() const { return mStateLock; }

  // count times: the first unfilled slot gets the current values and the
  // title ("Empty" for null). Stops when no unfilled slot is left or storing
  // the values fails (that slot stays unfilled).
  void FillEmptyPresets(const char* title, int32_t count);

  // Defines a factory preset in the first unfilled slot: one value per
  // parameter, in index order, stored as given (applying the preset rounds and
  // clamps). Integer arguments convert exactly. Returns false and changes
  // nothing when the number of values is not the parameter count, when no
  // unfilled slot is left, or when the values could not be stored.
  template <typename... Values>
  bool DefinePreset(const char* title, Values... values) {
    const double list[] = {0.0, static_cast<double>(values)...};
    return DefinePresetValues(title, list + 1, static_cast<int32_t>(sizeof...(values)));
  }
  bool DefinePresetValues(const char* title, const double* values, int32_t count);

  // Makes index the current preset. A filled slot's values are applied; an
  // unfilled slot is filled with the current values and titled
  // "user preset N" (N = 1 + the number of titles containing "user preset").
  // On success, in this order: the current index becomes index,
  // OnPresetRestored (which sees the new CurrentPreset()), OnStateLoaded.
  // False, with nothing changed, for an index out of range or a slot that
  // cannot be applied.
  // Deliberate choice: a filled slot is applied when UnserializeParams
  // returns any position >= 0, not only one > 0. A plug-in without
  // parameters has an empty state that reads back to position 0, and it must
  // still be able to switch presets; a short state still gives -1 and fails.
  bool ApplyPreset(int32_t index);

  // Stores the current values in the current slot and, when title is not null
  // and not empty, renames it (bounded copy). The filled flag is unchanged.
  // A slot that already has room for the values is refilled in place, without
  // allocating. False (nothing changed) when the current index is out of range
  // or the values could not be stored.
  bool ModifyCurrentPreset(const char* title = nullptr);

  // --- Preset bank ------------------------------------------------------------
  // One record per slot in index order, no count and no header, little-endian:
  // int32 title length L, L title bytes (no NUL), uint8 filled (1/0), and only
  // when filled the slot's parameter state (8n bytes).

  // Appends the bank. True at once without slots; on failure false and the
  // chunk is left as it was.
  bool SerializePresets(IStateBuffer& chunk) const;
  // Reads a bank at position and returns the position after it. The whole bank
  // is checked first: a negative title length, a field past the end or a
  // filled record without 8n state bytes gives -1 and changes nothing. A title
  // longer than the slot's field keeps the first bytes that fit without
  // splitting a character (IPresetSlot::SetTitle). A filled record's values
  // pass through the parameters (rounded, clamped, non-finite ignored) into
  // the slot's state; an unfilled record keeps the slot's old state.
  // Afterwards the current preset is applied.
  // Deliberately, as in ApplyPreset, a filled record's values count as read
  // at any returned position >= 0 (the check above guarantees one), so the
  // slot's state is refilled also for a plug-in without parameters, whose
  // filled records carry no state bytes.
  int32_t UnserializePresets(const IStateBuffer& chunk, int32_t position);

  // --- Preset files (".fxp") ----------------------------------------------------
  // Big-endian: "CcnK", int32 size field (0 for "FxCk", chunk length + 60 for
  // "FPCh"), "FxCk" or "FPCh", int32 1, int32 unique code, int32 version as
  // major*10000 + minor*100 + patch, int32 parameter count, 28-byte program
  // name (the current title), then either one float32 normalised value per
  // parameter ("FxCk") or int32 chunk length C and C bytes: the state header
  // and the parameter state ("FPCh", written when state chunks are on).
  // Reading examines only the magic, the form, the format version and the
  // unique code; the size field, version and parameter count are written for
  // other readers and ignored here.

  // Writes the current values to a file named by UTF-8 path. An existing file
  // is replaced only once the new contents are completely written (see
  // ReplaceUtf8File). False for a null, empty or invalid path, a file that
  // cannot be created or replaced, a short write or a failed close; an
  // existing file is then left as it was. The bytes are built under the state
  // lock, the file is written after it is left.
  bool SaveProgramFile(const char* path) const;
  // Reads a preset file into the parameters and the current slot (renamed to
  // the file's program name when that is not empty), applies the current
  // preset and notifies the host. False with nothing changed for a bad path,
  // an unreadable file, another plug-in's or format version's file, a file too
  // short for its 56-byte header, an "FPCh" file when state chunks are off,
  // whose chunk runs past the end or whose state is shorter than the
  // parameters need, or an unknown form. An "FxCk" file gives one float32 per
  // parameter of this plug-in, read as far as the file holds whole values;
  // parameters past the last whole value keep theirs, and bytes after
  // ParamCount() values are ignored. The file is read before the state lock
  // is taken, and the host is notified (NotifyHostPresetChanged) after it is
  // left.
  bool LoadProgramFile(const char* path);

  // --- Identity -----------------------------------------------------------------

  const char* PluginName() const { return mPluginName.Get(); }
  const char* ProductName() const { return mProductName.Get(); }
  const char* MakerName() const { return mMakerName.Get(); }
  const char* ExtraIdentifier() const { return mExtraIdentifier.Get(); }
  int32_t UniqueCode() const { return mUniqueCode; }
  int32_t MakerCode() const { return mMakerCode; }
  // Packed major << 16 | minor << 8 | patch.
  int32_t VendorVersion() const { return mVendorVersion; }
  const IHostIdentity& HostIdentity() const { return mHost; }
  int32_t ApiKind() const { return mApiKind; }
  bool UsesStateChunks() const { return mStateChunks; }
  bool HasEditor() const { return mHasEditor; }

protected:
  // Set by the host-facing base from the configuration record, and by the
  // bindings (host identity, API kind).
  std::atomic<int32_t> mCurrentPreset{0};
  bool mStateChunks = false;
  IStringBuffer mPluginName;
  IStringBuffer mProductName;
  IStringBuffer mMakerName;
  int32_t mUniqueCode = 0;
  int32_t mMakerCode = 0;
  int32_t mVendorVersion = 0;
  IHostIdentity mHost;
  int32_t mApiKind = static_cast<int32_t>(EApiKind::VST2);
  IStringBuffer mExtraIdentifier;
  bool mHasEditor = false;

private:
  // Current values as a fresh parameter state; false when it could not be built.
  bool CaptureParams(IStateBuffer& out) const;
  // Scans a bank at position without changing anything: the end position or -1.
  int32_t ScanPresetBank(const IStateBuffer& chunk, int32_t position) const;
  // Reads a preset file's bytes into the plug-in; false with nothing changed.
  // The caller holds the state lock and tells the host afterwards.
  bool LoadProgramData(const IStateBuffer& file);
  // Builds a preset file's bytes.
  bool BuildProgramData(IStateBuffer& out) const;

  IPointerArray<IPresetSlot> mPresets;
  mutable ISectionLock mStateLock;
};

} // namespace plugkit
