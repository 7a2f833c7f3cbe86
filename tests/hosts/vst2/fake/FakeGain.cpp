// A stand-in VST 2.4 effect for testing the test host itself: a gain with a
// DC offset and a polarity switch, written only against the project's
// interface header. It exercises the paths a real plug-in takes through the
// host: callbacks during construction, host identification on open, time
// info and process level on every block, events sent to the host, chunks,
// and the automation gesture.
//
//   out = (Invert ? -1 : 1) * in * Gain / 100 + Offset / 100
//
// Parameters: 0 "Gain" 0..200 "%" (display "%.1f"); 1 "Offset" -12..12,
// whole steps (display "%d"); 2 "Invert" "Off"/"On".
// Vendor requests (effVendorSpecific, by index) that tests use to look inside:
//   'FkOv'  value 1: texts grow a long suffix and ignore the host's buffer size
//   'FkAu'  runs a gesture on parameter `value`: begin, automate to opt, end
//   'FkTm'  the tempo of the last time info seen, times 1000 (-1: none)
//   'FkLv'  the process level seen on the last block

#include "api/vst2/VST2Interface.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

constexpr int32_t kGain = 0, kOffset = 1, kInvert = 2, kParamCount = 3;
constexpr int32_t kProgramCount = 2;
constexpr int32_t kChunkMagic = VstFourCC('F', 'k', 'C', 'k');
constexpr int32_t kChunkBytes = 4 + 4 + 4 * kParamCount;  // magic, program, values

const char* const kParamNames[kParamCount] = {"Gain", "Offset", "Invert"};
const char* const kParamLabels[kParamCount] = {"%", "cent", ""};
const char* const kProgramNames[kProgramCount] = {"Unity", "Half Gain"};
const float kProgramGains[kProgramCount] = {0.5f, 0.25f};

struct FakeGain {
  AEffect effect{};
  audioMasterCallback host = nullptr;
  float values[kParamCount] = {0.5f, 0.5f, 0.0f};
  int32_t program = 0;
  bool ignoreTextLimits = false;
  bool sendEventsOnNextBlock = false;
  double lastTempo = -1.0;
  intptr_t lastProcessLevel = -1;
  unsigned char chunk[kChunkBytes] = {};
};

FakeGain* From(AEffect* effect) { return static_cast<FakeGain*>(effect->object); }

float Gain(const FakeGain& fake) { return fake.values[kGain] * 2.0f; }
int Offset(const FakeGain& fake) { return static_cast<int>(std::lround(fake.values[kOffset] * 24.0f)) - 12; }
bool Inverted(const FakeGain& fake) { return fake.values[kInvert] >= 0.5f; }

void CopyText(const FakeGain& fake, void* ptr, const char* text, int capacity) {
  if (fake.ignoreTextLimits) {
    std::sprintf(static_cast<char*>(ptr), "%s, ignoring the buffer size", text);
    return;
  }
  std::snprintf(static_cast<char*>(ptr), static_cast<size_t>(capacity), "%s", text);
}

void FormatDisplay(const FakeGain& fake, int32_t index, char* out, int capacity) {
  switch (index) {
    case kGain: std::snprintf(out, static_cast<size_t>(capacity), "%.1f", 100.0 * Gain(fake)); break;
    case kOffset: std::snprintf(out, static_cast<size_t>(capacity), "%d", Offset(fake)); break;
    default: std::snprintf(out, static_cast<size_t>(capacity), "%s", Inverted(fake) ? "On" : "Off"); break;
  }
}

