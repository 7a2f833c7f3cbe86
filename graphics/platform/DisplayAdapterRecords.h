#pragma once
// The kernel display-adapter records and function types that the display-sync
// thread uses to wait for the vertical blank. gdi32 exports the functions on
// systems that have them; the toolchain ships no header for them, so the
// records are declared here with the system's layout. The functions are only
// ever looked up at run time (they are missing under Wine and on old systems).

#include <windows.h>

namespace plugkit {
namespace canvas {

using IKmtHandle = UINT;         // an adapter or device handle of the kernel interface
using IKmtVidPnSourceId = UINT;  // the video-present source that shows a window
using IKmtStatus = LONG;         // NTSTATUS: 0 is success

// In: the device context of a window. Out: its adapter and present source.
struct IKmtOpenAdapterFromHdc {
  HDC DeviceContext = nullptr;
  IKmtHandle Adapter = 0;
  LUID AdapterLuid = {};
  IKmtVidPnSourceId VidPnSourceId = 0;
};

struct IKmtWaitForVerticalBlankEvent {
  IKmtHandle Adapter = 0;
  IKmtHandle Device = 0;  // 0: no device of our own
  IKmtVidPnSourceId VidPnSourceId = 0;
};

struct IKmtCloseAdapter {
  IKmtHandle Adapter = 0;
};

using IKmtOpenAdapterFromHdcFn = IKmtStatus(APIENTRY*)(IKmtOpenAdapterFromHdc*);
using IKmtWaitForVerticalBlankEventFn = IKmtStatus(APIENTRY*)(const IKmtWaitForVerticalBlankEvent*);
using IKmtCloseAdapterFn = IKmtStatus(APIENTRY*)(const IKmtCloseAdapter*);

} // namespace canvas
} // namespace plugkit
