#pragma once
// The VST 2.4 host interface: the effect record a plug-in hands to its host,
// the dispatcher and host-callback opcodes, flags, and the records passed
// through the dispatcher's and the callback's pointer argument.
//
// Everything here is a binary interface fixed by the published VST 2.4
// format: layouts, numbers and buffer sizes must not change. The names are
// the interface's own, kept in the global namespace beside the C-linkage
// entry points that carry them (`VSTPluginMain`, `main`).
//
// Contract shared by both sides:
// - The plug-in owns the `AEffect` record; its address stays valid from the
//   entry's return until the host sends `effClose`. The host owns the
//   callback and passes no context besides the record's address (null while
//   the plug-in is still being constructed).
// - The dispatcher runs on the host's user-interface thread, except
//   `effProcessEvents`, which runs on the audio thread right before a process
//   call. The process entries run on the audio thread; set-parameter may run
//   on either.
// - Text buffers are 8-bit and NUL-terminated; each size below counts the
//   terminating NUL, and the writer never writes past it.
// - Pointers handed across in one call are valid for that call only, except
//   chunk data (valid until the plug-in's next chunk call of the same kind)
//   and the time info returned by `audioMasterGetTime` (valid until the next
//   callback).

#include <cstddef>
#include <cstdint>

#if defined(_WIN32) && !defined(_WIN64)
#define VST2_CALL __cdecl
#else
#define VST2_CALL
#endif

struct AEffect;

// Host callback and dispatcher share one shape: (record, opcode, index,
// value, ptr, opt) -> pointer-sized result.
typedef intptr_t(VST2_CALL* audioMasterCallback)(AEffect* effect, int32_t opcode, int32_t index,
                                                 intptr_t value, void* ptr, float opt);
typedef intptr_t(VST2_CALL* AEffectDispatcherProc)(AEffect* effect, int32_t opcode, int32_t index,
                                                   intptr_t value, void* ptr, float opt);
// Accumulating (`process`) and replacing entries: one buffer per channel.
typedef void(VST2_CALL* AEffectProcessProc)(AEffect* effect, float** inputs, float** outputs,
                                            int32_t sampleFrames);
typedef void(VST2_CALL* AEffectProcessDoubleProc)(AEffect* effect, double** inputs,
                                                  double** outputs, int32_t sampleFrames);
typedef void(VST2_CALL* AEffectSetParameterProc)(AEffect* effect, int32_t index, float parameter);
typedef float(VST2_CALL* AEffectGetParameterProc)(AEffect* effect, int32_t index);

// Four-character codes put the first character in the most significant byte.
constexpr int32_t VstFourCC(char a, char b, char c, char d) {
  return static_cast<int32_t>((static_cast<uint32_t>(static_cast<uint8_t>(a)) << 24) |
                              (static_cast<uint32_t>(static_cast<uint8_t>(b)) << 16) |
                              (static_cast<uint32_t>(static_cast<uint8_t>(c)) << 8) |
                              static_cast<uint32_t>(static_cast<uint8_t>(d)));
}

constexpr int32_t kEffectMagic = VstFourCC('V', 's', 't', 'P');
constexpr int32_t kVstVersion = 2400;  // answer of effGetVstVersion and audioMasterVersion

// Text-buffer sizes, each including the terminating NUL.
constexpr int kVstMaxProgNameLen = 24;    // effGetProgramName, effSetProgramName, effGetProgramNameIndexed
constexpr int kVstMaxParamStrLen = 8;     // effGetParamLabel, effGetParamDisplay, effGetParamName
constexpr int kVstMaxVendorStrLen = 64;   // effGetVendorString, audioMasterGetVendorString
constexpr int kVstMaxProductStrLen = 64;  // effGetProductString, audioMasterGetProductString
constexpr int kVstMaxEffectNameLen = 32;  // effGetEffectName
constexpr int kVstMaxNameLen = 64;        // MidiKeyName::keyName and other names
constexpr int kVstMaxLabelLen = 64;       // VstPinProperties::label, VstParameterProperties::label
constexpr int kVstMaxShortLabelLen = 8;   // the short labels of the same records
constexpr int kVstMaxCategLabelLen = 24;  // VstParameterProperties::categoryLabel
constexpr int kVstMaxFileNameLen = 100;