// Reads the host's transport and process level as the real binding does.
void BeginBlock(FakeGain& fake) {
  AEffect* effect = &fake.effect;
  intptr_t time = fake.host(effect, audioMasterGetTime, 0, kVstTempoValid | kVstPpqPosValid, nullptr, 0.0f);
  const VstTimeInfo* info = reinterpret_cast<const VstTimeInfo*>(time);
  fake.lastTempo = info && (info->flags & kVstTempoValid) ? info->tempo : -1.0;
  fake.lastProcessLevel = fake.host(effect, audioMasterGetCurrentProcessLevel, 0, 0, nullptr, 0.0f);
  if (!fake.sendEventsOnNextBlock) return;
  fake.sendEventsOnNextBlock = false;

  VstMidiEvent note{};
  note.type = kVstMidiType;
  note.byteSize = sizeof note;
  note.deltaFrames = 3;
  note.midiData[0] = static_cast<char>(0x90);
  note.midiData[1] = 60;
  note.midiData[2] = 100;
  char dump[4] = {static_cast<char>(0xf0), 0x7d, 0x01, static_cast<char>(0xf7)};
  VstMidiSysexEvent sysex{};
  sysex.type = kVstSysExType;
  sysex.byteSize = sizeof sysex;
  sysex.deltaFrames = 5;
  sysex.dumpBytes = sizeof dump;
  sysex.sysexDump = dump;
  VstEvents events{};
  events.numEvents = 2;
  events.events[0] = reinterpret_cast<VstEvent*>(&note);
  events.events[1] = reinterpret_cast<VstEvent*>(&sysex);
  fake.host(effect, audioMasterProcessEvents, 0, 0, &events, 0.0f);
}

template <typename Sample>
void Process(AEffect* effect, Sample** inputs, Sample** outputs, int32_t frames, bool accumulate) {
  FakeGain& fake = *From(effect);
  BeginBlock(fake);
  const Sample gain = static_cast<Sample>(Gain(fake)) * (Inverted(fake) ? -1 : 1);
  const Sample offset = static_cast<Sample>(Offset(fake)) / 100;
  for (int ch = 0; ch < 2; ++ch) {
    for (int32_t i = 0; i < frames; ++i) {
      Sample value = inputs[ch][i] * gain + offset;
      outputs[ch][i] = accumulate ? outputs[ch][i] + value : value;
    }
  }
}

void VST2_CALL ProcessAccumulating(AEffect* e, float** in, float** out, int32_t n) { Process(e, in, out, n, true); }
void VST2_CALL ProcessReplacing(AEffect* e, float** in, float** out, int32_t n) { Process(e, in, out, n, false); }
void VST2_CALL ProcessDouble(AEffect* e, double** in, double** out, int32_t n) { Process(e, in, out, n, false); }

void VST2_CALL SetParameter(AEffect* effect, int32_t index, float value) {
  if (index < 0 || index >= kParamCount) return;
  From(effect)->values[index] = value < 0.0f ? 0.0f : value > 1.0f ? 1.0f : value;
}

float VST2_CALL GetParameter(AEffect* effect, int32_t index) {
  return index < 0 || index >= kParamCount ? 0.0f : From(effect)->values[index];
}

void PutInt(unsigned char* out, int32_t value) { std::memcpy(out, &value, 4); }
int32_t GetInt(const unsigned char* in) {
  int32_t value;
  std::memcpy(&value, in, 4);
  return value;
}

intptr_t VendorRequest(FakeGain& fake, int32_t index, intptr_t value, float opt) {
  AEffect* effect = &fake.effect;
  switch (index) {
    case VstFourCC('F', 'k', 'O', 'v'): fake.ignoreTextLimits = value != 0; return 1;
    case VstFourCC('F', 'k', 'A', 'u'): {
      int32_t param = static_cast<int32_t>(value);
      if (param < 0 || param >= kParamCount) return 0;
      fake.host(effect, audioMasterBeginEdit, param, 0, nullptr, 0.0f);
      SetParameter(effect, param, opt);
      fake.host(effect, audioMasterAutomate, param, 0, nullptr, fake.values[param]);
      fake.host(effect, audioMasterEndEdit, param, 0, nullptr, 0.0f);
      return 1;
    }
    case VstFourCC('F', 'k', 'T', 'm'): return static_cast<intptr_t>(std::lround(fake.lastTempo * 1000.0));
    case VstFourCC('F', 'k', 'L', 'v'): return fake.lastProcessLevel;
    default: return 0;
  }
}

