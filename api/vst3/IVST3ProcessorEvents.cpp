// IVST3ProcessorBase's event side: host MIDI and SysEx in, the MIDI-out list
// and the output events. Everything except ResizeMidiOut runs on the audio
// thread and neither allocates nor locks.

#include <cstring>

#include "api/vst3/IVST3ProcessorBase.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace plugkit {

namespace {

uint8_t SevenBits(int32_t value) { return static_cast<uint8_t>(value < 0 ? 0 : value > 127 ? 127 : value); }

uint8_t Scaled(float unit) { return SevenBits(static_cast<int32_t>(unit * 127.0f)); }

// Legacy controller numbers of the output event for the messages that have
// no event type of their own.
constexpr int16 kControllerAftertouch = 128;
constexpr int16 kControllerPitchBend = 129;
constexpr int16 kControllerProgramChange = 130;
constexpr int16 kControllerPolyPressure = 131;

// The controller number and values of a legacy controller event; true.
bool SetController(LegacyMIDICCOutEvent& cc, int32_t controller, int32_t value, int32_t value2) {
  cc.controlNumber = static_cast<uint8>(controller);
  cc.value = static_cast<int8>(value);
  cc.value2 = static_cast<int8>(value2);
  return true;
}

// The output event for a short message; false for statuses without one.
bool EventOf(const IMidiShortMessage& message, int32_t sampleOffset, Event& e) {
  std::memset(&e, 0, sizeof e);
  e.busIndex = 0;
  e.sampleOffset = sampleOffset;
  e.ppqPosition = 0.0;
  const auto channel = static_cast<int16>(message.status & 0x0F);
  switch (message.status & 0xF0) {
  case 0x80:
    e.type = Event::kNoteOffEvent;
    e.noteOff.channel = channel;
    e.noteOff.pitch = message.data1;
    e.noteOff.velocity = message.data2 / 127.0f;
    e.noteOff.noteId = -1;
    return true;
  case 0x90:
    e.type = Event::kNoteOnEvent;
    e.noteOn.channel = channel;
    e.noteOn.pitch = message.data1;
    e.noteOn.tuning = 0.0f;
    e.noteOn.velocity = message.data2 / 127.0f;
    e.noteOn.noteId = -1;
    return true;
  default:
    break;
  }
  e.type = Event::kLegacyMIDICCOutEvent;
  LegacyMIDICCOutEvent& cc = e.midiCCOut;
  cc.channel = static_cast<int8>(channel);
  switch (message.status & 0xF0) {
  case 0xA0:
    return SetController(cc, kControllerPolyPressure, message.data1, message.data2);
  case 0xB0:
    return SetController(cc, message.data1, message.data2, 0);
  case 0xC0:
    return SetController(cc, kControllerProgramChange, message.data1, 0);
  case 0xD0:
    return SetController(cc, kControllerAftertouch, message.data1, message.data2);
  case 0xE0:
    // The host rebuilds the 14-bit bend from the low (value) and high
    // (value2) seven bits, which are exactly the message's two data bytes.
    return SetController(cc, kControllerPitchBend, message.data1 & 0x7F, message.data2 & 0x7F);
  default:
    return false;
  }
}

} // namespace

// --- MIDI-out list ----------------------------------------------------------------

bool IVST3ProcessorBase::ResizeMidiOut(int32_t entries) {
  if (entries < mMidiOutCount) return false;
  const int32_t bytes = entries * static_cast<int32_t>(sizeof(IMidiShortMessage));
  if (!mMidiOut.SetSize(bytes, false) || mMidiOut.Size() != bytes) return false;
  mMidiOutCapacity = entries;
  return true;
}

void IVST3ProcessorBase::CompactMidiOut() {
  if (mMidiOutRead <= 0) return;
  const int32_t unsent = mMidiOutCount - mMidiOutRead;
  if (unsent > 0)
    std::memmove(MidiOut(), MidiOut() + mMidiOutRead, sizeof(IMidiShortMessage) * static_cast<size_t>(unsent));
  mMidiOutRead = 0;
  mMidiOutCount = unsent;
}

