#include "tests/hosts/vst2/PluginInstance.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <mutex>

namespace vst2host {
namespace {

// One creation at a time, so that callbacks made during an entry call can be
// told apart by the context registered for it.
std::mutex gCreationLock;

constexpr size_t kGuardBytes = 256;
constexpr char kGuardByte = static_cast<char>(0xa5);

bool SameIgnoringCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

} // namespace

PluginInstance::PluginInstance(HostSettings settings) : mHost(std::move(settings)) {}

PluginInstance::~PluginInstance() { Close(); }

bool PluginInstance::Create(const PluginLibrary& library, std::string* error) {
  if (mEffect) {
    if (error) *error = "instance already created";
    return false;
  }
  if (!library.IsLoaded()) {
    if (error) *error = "no plug-in library loaded";
    return false;
  }
  AEffect* effect;
  {
    std::lock_guard<std::mutex> guard(gCreationLock);
    HostContext::BeginCreation(&mHost);
    effect = library.Entry()(&HostContext::Callback);
    if (effect && effect->magic == kEffectMagic) effect->user = &mHost;
    HostContext::EndCreation();
  }
  if (!effect) {
    if (error) *error = library.EntryName() + " returned no effect";
    return false;
  }
  if (effect->magic != kEffectMagic) {
    if (error) *error = library.EntryName() + " returned a record without the effect magic";
    return false;
  }
  mEffect = effect;
  return true;
}

intptr_t PluginInstance::Dispatch(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt) {
  if (!mEffect || !mEffect->dispatcher) return 0;
  return mEffect->dispatcher(mEffect, opcode, index, value, ptr, opt);
}

void PluginInstance::Open() { Dispatch(effOpen); }

void PluginInstance::Configure(double sampleRate, int32_t blockSize) {
  HostSettings& settings = mHost.Settings();
  settings.sampleRate = sampleRate;
  settings.blockSize = blockSize;
  settings.timeInfo.sampleRate = sampleRate;
  Dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(sampleRate));
  Dispatch(effSetBlockSize, 0, blockSize);
}

void PluginInstance::Resume() {
  Dispatch(effMainsChanged, 0, 1);
  Dispatch(effStartProcess);
}

void PluginInstance::Suspend() {
  Dispatch(effStopProcess);
  Dispatch(effMainsChanged, 0, 0);
}

void PluginInstance::Close() {
  if (!mEffect) return;
  Dispatch(effClose);
  mEffect = nullptr;
}

std::string PluginInstance::ReadText(int32_t opcode, int32_t index, int32_t capacity, intptr_t value) {
  size_t size = static_cast<size_t>(std::max(capacity, 1));
  std::vector<char> buffer(size + kGuardBytes, kGuardByte);
  std::fill(buffer.begin(), buffer.begin() + size, '\0');
  Dispatch(opcode, index, value, buffer.data());

  const char* end = static_cast<const char*>(std::memchr(buffer.data(), '\0', buffer.size()));
  size_t length = end ? static_cast<size_t>(end - buffer.data()) : buffer.size();
  bool guardIntact = std::all_of(buffer.begin() + size, buffer.end(), [](char c) { return c == kGuardByte; });
  if (length >= size || !guardIntact) {
    TextOverrun overrun;
    overrun.opcode = opcode;
    overrun.index = index;
    overrun.capacity = capacity;
    overrun.text.assign(buffer.data(), length);
    std::lock_guard<std::mutex> guard(mOverrunLock);
    mOverruns.push_back(std::move(overrun));
  }
  return std::string(buffer.data(), length);
}

std::vector<TextOverrun> PluginInstance::Overruns() const {
  std::lock_guard<std::mutex> guard(mOverrunLock);
  return mOverruns;
}

int32_t PluginInstance::FindParam(const std::string& name) {
  if (!mEffect) return -1;
  int32_t count = mEffect->numParams;
  std::vector<std::string> names;
  for (int32_t i = 0; i < count; ++i) {
    names.push_back(ParamName(i));
    if (names.back() == name) return i;
  }
  for (int32_t i = 0; i < count; ++i)
    if (SameIgnoringCase(names[static_cast<size_t>(i)], name)) return i;
  return -1;
}

float PluginInstance::GetParameter(int32_t index) {
  if (!mEffect || !mEffect->getParameter) return 0.0f;
  return mEffect->getParameter(mEffect, index);
}

void PluginInstance::SetParameter(int32_t index, float value) {
  if (mEffect && mEffect->setParameter) mEffect->setParameter(mEffect, index, value);
}

bool PluginInstance::ProcessReplacing(float** inputs, float** outputs, int32_t frames) {
  if (!mEffect || !mEffect->processReplacing) return false;
  mEffect->processReplacing(mEffect, inputs, outputs, frames);
  return true;
}

bool PluginInstance::ProcessDoubleReplacing(double** inputs, double** outputs, int32_t frames) {
  if (!mEffect || !mEffect->processDoubleReplacing) return false;
  mEffect->processDoubleReplacing(mEffect, inputs, outputs, frames);
  return true;
}

bool PluginInstance::ProcessAccumulating(float** inputs, float** outputs, int32_t frames) {
  if (!mEffect || !mEffect->process) return false;
  mEffect->process(mEffect, inputs, outputs, frames);
  return true;
}

bool PluginInstance::GetChunk(bool bank, std::vector<uint8_t>& data) {
  void* chunk = nullptr;
  intptr_t size = Dispatch(effGetChunk, bank ? 0 : 1, 0, &chunk);
  if (size <= 0 || !chunk) return false;
  const uint8_t* bytes = static_cast<const uint8_t*>(chunk);
  data.assign(bytes, bytes + size);
  return true;
}

bool PluginInstance::SetChunk(bool bank, const std::vector<uint8_t>& data) {
  // The plug-in gets its own copy: it may not keep or change the caller's bytes.
  std::vector<uint8_t> copy(data);
  return Dispatch(effSetChunk, bank ? 0 : 1, static_cast<intptr_t>(copy.size()),
                  copy.empty() ? nullptr : copy.data()) != 0;
}

} // namespace vst2host
