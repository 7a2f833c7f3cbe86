#pragma once
// IChannelLayout: one channel configuration that the plug-in accepts, as a
// list of buses per direction (IBusSpec), and the parser of the
// channel-input/output text that produces them.
//
// The text holds configurations separated by blanks, e.g. "1-1 2-2". Each is
// "<input buses>-<output buses>"; the buses of a side are separated by ".",
// and each is a decimal channel count or "*" for a wildcard bus. "1.1-2" is
// two mono inputs and one stereo output; "0-2" has no input bus.
//
// Layouts are built once, when the processor is constructed, and are read-only
// from then on, so any thread may read them.

#include <cstdint>

#include "core/IPointerArray.h"
#include "core/IPortDirection.h"
#include "core/IStringBuffer.h"

namespace plugkit {

// Channel count of a wildcard ("*") bus.
constexpr int32_t kWildcardChannels = -64;
// Largest channel count that a bus token, or a layout total, is taken to mean;
// larger numbers in the text are read as this.
constexpr int32_t kMaxLayoutChannels = 1024;

struct IBusSpec {
  IPortDirection direction = IPortDirection::Input;
  int32_t channels = 0;   // kWildcardChannels for a wildcard bus; never 0
  IStringBuffer label;    // the direction's label, "Input" or "Output"
};

class IChannelLayout {
public:
  IChannelLayout() = default;
  ~IChannelLayout();  // deletes the buses
  IChannelLayout(const IChannelLayout&) = delete;
  IChannelLayout& operator=(const IChannelLayout&) = delete;

  int32_t BusCount(IPortDirection direction) const;
  // The bus at index, or null when out of range.
  const IBusSpec* Bus(IPortDirection direction, int32_t index) const;
  // Sum of the channel counts of the direction's buses (a wildcard bus adds
  // kWildcardChannels).
  int32_t ChannelTotal(IPortDirection direction) const;

  // Appends a bus labelled with the direction's label. False when it could
  // not be stored (channels 0, or out of memory); the layout is then unchanged.
  bool AddBus(IPortDirection direction, int32_t channels);

private:
  IPointerArray<IBusSpec> mBuses[kPortDirectionCount];
};

// The largest totals over all layouts of a text. They start at 0, so a
// wildcard total (negative) never raises them.
struct IChannelLimits {
  int32_t inputChannels = 0;
  int32_t outputChannels = 0;
  int32_t inputBuses = 0;
  int32_t outputBuses = 0;
};

// Parses text (null reads as "") and appends one owned IChannelLayout per
// configuration to layouts, in order; duplicates are kept. limits is raised
// to the totals of every configuration read. A token without a number counts
// 0 channels and creates no bus. Returns the number of configurations read.
int32_t ParseChannelLayouts(const char* text, IPointerArray<IChannelLayout>& layouts, IChannelLimits& limits);

} // namespace plugkit
