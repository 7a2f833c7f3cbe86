#pragma once
// A small plug-in for the plug-in base tests: three parameters shaped like the
// product's (Coarse -12..12 and Fine -100..100, both quantised integers; Mix
// 0..100 decimal, default 100), a configurable number of preset slots,
// counters for the notifications the base sends, and one log of all of them
// in the order they arrived.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "core/IChangeSource.h"
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
    Log("change " + std::to_string(index) + " " + ChangeSourceText(source));
    IPluginBase::OnParamChange(index, source, offset);
  }
  void OnParamIndexChanged(int32_t index) override { Log("index " + std::to_string(index)); }
  void OnParamChangeForEditor(int32_t index, IChangeSource source) override {
    editorChanges.push_back({index, source});
    Log("editor " + std::to_string(index) + " " + ChangeSourceText(source));
  }
  // Logs the index and title current when the hook runs.
  void OnPresetRestored() override {
    ++presetRestored;
    Log("restored " + std::to_string(CurrentPreset()) + " " + PresetTitleAt(CurrentPreset()));
  }
  void OnStateLoaded() override {
    ++stateLoaded;
    Log("state loaded");
    IPluginBase::OnStateLoaded();
  }
  void NotifyHostPresetChanged() override {
    ++hostPresetNotes;
    Log("host preset");
  }
  bool OnTaggedMessage(int32_t messageTag, int32_t controlTag, int32_t size, const void* data) override {
    Log("tagged " + std::to_string(messageTag) + " " + std::to_string(controlTag) + " " + std::to_string(size));
    taggedData = data;
    return IPluginBase::OnTaggedMessage(messageTag, controlTag, size, data);
  }

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
    events.clear();
    taggedData = nullptr;
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
  // Every notification above in arrival order: "change 1 Preset", "index 1",
  // "editor 1 Editor Delegate", "restored 2 <title>", "state loaded",
  // "host preset", "tagged <message> <control> <size>".
  std::vector<std::string> events;
  const void* taggedData = nullptr;

private:
  void Log(std::string event) { events.push_back(std::move(event)); }
};

// The log of OnEveryParamChange (source) on the fixture: for each index in
// order, OnParamChange (which reaches OnParamIndexChanged), then the editor side.
inline std::vector<std::string> EveryParamEvents(IChangeSource source) {
  std::vector<std::string> log;
  for (int32_t i = 0; i < 3; ++i) {
    log.push_back("change " + std::to_string(i) + " " + ChangeSourceText(source));
    log.push_back("index " + std::to_string(i));
    log.push_back("editor " + std::to_string(i) + " " + ChangeSourceText(source));
  }
  return log;
}

// The log of OnStateLoaded on the fixture: the hook, then the base's refresh
// of the editor with every value.
inline std::vector<std::string> StateLoadedEvents() {
  std::vector<std::string> log = {"state loaded"};
  for (int32_t i = 0; i < 3; ++i) log.push_back("editor " + std::to_string(i) + " Editor Delegate");
  return log;
}

// Log runs joined in order.
inline std::vector<std::string> Events(std::initializer_list<std::vector<std::string>> parts) {
  std::vector<std::string> all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

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