// The record through which the host reaches the plug-in. Laid out with
// natural alignment: 192 bytes on 64-bit, 144 on 32-bit.
struct AEffect {
  int32_t magic;  // kEffectMagic
  AEffectDispatcherProc dispatcher;
  AEffectProcessProc process;  // accumulating; deprecated but still called by some hosts
  AEffectSetParameterProc setParameter;
  AEffectGetParameterProc getParameter;
  int32_t numPrograms;
  int32_t numParams;
  int32_t numInputs;
  int32_t numOutputs;
  int32_t flags;  // EVstEffectFlags
  intptr_t resvd1;
  intptr_t resvd2;
  int32_t initialDelay;  // latency in frames
  int32_t realQualities;
  int32_t offQualities;
  float ioRatio;
  void* object;  // the plug-in's own object
  void* user;    // free for the host
  int32_t uniqueID;
  int32_t version;  // major * 10000 + minor * 100 + patch, by convention
  AEffectProcessProc processReplacing;
  AEffectProcessDoubleProc processDoubleReplacing;
  char future[56];
};

enum EVstEffectFlags : int32_t {
  effFlagsHasEditor = 1 << 0,
  effFlagsCanMono = 1 << 3,
  effFlagsCanReplacing = 1 << 4,
  effFlagsProgramChunks = 1 << 5,
  effFlagsIsSynth = 1 << 8,
  effFlagsNoSoundInStop = 1 << 9,
  effFlagsCanDoubleReplacing = 1 << 12,
};

