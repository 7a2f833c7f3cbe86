// IApiBase: construction from the configuration record, the editor timer, the
// host's identity, the build description and state comparison. The editor
// side (gestures, host pushes, the tick and the queues) is in IApiBaseEditor.cpp.

#include "core/IApiBase.h"

#include <cmath>
#include <cstdio>
#include <ctime>

#include "core/IHostIdentity.h"
#include "core/TraceCall.h"

namespace plugkit {

namespace {

// "YYYYmmdd HH:MM +hhmm": the local time with its offset from universal time.
void FormatLocalTimeStamp(char* out, size_t size) {
  out[0] = '\0';
  const std::time_t now = std::time(nullptr);
  const std::tm* localNow = std::localtime(&now);
  if (localNow == nullptr) return;
  std::tm local = *localNow;
  const std::tm* utcNow = std::gmtime(&now);
  if (utcNow == nullptr) return;
  std::tm utc = *utcNow;
  // mktime reads both as local time, so their difference is the zone offset;
  // the daylight-saving flag is copied so that it is not counted twice.
  utc.tm_isdst = local.tm_isdst;
  std::tm localCopy = local;
  const long offsetMinutes = std::lround(std::difftime(std::mktime(&localCopy), std::mktime(&utc)) / 60.0);
  const long magnitude = offsetMinutes < 0 ? -offsetMinutes : offsetMinutes;

  const size_t used = std::strftime(out, size, "%Y%m%d %H:%M ", &local);
  std::snprintf(out + used, size - used, "%c%02ld%02ld", offsetMinutes < 0 ? '-' : '+',
                magnitude / 60, magnitude % 60);
}

const char* ProcessorArchitecture() {
#if defined(_WIN64) || defined(__x86_64__)
  return "x64";
#elif defined(__aarch64__)
  return "arm64";
#else
  return "x86";
#endif
}

} // namespace

IApiBase::IApiBase(const IPluginDescriptor& descriptor)
    : IPluginBase(descriptor.paramCount, descriptor.presetCount) {
  mUniqueCode = descriptor.uniqueCode;
  mMakerCode = descriptor.makerCode;
  mVendorVersion = descriptor.vendorVersion;
  mPluginName.Assign(descriptor.pluginName, kNameChars);
  mProductName.Assign(descriptor.productName, kNameChars);
  mMakerName.Assign(descriptor.makerName, kNameChars);
  mHasEditor = descriptor.hasEditor;
  SetEditorSize(descriptor.editorWidth, descriptor.editorHeight);
  mStateChunks = descriptor.stateChunks;
  mApiKind = static_cast<int32_t>(EApiKind::VST2);
  mExtraIdentifier.Assign(descriptor.extraIdentifier);
  // Stands in until the host shows the editor on a thread of its choice.
  mUserInterfaceThread.store(CurrentThreadTag(), std::memory_order_release);

  char stamp[64];
  FormatLocalTimeStamp(stamp, sizeof stamp);
  TraceCall("plugkit::IApiBase::IApiBase", __LINE__, "%s:%s", stamp, PluginName());
}

IApiBase::~IApiBase() {
  // Ticks call back into this object; they must end before any of it goes.
  StopEditorTimer();
}

bool IApiBase::StartEditorTimer() {
  StopEditorTimer();
  mEditorTimer.reset(Timer::Schedule([this](Timer& timer) { OnEditorTimer(timer); }, kEditorTimerMs));
  return mEditorTimer != nullptr;
}

void IApiBase::StopEditorTimer() {
  if (!mEditorTimer) return;
  mEditorTimer->Cancel();
  mEditorTimer.reset();
}

void IApiBase::SetHost(const char* hostName, int32_t hostVersion) {
  const char* name = hostName != nullptr ? hostName : "";
  mHost.Code = IdentifyHost(name);
  mHost.Version = hostVersion;

  char versionText[48];
  std::snprintf(versionText, sizeof versionText, "v%d.%d.%d", (hostVersion >> 16) & 0xffff,
                (hostVersion >> 8) & 0xff, hostVersion & 0xff);
  TraceCall("plugkit::IApiBase::SetHost", __LINE__, "host_%sknown:%s:%s",
            mHost.Code == kHostUnknown ? "un" : "", name, versionText);
  AdaptToHost();
  OnHostKnown();
}

const char* IApiBase::DescribeBuild() {
  const int32_t v = mVendorVersion;
  char versionText[48];
  std::snprintf(versionText, sizeof versionText, "v%d.%d.%d", (v >> 16) & 0xffff, (v >> 8) & 0xff, v & 0xff);
  mBuildDescription.Print(kBuildTextChars, "%s version %s %s (%s), built on %s at %.5s ", PluginName(),
                          versionText, ApiKindName(mApiKind), ProcessorArchitecture(), __DATE__, __TIME__);
  return mBuildDescription.Get();
}

bool IApiBase::StateMatches(const IStateBuffer& state, int32_t start) const {
  int32_t position = start;
  for (int32_t i = 0; i < ParamCount(); ++i) {
    double stored = 0.0;
    position = state.ReadFloat64(position, &stored);
    if (position < 0) return false;
    const float difference = static_cast<float>(GetParam(i)->Value()) - static_cast<float>(stored);
    if (!(std::fabs(difference) < 1e-5f)) return false;
  }
  return true;
}

bool IApiBase::OnAboutRequest() { return false; }
void IApiBase::OnHostKnown() {}
void IApiBase::AdaptToHost() {}
void IApiBase::OnEditorTick() {}
void IApiBase::BeginHostParamEdit(int32_t /*index*/) {}
void IApiBase::EndHostParamEdit(int32_t /*index*/) {}
void IApiBase::SendHostParamValue(int32_t /*index*/, double /*normalisedValue*/) {}

bool IApiBase::GetMidiKeyLabel(int32_t /*key*/, IStringBuffer& text) {
  text.Clear();
  return false;
}

canvas::ICanvas* IApiBase::GetEditorView() const { return EditorGraphics(); }

bool IApiBase::ResizeEditorInHost(int32_t width, int32_t height) {
  SetEditorSize(width, height);
  return false;
}

} // namespace plugkit
