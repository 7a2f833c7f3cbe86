#include "core/IChannelLayout.h"

#include <new>

namespace plugkit {

namespace {

// Reads the token [begin, end) the way "%d" would: optional sign, then
// digits; anything else (or nothing) reads as 0. The magnitude is capped so
// that no total can overflow.
int32_t ReadBusToken(const char* begin, const char* end) {
  if (end - begin == 1 && *begin == '*') return kWildcardChannels;
  const char* p = begin;
  bool negative = false;
  if (p < end && (*p == '+' || *p == '-')) negative = *p++ == '-';
  int64_t value = 0;
  for (; p < end && *p >= '0' && *p <= '9'; ++p)
    if (value < kMaxLayoutChannels) value = value * 10 + (*p - '0');
  if (value > kMaxLayoutChannels) value = kMaxLayoutChannels;
  return static_cast<int32_t>(negative ? -value : value);
}

struct SideTotals {
  int64_t channels = 0;
  int32_t buses = 0;
};

// Reads the buses of one side, [begin, end), into layout.
SideTotals ReadSide(const char* begin, const char* end, IPortDirection direction, IChannelLayout& layout) {
  SideTotals totals;
  const char* token = begin;
  while (token <= end) {
    const char* stop = token;
    while (stop < end && *stop != '.') ++stop;
    const int32_t channels = ReadBusToken(token, stop);
    totals.channels += channels;
    if (channels != 0 && layout.AddBus(direction, channels)) ++totals.buses;
    token = stop + 1;
  }
  return totals;
}

void Raise(int32_t& limit, int64_t total) {
  if (total > kMaxLayoutChannels) total = kMaxLayoutChannels;
  if (total > limit) limit = static_cast<int32_t>(total);
}

} // namespace

IChannelLayout::~IChannelLayout() {
  for (IPointerArray<IBusSpec>& buses : mBuses) buses.DeleteAll();
}

int32_t IChannelLayout::BusCount(IPortDirection direction) const { return mBuses[PortIndex(direction)].Count(); }

const IBusSpec* IChannelLayout::Bus(IPortDirection direction, int32_t index) const {
  return mBuses[PortIndex(direction)].Get(index);
}

int32_t IChannelLayout::ChannelTotal(IPortDirection direction) const {
  int32_t total = 0;
  for (const IBusSpec* bus : mBuses[PortIndex(direction)]) total += bus->channels;
  return total;
}

bool IChannelLayout::AddBus(IPortDirection direction, int32_t channels) {
  if (channels == 0) return false;
  IBusSpec* bus = new (std::nothrow) IBusSpec;
  if (!bus) return false;
  bus->direction = direction;
  bus->channels = channels;
  if (!bus->label.Assign(PortDirectionLabel(direction)) || !mBuses[PortIndex(direction)].Add(bus)) {
    delete bus;
    return false;
  }
  return true;
}

int32_t ParseChannelLayouts(const char* text, IPointerArray<IChannelLayout>& layouts, IChannelLimits& limits) {
  if (!text) return 0;
  int32_t read = 0;
  const char* p = text;
  while (*p) {
    if (*p == ' ') { ++p; continue; }
    const char* begin = p;
    while (*p && *p != ' ') ++p;
    const char* end = p;

    IChannelLayout* layout = new (std::nothrow) IChannelLayout;
    if (!layout) break;
    const char* dash = begin;
    while (dash < end && *dash != '-') ++dash;
    const SideTotals in = ReadSide(begin, dash, IPortDirection::Input, *layout);
    SideTotals out;
    if (dash < end) out = ReadSide(dash + 1, end, IPortDirection::Output, *layout);
    if (!layouts.Add(layout)) {
      delete layout;
      break;
    }
    ++read;
    Raise(limits.inputChannels, in.channels);
    Raise(limits.outputChannels, out.channels);
    Raise(limits.inputBuses, in.buses);
    Raise(limits.outputBuses, out.buses);
  }
  return read;
}

} // namespace plugkit