// Dispatcher opcodes (host to plug-in).
enum EVstDispatcherOpcode : int32_t {
  effOpen = 0,
  effClose = 1,
  effSetProgram = 2,      // value: program index
  effGetProgram = 3,      // result: program index
  effSetProgramName = 4,  // ptr: text, kVstMaxProgNameLen
  effGetProgramName = 5,  // ptr: buffer, kVstMaxProgNameLen
  effGetParamLabel = 6,   // index: parameter; ptr: buffer, kVstMaxParamStrLen
  effGetParamDisplay = 7,
  effGetParamName = 8,
  effGetVu = 9,  // deprecated
  effSetSampleRate = 10,  // opt: sample rate
  effSetBlockSize = 11,   // value: largest block size
  effMainsChanged = 12,   // value: 0 switch off, 1 switch on
  effEditGetRect = 13,    // ptr: ERect** that receives the plug-in's rectangle
  effEditOpen = 14,       // ptr: parent window handle
  effEditClose = 15,
  effEditDraw = 16,  // deprecated
  effEditMouse = 17,  // deprecated
  effEditKey = 18,    // deprecated
  effEditIdle = 19,
  effEditTop = 20,    // deprecated
  effEditSleep = 21,  // deprecated
  effIdentify = 22,   // deprecated; result: VstFourCC('N','v','E','f')
  effGetChunk = 23,   // index: 0 bank, else program; ptr: void** receiving the data; result: size
  effSetChunk = 24,   // index as above; value: size; ptr: data
  effProcessEvents = 25,    // ptr: VstEvents*
  effCanBeAutomated = 26,   // index: parameter
  effString2Parameter = 27,  // index: parameter; ptr: text, or null to ask whether supported
  effGetNumProgramCategories = 28,  // deprecated
  effGetProgramNameIndexed = 29,    // index: program; ptr: buffer, kVstMaxProgNameLen
  effCopyProgram = 30,              // deprecated
  effConnectInput = 31,             // deprecated
  effConnectOutput = 32,            // deprecated
  effGetInputProperties = 33,       // index: channel; ptr: VstPinProperties*
  effGetOutputProperties = 34,
  effGetPlugCategory = 35,  // result: EVstPlugCategory
  effGetCurrentPosition = 36,   // deprecated
  effGetDestinationBuffer = 37,  // deprecated
  effOfflineNotify = 38,
  effOfflinePrepare = 39,
  effOfflineRun = 40,
  effProcessVarIo = 41,
  effSetSpeakerArrangement = 42,  // value: input VstSpeakerArrangement*; ptr: output one
  effSetBlockSizeAndSampleRate = 43,  // deprecated
  effSetBypass = 44,                  // value: 1 bypass on
  effGetEffectName = 45,              // ptr: buffer, kVstMaxEffectNameLen
  effGetErrorText = 46,               // deprecated
  effGetVendorString = 47,            // ptr: buffer, kVstMaxVendorStrLen
  effGetProductString = 48,           // ptr: buffer, kVstMaxProductStrLen
  effGetVendorVersion = 49,
  effVendorSpecific = 50,
  effCanDo = 51,         // ptr: capability text; result 1 yes, -1 no, 0 don't know
  effGetTailSize = 52,   // result: frames
  effIdle = 53,          // deprecated
  effGetIcon = 54,       // deprecated
  effSetViewPosition = 55,  // deprecated
  effGetParameterProperties = 56,  // index: parameter; ptr: VstParameterProperties*
  effKeysRequired = 57,            // deprecated
  effGetVstVersion = 58,           // result: kVstVersion
  effEditKeyDown = 59,
  effEditKeyUp = 60,
  effSetEditKnobMode = 61,
  effGetMidiProgramName = 62,
  effGetCurrentMidiProgram = 63,
  effGetMidiProgramCategory = 64,
  effHasMidiProgramsChanged = 65,
  effGetMidiKeyName = 66,  // index: MIDI channel; ptr: MidiKeyName*
  effBeginSetProgram = 67,
  effEndSetProgram = 68,
  effGetSpeakerArrangement = 69,  // value and ptr: VstSpeakerArrangement** receiving input and output
  effShellGetNextPlugin = 70,
  effStartProcess = 71,
  effStopProcess = 72,
  effSetTotalSampleToProcess = 73,
  effSetPanLaw = 74,
  effBeginLoadBank = 75,
  effBeginLoadProgram = 76,
  effSetProcessPrecision = 77,  // value: 0 single, 1 double
  effGetNumMidiInputChannels = 78,
  effGetNumMidiOutputChannels = 79,
};

// Host-callback opcodes (plug-in to host).
enum EVstHostOpcode : int32_t {
  audioMasterAutomate = 0,  // index: parameter; opt: normalised value
  audioMasterVersion = 1,   // result: the host's VST version
  audioMasterCurrentId = 2,
  audioMasterIdle = 3,
  audioMasterPinConnected = 4,  // deprecated
  audioMasterWantMidi = 6,      // deprecated
  audioMasterGetTime = 7,       // value: EVstTimeInfoFlags wanted; result: VstTimeInfo* or 0
  audioMasterProcessEvents = 8,  // ptr: VstEvents*
  audioMasterSetTime = 9,        // deprecated
  audioMasterTempoAt = 10,       // deprecated
  audioMasterGetNumAutomatableParameters = 11,  // deprecated
  audioMasterGetParameterQuantization = 12,     // deprecated
  audioMasterIOChanged = 13,
  audioMasterNeedIdle = 14,      // deprecated
  audioMasterSizeWindow = 15,    // index: width; value: height
  audioMasterGetSampleRate = 16,
  audioMasterGetBlockSize = 17,
  audioMasterGetInputLatency = 18,
  audioMasterGetOutputLatency = 19,
  audioMasterGetPreviousPlug = 20,  // deprecated
  audioMasterGetNextPlug = 21,      // deprecated
  audioMasterWillReplaceOrAccumulate = 22,  // deprecated
  audioMasterGetCurrentProcessLevel = 23,   // result: EVstProcessLevel
  audioMasterGetAutomationState = 24,
  audioMasterOfflineStart = 25,
  audioMasterOfflineRead = 26,
  audioMasterOfflineWrite = 27,
  audioMasterOfflineGetCurrentPass = 28,
  audioMasterOfflineGetCurrentMetaPass = 29,
  audioMasterSetOutputSampleRate = 30,       // deprecated
  audioMasterGetOutputSpeakerArrangement = 31,  // deprecated
  audioMasterGetVendorString = 32,   // ptr: buffer, kVstMaxVendorStrLen
  audioMasterGetProductString = 33,  // ptr: buffer, kVstMaxProductStrLen
  audioMasterGetVendorVersion = 34,  // result: major * 10000 + minor * 100 + patch
  audioMasterVendorSpecific = 35,
  audioMasterSetIcon = 36,  // deprecated
  audioMasterCanDo = 37,    // ptr: capability text; result 1 yes, -1 no, 0 don't know
  audioMasterGetLanguage = 38,
  audioMasterOpenWindow = 39,   // deprecated
  audioMasterCloseWindow = 40,  // deprecated
  audioMasterGetDirectory = 41,
  audioMasterUpdateDisplay = 42,
  audioMasterBeginEdit = 43,  // index: parameter
  audioMasterEndEdit = 44,    // index: parameter
  audioMasterOpenFileSelector = 45,
  audioMasterCloseFileSelector = 46,
  audioMasterEditFile = 47,              // deprecated
  audioMasterGetChunkFile = 48,          // deprecated
  audioMasterGetInputSpeakerArrangement = 49,  // deprecated
};

