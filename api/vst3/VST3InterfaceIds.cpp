// Interface ids that the SDK headers declare but none of the SDK sources this
// project compiles define: the plug-in view, its frame and its content-scale
// extension.
#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"

namespace Steinberg {

DEF_CLASS_IID(IPlugView)
DEF_CLASS_IID(IPlugFrame)
DEF_CLASS_IID(IPlugViewContentScaleSupport)

}  // namespace Steinberg
