#pragma once
// In-process VST 2.4 tests: plug-in objects created through the binding's own
// creation path (CreateVST2Effect) and driven through their effect record,
// with the test host's recording callback answering every host call.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <new>
#include <string>
#include <vector>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "api/vst2/VST2Entry.h"
#include "core/IParam.h"
#include "core/Timer.h"
#include "plugin/Tessivo.h"
#include "tests/hosts/vst2/HostContext.h"

namespace vst2test {

using plugkit::IPluginDescriptor;
using plugkit::IPortDirection;
using plugkit::IVST2Binding;

// A stopped timer to hand to the editor tick when a test drives it by hand.
class StillTimer : public plugkit::Timer {
public:
  void Cancel() override {}
};

struct PushRecord {
  int32_t index;
  double value;
  DWORD thread;
};

// Tessivo with probes: it records the hooks the binding drives, can pretend
// that an editor window opened, and opens the binding's protected fields.
class TProbe : public Tessivo {
public:
  explicit TProbe(audioMasterCallback host) : Tessivo(host) {}
  ~TProbe() override {
    if (sharedLog != nullptr) sharedLog->push_back("destroyed");
  }

  using IVST2Binding::EditorExtent;
  using IVST2Binding::Effect;
  using IVST2Binding::HostExtensionBits;
  using IVST2Binding::InputArrangement;
  using IVST2Binding::OutputArrangement;

  void* AttachEditor(void* parent) override {
    Log("attach");
    return editorView != nullptr ? editorView : Tessivo::AttachEditor(parent);
  }
  void DetachEditor() override {
    Log("detach");
    Tessivo::DetachEditor();
  }
  void OnEditorHidden() override {
    Log("hidden");
    Tessivo::OnEditorHidden();
  }
  void AdaptToHost() override {
    ++adaptCount;
    Tessivo::AdaptToHost();
  }
  void OnHostKnown() override {
    ++hostKnownCount;
    Tessivo::OnHostKnown();
  }
  void PushParamValue(int32_t index, double value, bool isNormalised) override {
    pushes.push_back({index, value, GetCurrentThreadId()});
    Tessivo::PushParamValue(index, value, isNormalised);
  }
  void OnMidiIn(const plugkit::IMidiShortMessage& message) override {
    Log("midi " + std::to_string(message.frameOffset) + " " + std::to_string(message.status) + " " +
        std::to_string(message.data1) + " " + std::to_string(message.data2));
  }
  void OnMidiForEditor(const plugkit::IMidiShortMessage& message) override {
    Log("editor midi " + std::to_string(message.frameOffset) + " " + std::to_string(message.status));
  }
  void OnSysExIn(const plugkit::ISysExView& view) override {
    std::string text = "sysex " + std::to_string(view.frameOffset);
    for (int32_t i = 0; i < view.size; ++i) text += " " + std::to_string(view.data[i]);
    Log(text);
  }

  void Log(const std::string& event) {
    events.push_back(event);
    if (sharedLog != nullptr) sharedLog->push_back(event);
  }

  // What AttachEditor answers; null keeps the real behaviour (no editor yet).
  void* editorView = nullptr;
  std::vector<std::string> events;
  // Outlives the object, for what happens while effClose deletes it.
  std::vector<std::string>* sharedLog = nullptr;
  std::vector<PushRecord> pushes;
  int adaptCount = 0;
  int hostKnownCount = 0;
};

// A bare binding for configurations other than the product's. The test sets
// NextDescriptor() and configures parameters after creation.
class TBareBinding : public IVST2Binding {
public:
  explicit TBareBinding(audioMasterCallback host) : IVST2Binding(host, NextDescriptor()) {}

  using IVST2Binding::Effect;
  using IVST2Binding::HostExtensionBits;

  static IPluginDescriptor& NextDescriptor() {
    static IPluginDescriptor descriptor;
    return descriptor;
  }
  static IPluginDescriptor PlainDescriptor() {
    IPluginDescriptor d;
    d.paramCount = 2;
    d.presetCount = 2;
    d.channelIO = "2-2";
    d.pluginName = "Bare";
    d.makerName = "Corvath";
    d.vendorVersion = (2 << 16) | (3 << 8) | 4;
    d.uniqueCode = 0x42617265;
    d.hasEditor = true;
    d.editorWidth = 300;
    d.editorHeight = 200;
    return d;
  }
};

template <typename Plugin>
IVST2Binding* MakePlugin(audioMasterCallback host) {
  return new (std::nothrow) Plugin(host);
}

// One plug-in object behind its effect record, with the host that answers it.
// Closed (effClose) when the fixture goes, unless the test closed it.
template <typename Plugin>
class InProcess {
public:
  explicit InProcess(vst2host::HostSettings settings = vst2host::HostSettings(), bool withHost = true)
      : host(std::move(settings)) {
    vst2host::HostContext::BeginCreation(&host);
    effect = plugkit::CreateVST2Effect(withHost ? &vst2host::HostContext::Callback : nullptr, &MakePlugin<Plugin>);
    vst2host::HostContext::EndCreation();
    if (effect != nullptr) {
      effect->user = &host;
      plugin = static_cast<Plugin*>(IVST2Binding::FromEffect(effect));
    }
  }
  ~InProcess() { Close(); }
  InProcess(const InProcess&) = delete;
  InProcess& operator=(const InProcess&) = delete;

  intptr_t Dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr, float opt = 0.0f) {
    return effect->dispatcher(effect, opcode, index, value, ptr, opt);
  }
  void Close() {
    if (effect != nullptr) Dispatch(effClose);
    effect = nullptr;
    plugin = nullptr;
  }
  // effOpen, sample rate and block size, switched on: ready to process.
  void Start(float sampleRate = 44100.0f, intptr_t blockSize = 512) {
    Dispatch(effOpen);
    Dispatch(effSetSampleRate, 0, 0, nullptr, sampleRate);
    Dispatch(effSetBlockSize, 0, blockSize);
    Dispatch(effMainsChanged, 0, 1);
  }
  float Get(int32_t index) { return effect->getParameter(effect, index); }
  void Set(int32_t index, float value) { effect->setParameter(effect, index, value); }
  double Value(int32_t index) { return plugin->GetParam(index)->Value(); }

  vst2host::HostContext host;
  AEffect* effect = nullptr;
  Plugin* plugin = nullptr;
};

// A stereo signal of frames samples per channel, different in each channel.
inline std::vector<std::vector<float>> TestSignal(int32_t frames) {
  std::vector<std::vector<float>> channels(2, std::vector<float>(static_cast<size_t>(frames)));
  for (int32_t i = 0; i < frames; ++i) {
    channels[0][static_cast<size_t>(i)] = 0.5f * static_cast<float>(std::sin(0.05 * i));
    channels[1][static_cast<size_t>(i)] = 0.25f * static_cast<float>(std::cos(0.031 * i));
  }
  return channels;
}

} // namespace vst2test
