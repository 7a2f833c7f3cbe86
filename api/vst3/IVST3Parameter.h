#pragma once
// The VST 3 parameter objects through which a host sees the plug-in's
// parameters (the SDK's parameter container asks them for information, texts
// and value conversions):
// - IVST3Parameter mirrors one framework IParam: id = the IParam's index,
//   title and units from its name and label, step count 0 for Decimal
//   parameters and (int)(max - min) otherwise, default from the IParam,
//   automatable unless HostLocked, a list for ListChoice parameters. Texts
//   and conversions are the IParam's own, so the host shows what the editor
//   shows.
// - IVST3BypassParameter is the host's "Bypass" switch (id kBypassParamId,
//   texts "off" and "on", flagged as the bypass of the plug-in).
//
// Ownership: the controller's parameter container owns both kinds (one
// reference each); an IVST3Parameter borrows its IParam, which the plug-in
// object owns and which outlives the container. Threads: the host's
// user-interface thread, as every edit-controller call.

#include <cstdint>

#include "core/IParam.h"
#include "public.sdk/source/vst/vstparameters.h"

namespace plugkit {

class IVST3Parameter : public Steinberg::Vst::Parameter {
public:
  // param must not be null and must outlive this object.
  IVST3Parameter(IParam* param, Steinberg::Vst::ParamID id, Steinberg::Vst::UnitID unitId);

  // The IParam's display text of the normalised value, in UTF-16.
  void toString(Steinberg::Vst::ParamValue normalised, Steinberg::Vst::String128 text) const SMTG_OVERRIDE;
  // Parses the text as the IParam does and normalises the result. Always true:
  // text that is no number reads as the IParam's parse of it (the minimum, or
  // 0 clamped into range).
  bool fromString(const Steinberg::Vst::TChar* text, Steinberg::Vst::ParamValue& normalised) const SMTG_OVERRIDE;
  // Denormalised, rounded to whole steps when Quantised, clamped to the range.
  Steinberg::Vst::ParamValue toPlain(Steinberg::Vst::ParamValue normalised) const SMTG_OVERRIDE;
  // Rounded when Quantised, clamped, normalised, clamped to [0, 1].
  Steinberg::Vst::ParamValue toNormalized(Steinberg::Vst::ParamValue plain) const SMTG_OVERRIDE;

  IParam* Source() const { return mParam; }

  OBJ_METHODS(IVST3Parameter, Parameter)

private:
  IParam* mParam;
};

class IVST3BypassParameter : public Steinberg::Vst::StringListParameter {
public:
  static constexpr Steinberg::Vst::ParamID kId = 0x10000;

  IVST3BypassParameter();

  // The list text of the value; a value outside [0, 1] (or NaN) is read as
  // the nearer end instead of indexing outside the list.
  void toString(Steinberg::Vst::ParamValue normalised, Steinberg::Vst::String128 text) const SMTG_OVERRIDE;

  OBJ_METHODS(IVST3BypassParameter, StringListParameter)
};

} // namespace plugkit