enum EVstProcessLevel : int32_t {
  kVstProcessLevelUnknown = 0,
  kVstProcessLevelUser = 1,
  kVstProcessLevelRealtime = 2,
  kVstProcessLevelPrefetch = 3,
  kVstProcessLevelOffline = 4,
};

enum EVstPlugCategory : int32_t {
  kPlugCategUnknown = 0,
  kPlugCategEffect = 1,
  kPlugCategSynth = 2,
  kPlugCategAnalysis = 3,
  kPlugCategMastering = 4,
  kPlugCategSpacializer = 5,
  kPlugCategRoomFx = 6,
  kPlugSurroundFx = 7,
  kPlugCategRestoration = 8,
  kPlugCategOfflineProcess = 9,
  kPlugCategShell = 10,
  kPlugCategGenerator = 11,
};

// The editor's rectangle in pixels.
struct ERect {
  int16_t top;
  int16_t left;
  int16_t bottom;
  int16_t right;
};

// Transport and tempo, answered to audioMasterGetTime. Only the fields whose
// validity flag is set carry meaning; samplePos and sampleRate always do.
struct VstTimeInfo {
  double samplePos;
  double sampleRate;
  double nanoSeconds;
  double ppqPos;         // quarter notes
  double tempo;          // beats per minute
  double barStartPos;    // ppq of the last bar start
  double cycleStartPos;  // ppq
  double cycleEndPos;    // ppq
  int32_t timeSigNumerator;
  int32_t timeSigDenominator;
  int32_t smpteOffset;
  int32_t smpteFrameRate;
  int32_t samplesToNextClock;
  int32_t flags;  // EVstTimeInfoFlags
};

enum EVstTimeInfoFlags : int32_t {
  kVstTransportChanged = 1 << 0,
  kVstTransportPlaying = 1 << 1,
  kVstTransportCycleActive = 1 << 2,
  kVstTransportRecording = 1 << 3,
  kVstAutomationWriting = 1 << 6,
  kVstAutomationReading = 1 << 7,
  kVstNanosValid = 1 << 8,
  kVstPpqPosValid = 1 << 9,
  kVstTempoValid = 1 << 10,
  kVstBarsValid = 1 << 11,
  kVstCyclePosValid = 1 << 12,
  kVstTimeSigValid = 1 << 13,
  kVstSmpteValid = 1 << 14,
  kVstClockValid = 1 << 15,
};