bool IVST3ProcessorBase::SendMidiToHost(const IMidiShortMessage& message) {
  if (mMidiOutCount >= mMidiOutCapacity) {
    CompactMidiOut();
    if (mMidiOutCount >= mMidiOutCapacity) return false;
  }
  IMidiShortMessage* list = MidiOut();
  // After the last entry whose offset is not greater, so that messages of
  // one frame leave in the order they were queued.
  int32_t at = mMidiOutCount;
  while (at > mMidiOutRead && list[at - 1].frameOffset > message.frameOffset) --at;
  if (at < mMidiOutCount)
    std::memmove(list + at + 1, list + at, sizeof(IMidiShortMessage) * static_cast<size_t>(mMidiOutCount - at));
  list[at] = message;
  ++mMidiOutCount;
  return true;
}

const IMidiShortMessage* IVST3ProcessorBase::PendingMidiOutAt(int32_t index) const {
  if (index < 0 || index >= PendingMidiOut()) return nullptr;
  return MidiOut() + mMidiOutRead + index;
}

// --- Events in --------------------------------------------------------------------

void IVST3ProcessorBase::ReceiveHostEvents(IEventList* events, IHandoffQueue<IMidiShortMessage>& fromEditor,
                                           IHandoffQueue<IMidiShortMessage>& toEditor) {
  const int32 count = events ? events->getEventCount() : 0;
  for (int32 i = 0; i < count; ++i) {
    Event e{};
    if (events->getEvent(i, e) != kResultOk) continue;
    IMidiShortMessage message;
    message.frameOffset = e.sampleOffset;
    switch (e.type) {
    case Event::kNoteOnEvent:
      message.status = static_cast<uint8_t>(0x90 | (e.noteOn.channel & 0x0F));
      message.data1 = SevenBits(e.noteOn.pitch);
      message.data2 = Scaled(e.noteOn.velocity);
      break;
    case Event::kNoteOffEvent:
      message.status = static_cast<uint8_t>(0x80 | (e.noteOff.channel & 0x0F));
      message.data1 = SevenBits(e.noteOff.pitch);
      message.data2 = 0;
      break;
    case Event::kPolyPressureEvent:
      message.status = static_cast<uint8_t>(0xA0 | (e.polyPressure.channel & 0x0F));
      message.data1 = SevenBits(e.polyPressure.pitch);
      message.data2 = Scaled(e.polyPressure.pressure);
      break;
    case Event::kDataEvent:
      if (e.data.type == DataEvent::kMidiSysEx && e.data.bytes && e.data.size <= INT32_MAX) {
        ISysExView view;
        view.frameOffset = e.sampleOffset;
        view.size = static_cast<int32_t>(e.data.size);
        view.data = e.data.bytes;
        OnSysExIn(view);
      }
      continue;
    default:
      continue;
    }
    OnMidiIn(message);
    toEditor.Push(message);
  }
  IMidiShortMessage message;
  while (fromEditor.Take(message)) OnMidiIn(message);
}

// --- Events out -------------------------------------------------------------------

void IVST3ProcessorBase::SendHostEvents(IEventList* events, IHandoffQueue<ISysExPacket>& fromEditor,
                                        int32_t numSamples) {
  const int32_t lastFrame = numSamples > 0 ? numSamples - 1 : 0;
  if (!events) {
    // Nothing can leave this block; what is queued moves one block closer.
    CompactMidiOut();
    for (int32_t i = 0; i < mMidiOutCount; ++i) MidiOut()[i].frameOffset -= numSamples > 0 ? numSamples : 0;
    return;
  }
  for (int32_t i = mMidiOutRead; i < mMidiOutCount; ++i) {
    const IMidiShortMessage& message = MidiOut()[i];
    // Hosts accept only offsets inside the block.
    const int32_t offset = message.frameOffset < 0 ? 0 : message.frameOffset > lastFrame ? lastFrame : message.frameOffset;
    Event e;
    if (EventOf(message, offset, e)) events->addEvent(e);
  }
  mMidiOutRead = 0;
  mMidiOutCount = 0;

  // Each packet keeps its own bytes until the host has read the events.
  for (int32_t p = 0; p < kSysExOutPackets; ++p) {
    ISysExPacket& packet = mSysExOut[p];
    if (!fromEditor.Take(packet)) break;
    Event e{};
    e.busIndex = 0;
    e.type = Event::kDataEvent;
    e.sampleOffset = packet.frameOffset < 0 ? 0 : packet.frameOffset > lastFrame ? lastFrame : packet.frameOffset;
    e.data.size = static_cast<uint32>(packet.size);
    e.data.type = DataEvent::kMidiSysEx;
    e.data.bytes = packet.data;
    events->addEvent(e);
  }
}

} // namespace plugkit
