#pragma once
// Selects the binding the product class sits on: each deliverable compiles the
// product sources with one of TESSIVO_API_VST2 or TESSIVO_API_VST3 defined.

#if defined(TESSIVO_API_VST2)
#include "api/vst2/IVST2Binding.h"
using TessivoBinding = plugkit::IVST2Binding;
#elif defined(TESSIVO_API_VST3)
#include "api/vst3/IVST3Binding.h"
using TessivoBinding = plugkit::IVST3Binding;
#else
#error "Define TESSIVO_API_VST2 or TESSIVO_API_VST3 to choose the plug-in interface"
#endif