// Events: a list of pointers to records that all begin like VstEvent.
enum EVstEventType : int32_t {
  kVstMidiType = 1,
  kVstParameterType = 4,
  kVstTriggerType = 5,
  kVstSysExType = 6,
};

struct VstEvent {
  int32_t type;      // EVstEventType
  int32_t byteSize;  // of the whole record
  int32_t deltaFrames;  // offset into the current block
  int32_t flags;
  char data[16];
};

// `events` really holds numEvents entries; the sender allocates the record
// large enough. The list and its events live only for the call.
struct VstEvents {
  int32_t numEvents;
  intptr_t reserved;
  VstEvent* events[2];
};

enum EVstMidiEventFlags : int32_t {
  kVstMidiEventIsRealtime = 1 << 0,
};

struct VstMidiEvent {
  int32_t type;      // kVstMidiType
  int32_t byteSize;  // sizeof(VstMidiEvent)
  int32_t deltaFrames;
  int32_t flags;  // EVstMidiEventFlags
  int32_t noteLength;
  int32_t noteOffset;
  char midiData[4];  // status, data 1, data 2, 0
  char detune;
  char noteOffVelocity;
  char reserved1;
  char reserved2;
};

struct VstMidiSysexEvent {
  int32_t type;      // kVstSysExType
  int32_t byteSize;  // sizeof(VstMidiSysexEvent)
  int32_t deltaFrames;
  int32_t flags;
  int32_t dumpBytes;  // size of sysexDump
  intptr_t resvd1;
  char* sysexDump;
  intptr_t resvd2;
};

// Channel (pin) properties, filled by the plug-in for effGetInput/OutputProperties.
enum EVstPinFlags : int32_t {
  kVstPinIsActive = 1 << 0,
  kVstPinIsStereo = 1 << 1,  // this pin and the next form a stereo pair
  kVstPinUseSpeaker = 1 << 2,
};

struct VstPinProperties {
  char label[kVstMaxLabelLen];
  int32_t flags;  // EVstPinFlags
  int32_t arrangementType;
  char shortLabel[kVstMaxShortLabelLen];
  char future[48];
};

// Parameter properties, filled by the plug-in for effGetParameterProperties.
enum EVstParameterFlags : int32_t {
  kVstParameterIsSwitch = 1 << 0,
  kVstParameterUsesIntegerMinMax = 1 << 1,
  kVstParameterUsesFloatStep = 1 << 2,
  kVstParameterUsesIntStep = 1 << 3,
  kVstParameterSupportsDisplayIndex = 1 << 4,
  kVstParameterSupportsDisplayCategory = 1 << 5,
  kVstParameterCanRamp = 1 << 6,
};

struct VstParameterProperties {
  float stepFloat;
  float smallStepFloat;
  float largeStepFloat;
  char label[kVstMaxLabelLen];
  int32_t flags;  // EVstParameterFlags
  int32_t minInteger;
  int32_t maxInteger;
  int32_t stepInteger;
  int32_t largeStepInteger;
  char shortLabel[kVstMaxShortLabelLen];
  int16_t displayIndex;
  int16_t category;
  int16_t numParametersInCategory;
  int16_t reserved;
  char categoryLabel[kVstMaxCategLabelLen];
  char future[16];
};

// Speaker arrangements, exchanged by effSet/GetSpeakerArrangement.
enum EVstSpeakerArrangementType : int32_t {
  kSpeakerArrUserDefined = -2,
  kSpeakerArrEmpty = -1,
  kSpeakerArrMono = 0,
  kSpeakerArrStereo = 1,
};

struct VstSpeakerProperties {
  float azimuth;
  float elevation;
  float radius;
  float reserved;
  char name[kVstMaxNameLen];
  int32_t type;
  char future[28];
};

// `speakers` really holds numChannels entries; eight are declared.
struct VstSpeakerArrangement {
  int32_t type;  // EVstSpeakerArrangementType
  int32_t numChannels;
  VstSpeakerProperties speakers[8];
};

