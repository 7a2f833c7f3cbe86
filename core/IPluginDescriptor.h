#pragma once
// IPluginDescriptor: the configuration record that the product's constructor
// fills and hands to its binding, which passes it on to the plug-in base
// (IApiBase) and the processor base (IProcessor). Both read it during
// construction only and copy what they keep, so the record and the texts it
// points at need to live only until the constructor returns.
//
// The fields are in the order in which the bases read them. Texts are
// NUL-terminated; a null text reads as "".

#include <cstdint>

namespace plugkit {

struct IPluginDescriptor {
  int32_t paramCount = 0;              // number of parameters
  int32_t presetCount = 0;             // number of preset slots
  const char* channelIO = nullptr;     // channel-input/output text, e.g. "2-2" (see IProcessor)
  const char* pluginName = nullptr;    // at most 128 characters are kept
  const char* productName = nullptr;   // at most 128 characters are kept
  const char* makerName = nullptr;     // at most 128 characters are kept
  int32_t vendorVersion = 0;           // major << 16 | minor << 8 | patch
  int32_t uniqueCode = 0;              // four-character code of the plug-in
  int32_t makerCode = 0;               // four-character code of the maker
  int32_t latency = 0;                 // frames
  bool midiIn = false;
  bool midiOut = false;
  bool mpe = false;
  bool stateChunks = false;
  int32_t pluginKind = 0;              // 0 effect, 1 instrument
  bool hasEditor = false;
  int32_t editorWidth = 0;             // pixels at scale 1
  int32_t editorHeight = 0;
  const char* extraIdentifier = nullptr; // kept whole
};

} // namespace plugkit
