#pragma once
// A small plug-in for the plug-in base tests: three parameters shaped like the
// product's (Coarse -12..12 and Fine -100..100, both quantised integers; Mix
// 0..100 decimal, default 100), a configurable number of preset slots, and
// counters for the notifications the base sends.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "core/IPluginBase.h"
#include "core/IStateBuffer.h"

namespace plugkit::test {

class FixturePlugin : public IPluginBase {
public:
  static constexpr int32_t kCoarse = 0, kFine = 1, kMix = 2;

  explicit FixturePlugin(int32_t presetCount = 4) : IPluginBase(3, presetCount) {
    GetParam(kCoarse)->SetKind(IParamKind::Integer);
    GetParam(kCoarse)->Configure("Coarse", 0., -12., 12., 1., "Semi", IParamFlag::Quantised);
    GetParam(kFine)->SetKind(IParamKind::Integer);
    GetParam(kFine)->Configure("Fine", 0., -100., 100., 1., "Cents", IParamFlag::Quantised);
    GetParam(kMix)->Configure("Mix", 100., 0., 100., 1., "%");
  }

  void BeginEditorGesture(int32_t) override {}
  void EndEditorGesture(int32_t) override {}

  void OnParamChange(int32_t index, IChangeSource source, int32_t offset) override {
    changes.push_back({index, source});
    IPluginBase::OnParamChange(index, source, offset);
  }
  void OnParamChangeForEditor(int32_t index, IChangeSource source) override {
    editorChanges.push_back({index, source});
  }
  void OnPresetRestored() override { ++presetRestored; }
  void OnStateLoaded() override {
    ++stateLoaded;
    IPluginBase::OnStateLoaded();
  }
  void NotifyHostPresetChanged() override { ++hostPresetNotes; }

  void SetValues(double coarse, double fine, double mix) {
    GetParam(kCoarse)->Set(coarse);
    GetParam(kFine)->Set(fine);
    GetParam(kMix)->Set(mix);
  }
  std::vector<double> Values() const {
    return {GetParam(kCoarse)->Value(), GetParam(kFine)->Value(), GetParam(kMix)->Value()};
  }
  void ForgetNotifications() {
    changes.clear();
    editorChanges.clear();
    presetRestored = stateLoaded = hostPresetNotes = 0;
  }

  void SetStateChunks(bool on) { mStateChunks = on; }
  void SetUniqueCode(int32_t code) { mUniqueCode = code; }
  void SetVendorVersion(int32_t packed) { mVendorVersion = packed; }
  void SetCurrentPresetIndex(int32_t index) { mCurrentPreset = index; }

  struct Change {
    int32_t index;
    IChangeSource source;
  };
  std::vector<Change> changes;
  std::vector<Change> editorChanges;
  int presetRestored = 0;
  int stateLoaded = 0;
  int hostPresetNotes = 0;
};

inline std::vector<uint8_t> BytesOf(const IStateBuffer& buffer) {
  return buffer.Size() ? std::vector<uint8_t>(buffer.Bytes(), buffer.Bytes() + buffer.Size())
                       : std::vector<uint8_t>();
}

inline void Fill(IStateBuffer& buffer, const std::vector<uint8_t>& bytes) {
  buffer.Assign(bytes.data(), static_cast<int32_t>(bytes.size()));
}

// Concatenation of byte runs, for building expected formats by hand.
inline std::vector<uint8_t> Join(std::initializer_list<std::vector<uint8_t>> parts) {
  std::vector<uint8_t> all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

inline std::vector<uint8_t> Text(const std::string& text) { return {text.begin(), text.end()}; }

// Little-endian float64 images of the values the tests use.
namespace le64 {
inline const std::vector<uint8_t> kMinus12 = {0, 0, 0, 0, 0, 0, 0x28, 0xC0};
inline const std::vector<uint8_t> kMinus3 = {0, 0, 0, 0, 0, 0, 0x08, 0xC0};
inline const std::vector<uint8_t> kZero = {0, 0, 0, 0, 0, 0, 0, 0};
inline const std::vector<uint8_t> k2 = {0, 0, 0, 0, 0, 0, 0x00, 0x40};
inline const std::vector<uint8_t> k7_5 = {0, 0, 0, 0, 0, 0, 0x1E, 0x40};
inline const std::vector<uint8_t> k12 = {0, 0, 0, 0, 0, 0, 0x28, 0x40};
inline const std::vector<uint8_t> k15 = {0, 0, 0, 0, 0, 0, 0x2E, 0x40};
inline const std::vector<uint8_t> k37_25 = {0, 0, 0, 0, 0, 0xA0, 0x42, 0x40};
inline const std::vector<uint8_t> k50 = {0, 0, 0, 0, 0, 0, 0x49, 0x40};
inline const std::vector<uint8_t> k99 = {0, 0, 0, 0, 0, 0xC0, 0x58, 0x40};
inline const std::vector<uint8_t> k100 = {0, 0, 0, 0, 0, 0, 0x59, 0x40};
inline const std::vector<uint8_t> kNaN = {0, 0, 0, 0, 0, 0, 0xF8, 0x7F};
inline const std::vector<uint8_t> kInf = {0, 0, 0, 0, 0, 0, 0xF0, 0x7F};
} // namespace le64

} // namespace plugkit::test