// Answered for effGetMidiKeyName.
struct MidiKeyName {
  int32_t thisProgramIndex;
  int32_t thisKeyNumber;
  char keyName[kVstMaxNameLen];
  int32_t reserved;
  int32_t flags;
};

// The layouts are the interface: any drift breaks every host.
static_assert(sizeof(ERect) == 8, "ERect layout");
static_assert(sizeof(VstTimeInfo) == 88 && offsetof(VstTimeInfo, flags) == 84, "VstTimeInfo layout");
static_assert(sizeof(VstEvent) == 32 && sizeof(VstMidiEvent) == 32, "event layout");
static_assert(offsetof(VstMidiEvent, midiData) == 24, "VstMidiEvent layout");
static_assert(sizeof(VstPinProperties) == 128, "VstPinProperties layout");
static_assert(sizeof(VstParameterProperties) == 152, "VstParameterProperties layout");
static_assert(sizeof(VstSpeakerProperties) == 112, "VstSpeakerProperties layout");
static_assert(sizeof(VstSpeakerArrangement) == 8 + 8 * 112, "VstSpeakerArrangement layout");
static_assert(sizeof(MidiKeyName) == 80, "MidiKeyName layout");
#if INTPTR_MAX == INT64_MAX
static_assert(sizeof(AEffect) == 192, "AEffect layout");
static_assert(offsetof(AEffect, dispatcher) == 8 && offsetof(AEffect, process) == 16 &&
                  offsetof(AEffect, setParameter) == 24 && offsetof(AEffect, getParameter) == 32,
              "AEffect entry points");
static_assert(offsetof(AEffect, numPrograms) == 40 && offsetof(AEffect, flags) == 56 &&
                  offsetof(AEffect, resvd1) == 64 && offsetof(AEffect, initialDelay) == 80 &&
                  offsetof(AEffect, ioRatio) == 92,
              "AEffect counts");
static_assert(offsetof(AEffect, object) == 96 && offsetof(AEffect, user) == 104 &&
                  offsetof(AEffect, uniqueID) == 112 && offsetof(AEffect, version) == 116,
              "AEffect identity");
static_assert(offsetof(AEffect, processReplacing) == 120 &&
                  offsetof(AEffect, processDoubleReplacing) == 128 && offsetof(AEffect, future) == 136,
              "AEffect replacing entries");
static_assert(sizeof(VstEvents) == 32 && offsetof(VstEvents, events) == 16, "VstEvents layout");
static_assert(sizeof(VstMidiSysexEvent) == 48 && offsetof(VstMidiSysexEvent, sysexDump) == 32,
              "VstMidiSysexEvent layout");
#elif INTPTR_MAX == INT32_MAX
static_assert(sizeof(AEffect) == 144, "AEffect layout");
static_assert(offsetof(AEffect, dispatcher) == 4 && offsetof(AEffect, process) == 8 &&
                  offsetof(AEffect, setParameter) == 12 && offsetof(AEffect, getParameter) == 16,
              "AEffect entry points");
static_assert(offsetof(AEffect, numPrograms) == 20 && offsetof(AEffect, flags) == 36 &&
                  offsetof(AEffect, resvd1) == 40 && offsetof(AEffect, initialDelay) == 48 &&
                  offsetof(AEffect, ioRatio) == 60,
              "AEffect counts");
static_assert(offsetof(AEffect, object) == 64 && offsetof(AEffect, user) == 68 &&
                  offsetof(AEffect, uniqueID) == 72 && offsetof(AEffect, version) == 76,
              "AEffect identity");
static_assert(offsetof(AEffect, processReplacing) == 80 &&
                  offsetof(AEffect, processDoubleReplacing) == 84 && offsetof(AEffect, future) == 88,
              "AEffect replacing entries");
static_assert(sizeof(VstEvents) == 16 && offsetof(VstEvents, events) == 8, "VstEvents layout");
static_assert(sizeof(VstMidiSysexEvent) == 32 && offsetof(VstMidiSysexEvent, sysexDump) == 24,
              "VstMidiSysexEvent layout");
#endif
