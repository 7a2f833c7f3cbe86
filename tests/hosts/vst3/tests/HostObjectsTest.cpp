// The host-side objects handed to plug-ins: parameter queues, streams and
// the host context.

#include <gtest/gtest.h>

#include <cstring>

#include "tests/hosts/vst3/ComponentHandler.h"
#include "tests/hosts/vst3/EventList.h"
#include "tests/hosts/vst3/HostApplication.h"
#include "tests/hosts/vst3/MemoryStream.h"
#include "tests/hosts/vst3/ParameterChanges.h"

using namespace Steinberg;

namespace vst3host {
namespace {

std::vector<std::pair<int32, double>> Points(Vst::IParamValueQueue& queue) {
  std::vector<std::pair<int32, double>> points;
  for (int32 i = 0; i < queue.getPointCount(); ++i) {
    int32 offset = -1;
    double value = -1.0;
    EXPECT_EQ(queue.getPoint(i, offset, value), kResultOk);
    points.emplace_back(offset, value);
  }
  return points;
}

TEST(ParameterChangesTest, PointsStayOrderedAndAnOffsetHoldsOneValue) {
  ParamValueQueue queue(4);
  queue.Reset(9);
  int32 index = -1;
  EXPECT_EQ(queue.addPoint(30, 0.3, index), kResultOk);
  EXPECT_EQ(queue.addPoint(10, 0.1, index), kResultOk);
  EXPECT_EQ(index, 0);
  EXPECT_EQ(queue.addPoint(20, 0.2, index), kResultOk);
  EXPECT_EQ(index, 1);
  EXPECT_EQ(queue.addPoint(20, 0.25, index), kResultOk);
  EXPECT_EQ(index, 1);
  EXPECT_EQ(queue.addPoint(0, 0.0, index), kResultOk);
  EXPECT_EQ(queue.addPoint(40, 0.4, index), kResultFalse);  // full
  EXPECT_EQ(queue.addPoint(-1, 0.4, index), kInvalidArgument);
  using P = std::pair<int32, double>;
  EXPECT_EQ(Points(queue), (std::vector<P>{{0, 0.0}, {10, 0.1}, {20, 0.25}, {30, 0.3}}));
  int32 offset = 0;
  double value = 0.0;
  EXPECT_EQ(queue.getPoint(4, offset, value), kInvalidArgument);
  EXPECT_EQ(queue.getPoint(-1, offset, value), kInvalidArgument);
  EXPECT_EQ(queue.getParameterId(), 9u);
}

TEST(ParameterChangesTest, OneQueuePerParameterWithinTheCapacity) {
  ParameterChanges changes(2, 2);
  EXPECT_TRUE(changes.Add(5, 0, 0.5));
  EXPECT_TRUE(changes.Add(6, 0, 0.6));
  EXPECT_TRUE(changes.Add(5, 8, 0.7));
  EXPECT_FALSE(changes.Add(7, 0, 0.1));  // no third queue
  EXPECT_FALSE(changes.Add(5, 9, 0.1));  // queue of 5 full
  ASSERT_EQ(changes.getParameterCount(), 2);
  EXPECT_EQ(changes.getParameterData(0)->getParameterId(), 5u);
  EXPECT_EQ(changes.getParameterData(0)->getPointCount(), 2);
  EXPECT_EQ(changes.getParameterData(2), nullptr);
  EXPECT_EQ(changes.getParameterData(-1), nullptr);
  changes.Clear();
  EXPECT_EQ(changes.getParameterCount(), 0);
  EXPECT_TRUE(changes.Add(7, 0, 0.1));
  EXPECT_EQ(changes.getParameterData(0)->getPointCount(), 1);
}

TEST(MemoryStreamTest, ReadsWritesAndSeeksAtThePosition) {
  IPtr<MemoryStream> stream(new MemoryStream(), false);
  int32 done = -1;
  char text[] = "abcdef";
  EXPECT_EQ(stream->write(text, 6, &done), kResultOk);
  EXPECT_EQ(done, 6);
  int64 position = -1;
  EXPECT_EQ(stream->seek(2, IBStream::kIBSeekSet, &position), kResultOk);
  EXPECT_EQ(position, 2);
  char in[8] = {};
  EXPECT_EQ(stream->read(in, 3, &done), kResultOk);
  EXPECT_EQ(std::string(in, 3), "cde");
  EXPECT_EQ(stream->seek(-1, IBStream::kIBSeekEnd, &position), kResultOk);
  EXPECT_EQ(position, 5);
  EXPECT_EQ(stream->seek(-10, IBStream::kIBSeekCur, &position), kInvalidArgument);
  EXPECT_EQ(stream->seek(0, 7, &position), kInvalidArgument);
  EXPECT_EQ(stream->tell(&position), kResultOk);
  EXPECT_EQ(position, 5);
  // Past the end: nothing to read, a write fills the gap with zeros.
  EXPECT_EQ(stream->seek(8, IBStream::kIBSeekSet, nullptr), kResultOk);
  EXPECT_EQ(stream->read(in, 1, &done), kResultOk);
  EXPECT_EQ(done, 0);
  EXPECT_EQ(stream->write(text, 1, &done), kResultOk);
  EXPECT_EQ(stream->Bytes(), (std::vector<uint8_t>{'a', 'b', 'c', 'd', 'e', 'f', 0, 0, 'a'}));
  EXPECT_EQ(stream->read(nullptr, 1, &done), kInvalidArgument);
  EXPECT_EQ(stream->write(text, -1, &done), kInvalidArgument);
}

TEST(MemoryStreamTest, ImitatesHostsThatFailShortReadsAndFullDisks) {
  for (tresult shortResult : {kResultOk, kResultFalse}) {
    IPtr<MemoryStream> stream(new MemoryStream({1, 2, 3, 4, 5}), false);
    stream->SetShortReadResult(shortResult);
    uint8_t in[4] = {};
    int32 done = 0;
    EXPECT_EQ(stream->read(in, 4, &done), kResultOk);
    EXPECT_EQ(stream->read(in, 4, &done), shortResult);
    EXPECT_EQ(done, 1);
    EXPECT_EQ(in[0], 5);
  }
  IPtr<MemoryStream> full(new MemoryStream(), false);
  full->SetWriteLimit(3);
  uint8_t out[4] = {9, 8, 7, 6};
  int32 done = 0;
  EXPECT_EQ(full->write(out, 4, &done), kResultFalse);
  EXPECT_EQ(done, 3);
  EXPECT_EQ(full->Bytes().size(), 3u);
}

TEST(HostObjectsTest, HostNameIsCutToItsFieldAndCounted) {
  IPtr<HostApplication> host(new HostApplication(std::string(200, 'h') + "\xc3\xa9"), false);
  Vst::String128 name;
  std::memset(name, 0x55, sizeof(name));
  EXPECT_EQ(host->getName(name), kResultOk);
  EXPECT_EQ(std::wstring(name), std::wstring(127, L'h'));
  IPtr<HostApplication> accented(new HostApplication("Caf\xc3\xa9"), false);
  EXPECT_EQ(accented->getName(name), kResultOk);
  EXPECT_EQ(std::wstring(name), L"Caf\u00e9");
  EXPECT_EQ(host->getName(nullptr), kInvalidArgument);
  EXPECT_EQ(host->GetNameCalls(), 2);

  void* object = nullptr;
  EXPECT_EQ(host->queryInterface(Vst::IHostApplication::iid, &object), kResultOk);
  EXPECT_EQ(host->release(), 1u);
  EXPECT_EQ(host->queryInterface(Vst::IComponentHandler::iid, &object), kNoInterface);
}

TEST(HostObjectsTest, ComponentHandlerRecordsCallsInOrder) {
  IPtr<ComponentHandler> handler(new ComponentHandler(), false);
  handler->beginEdit(3);
  handler->performEdit(3, 0.5);
  handler->endEdit(3);
  handler->restartComponent(Vst::kParamTitlesChanged);
  void* object = nullptr;
  ASSERT_EQ(handler->queryInterface(Vst::IComponentHandler2::iid, &object), kResultOk);
  auto* handler2 = static_cast<Vst::IComponentHandler2*>(object);
  handler2->startGroupEdit();
  handler2->finishGroupEdit();
  handler2->release();
  using K = HandlerCall::EKind;
  std::vector<HandlerCall> calls = handler->Calls();
  ASSERT_EQ(calls.size(), 6u);
  EXPECT_EQ(calls[0].kind, K::BeginEdit);
  EXPECT_EQ(calls[1].kind, K::PerformEdit);
  EXPECT_EQ(calls[1].value, 0.5);
  EXPECT_EQ(calls[2].kind, K::EndEdit);
  EXPECT_EQ(calls[3].kind, K::RestartComponent);
  EXPECT_EQ(calls[3].flags, Vst::kParamTitlesChanged);
  EXPECT_EQ(calls[4].kind, K::StartGroupEdit);
  EXPECT_EQ(calls[5].kind, K::FinishGroupEdit);
}

TEST(HostObjectsTest, EventListHoldsItsCapacity) {
  EventList events(2);
  Vst::Event e{};
  e.type = Vst::Event::kNoteOnEvent;
  e.sampleOffset = 4;
  EXPECT_EQ(events.addEvent(e), kResultOk);
  EXPECT_EQ(events.addEvent(e), kResultOk);
  EXPECT_EQ(events.addEvent(e), kResultFalse);
  Vst::Event out{};
  EXPECT_EQ(events.getEvent(1, out), kResultOk);
  EXPECT_EQ(out.sampleOffset, 4);
  EXPECT_EQ(events.getEvent(2, out), kInvalidArgument);
  events.Clear();
  EXPECT_EQ(events.getEventCount(), 0);
}

}  // namespace
}  // namespace vst3host
