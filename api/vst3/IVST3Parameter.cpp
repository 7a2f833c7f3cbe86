#include "api/vst3/IVST3Parameter.h"

#include <cmath>

#include "api/vst3/IVST3Text.h"
#include "core/IStringBuffer.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace plugkit {

namespace {

ParameterInfo InfoOf(const IParam& param, ParamID id, UnitID unitId) {
  ParameterInfo info{};
  info.id = id;
  Utf8ToVST3Text(param.Name(), info.title, 128);
  info.shortTitle[0] = 0;
  Utf8ToVST3Text(param.Label(), info.units, 128);
  info.stepCount = param.Kind() == IParamKind::Decimal ? 0 : static_cast<int32>(param.Max() - param.Min());
  info.defaultNormalizedValue = param.InitialValue(true);
  info.unitId = unitId;
  info.flags = param.HasFlag(IParamFlag::HostLocked) ? 0 : ParameterInfo::kCanAutomate;
  if (param.Kind() == IParamKind::ListChoice) info.flags |= ParameterInfo::kIsList;
  return info;
}

} // namespace

IVST3Parameter::IVST3Parameter(IParam* param, ParamID id, UnitID unitId)
  : Parameter(InfoOf(*param, id, unitId)), mParam(param) {
  precision = param->Precision();
}

void IVST3Parameter::toString(ParamValue normalised, String128 text) const {
  IStringBuffer display;
  mParam->FormatValue(normalised, true, display);
  Utf8ToVST3Text(display.Get(), text, 128);
}

bool IVST3Parameter::fromString(const TChar* text, ParamValue& normalised) const {
  char narrow[512];
  VST3TextToUtf8(text, 128, narrow, static_cast<int32_t>(sizeof narrow));
  normalised = mParam->ToNormalised(mParam->ParseText(narrow));
  return true;
}

ParamValue IVST3Parameter::toPlain(ParamValue normalised) const {
  // A NaN from the host would pass through the shape and the clamp unchanged.
  if (std::isnan(normalised)) normalised = 0.0;
  return mParam->FromNormalised(normalised);
}

ParamValue IVST3Parameter::toNormalized(ParamValue plain) const { return mParam->ToNormalised(plain); }

IVST3BypassParameter::IVST3BypassParameter()
  : StringListParameter(STR16("Bypass"), kId, nullptr,
                        ParameterInfo::kCanAutomate | ParameterInfo::kIsList | ParameterInfo::kIsBypass, kRootUnitId) {
  appendString(STR16("off"));
  appendString(STR16("on"));
}

void IVST3BypassParameter::toString(ParamValue normalised, String128 text) const {
  if (!(normalised >= 0.0)) normalised = 0.0; // NaN too
  if (normalised > 1.0) normalised = 1.0;
  StringListParameter::toString(normalised, text);
}

} // namespace plugkit