intptr_t VST2_CALL Dispatch(AEffect* effect, int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt) {
  FakeGain& fake = *From(effect);
  char text[256];
  switch (opcode) {
    case effOpen: {
      char product[kVstMaxProductStrLen] = {};
      fake.host(effect, audioMasterGetProductString, 0, 0, product, 0.0f);
      fake.host(effect, audioMasterGetVendorVersion, 0, 0, nullptr, 0.0f);
      fake.host(effect, audioMasterCanDo, 0, 0, const_cast<char*>("sendVstTimeInfo"), 0.0f);
      return 0;
    }
    case effClose: delete &fake; return 0;
    case effSetProgram:
      if (value < 0 || value >= kProgramCount) return 0;
      fake.program = static_cast<int32_t>(value);
      fake.values[kGain] = kProgramGains[fake.program];
      return 0;
    case effGetProgram: return fake.program;
    case effGetProgramName:
      if (ptr) CopyText(fake, ptr, kProgramNames[fake.program], kVstMaxProgNameLen);
      return 0;
    case effGetProgramNameIndexed:
      if (!ptr || index < 0 || index >= kProgramCount) return 0;
      CopyText(fake, ptr, kProgramNames[index], kVstMaxProgNameLen);
      return 1;
    case effGetParamName:
    case effGetParamLabel:
    case effGetParamDisplay:
      if (!ptr || index < 0 || index >= kParamCount) return 0;
      if (opcode == effGetParamDisplay)
        FormatDisplay(fake, index, text, sizeof text);
      else
        std::snprintf(text, sizeof text, "%s", opcode == effGetParamName ? kParamNames[index] : kParamLabels[index]);
      CopyText(fake, ptr, text, kVstMaxParamStrLen);
      return 0;
    case effMainsChanged:
      if (value) fake.sendEventsOnNextBlock = true;
      return 0;
    case effGetChunk:
      if (!ptr) return 0;
      PutInt(fake.chunk, kChunkMagic);
      PutInt(fake.chunk + 4, fake.program);
      std::memcpy(fake.chunk + 8, fake.values, sizeof fake.values);
      *static_cast<void**>(ptr) = fake.chunk;
      return kChunkBytes;
    case effSetChunk: {
      const unsigned char* in = static_cast<const unsigned char*>(ptr);
      if (!in || value != kChunkBytes || GetInt(in) != kChunkMagic) return 0;
      int32_t program = GetInt(in + 4);
      float values[kParamCount];
      std::memcpy(values, in + 8, sizeof values);
      if (program < 0 || program >= kProgramCount) return 0;
      for (float v : values)
        if (!(v >= 0.0f && v <= 1.0f)) return 0;
      fake.program = program;
      std::memcpy(fake.values, values, sizeof values);
      return 1;
    }
    case effCanBeAutomated: return index >= 0 && index < kParamCount ? 1 : 0;
    case effGetPlugCategory: return kPlugCategEffect;
    case effGetEffectName:
      if (ptr) CopyText(fake, ptr, "Fake Gain", kVstMaxEffectNameLen);
      return ptr ? 1 : 0;
    case effGetVendorString:
      if (ptr) CopyText(fake, ptr, "plugkit tests", kVstMaxVendorStrLen);
      return ptr ? 1 : 0;
    case effGetProductString:
      if (ptr) CopyText(fake, ptr, "Fake Gain", kVstMaxProductStrLen);
      return ptr ? 1 : 0;
    case effGetVendorVersion: return 10203;
    case effVendorSpecific: return VendorRequest(fake, index, value, opt);
    case effGetVstVersion: return kVstVersion;
    default: return 0;
  }
}

} // namespace

extern "C" __declspec(dllexport) AEffect* VST2_CALL VSTPluginMain(audioMasterCallback host) {
  if (!host || host(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) return nullptr;
  FakeGain* fake = new FakeGain;
  fake->host = host;
  AEffect& e = fake->effect;
  e.magic = kEffectMagic;
  e.dispatcher = Dispatch;
  e.process = ProcessAccumulating;
  e.setParameter = SetParameter;
  e.getParameter = GetParameter;
  e.numPrograms = kProgramCount;
  e.numParams = kParamCount;
  e.numInputs = 2;
  e.numOutputs = 2;
  e.flags = effFlagsCanReplacing | effFlagsCanDoubleReplacing | effFlagsProgramChunks;
  e.ioRatio = 1.0f;
  e.object = fake;
  e.uniqueID = VstFourCC('F', 'k', 'G', 'n');
  e.version = 10203;
  e.processReplacing = ProcessReplacing;
  e.processDoubleReplacing = ProcessDouble;
  return &e;
}
