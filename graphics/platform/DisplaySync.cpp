#include "graphics/platform/DisplaySync.h"

#include <windows.h>

#include "graphics/platform/DisplayAdapterRecords.h"

namespace plugkit {
namespace canvas {

namespace {

void PostNextTick(IDisplaySyncState& state, IDisplaySyncPort& port) {
  const uint32_t count = state.Count.fetch_add(1, std::memory_order_acq_rel) + 1;
  port.PostTick(state.Window.load(std::memory_order_acquire), count);
}

void FallbackTick(IDisplaySyncState& state, IDisplaySyncPort& port) {
  port.Sleep(kFallbackTickMs);
  PostNextTick(state, port);
}

// An idle window is woken by its own side, so a change is ticked at once
// rather than one frame later.
bool IdleTick(IDisplaySyncState& state, IDisplaySyncPort& port) {
  if (!state.Idle.load(std::memory_order_acquire)) return false;
  port.WaitForWake(state.WakeEvent, kIdleTickMs);
  if (!state.Stop.load(std::memory_order_acquire)) PostNextTick(state, port);
  return true;
}

class SystemDisplaySyncPort final : public IDisplaySyncPort {
public:
  SystemDisplaySyncPort() {
    mGdi = LoadLibraryA("gdi32.dll");
    if (mGdi) {
      mOpen = reinterpret_cast<IKmtOpenAdapterFromHdcFn>(
          reinterpret_cast<void*>(GetProcAddress(mGdi, "D3DKMTOpenAdapterFromHdc")));
      mClose = reinterpret_cast<IKmtCloseAdapterFn>(
          reinterpret_cast<void*>(GetProcAddress(mGdi, "D3DKMTCloseAdapter")));
      mWait = reinterpret_cast<IKmtWaitForVerticalBlankEventFn>(
          reinterpret_cast<void*>(GetProcAddress(mGdi, "D3DKMTWaitForVerticalBlankEvent")));
    }
  }
  ~SystemDisplaySyncPort() override {
    if (mGdi) FreeLibrary(mGdi);
  }

  bool HasAdapterFunctions() override { return mOpen && mClose && mWait; }

  long OpenAdapter(void* window, uint32_t& adapter, uint32_t& source) override {
    HWND hwnd = static_cast<HWND>(window);
    HDC dc = GetDC(hwnd);
    if (!dc) return -1;
    IKmtOpenAdapterFromHdc open;
    open.DeviceContext = dc;
    const IKmtStatus status = mOpen(&open);
    ReleaseDC(hwnd, dc);
    if (status == 0) {
      adapter = open.Adapter;
      source = open.VidPnSourceId;
    }
    return status;
  }

  long WaitForVerticalBlank(uint32_t adapter, uint32_t source) override {
    IKmtWaitForVerticalBlankEvent wait;
    wait.Adapter = adapter;
    wait.Device = 0;
    wait.VidPnSourceId = source;
    return mWait(&wait);
  }

  void CloseAdapter(uint32_t adapter) override {
    IKmtCloseAdapter close;
    close.Adapter = adapter;
    mClose(&close);
  }

  uint32_t TickCount() override { return GetTickCount(); }
  void Sleep(uint32_t ms) override { ::Sleep(ms); }
  void PostTick(void* window, uint32_t count) override {
    // A window already gone makes the post fail; the loop ends by its flag only.
    PostMessageA(static_cast<HWND>(window), kDisplaySyncMessage, static_cast<WPARAM>(count), 0);
  }
  void WaitForWake(void* wakeEvent, uint32_t ms) override {
    if (wakeEvent)
      WaitForSingleObject(static_cast<HANDLE>(wakeEvent), ms);
    else
      ::Sleep(ms);
  }

private:
  HMODULE mGdi = nullptr;
  IKmtOpenAdapterFromHdcFn mOpen = nullptr;
  IKmtCloseAdapterFn mClose = nullptr;
  IKmtWaitForVerticalBlankEventFn mWait = nullptr;
};

// What the thread owns: its share of the state and its port.
struct IThreadArgs {
  std::shared_ptr<IDisplaySyncState> State;
  std::unique_ptr<IDisplaySyncPort> Port;
};

DWORD WINAPI DisplaySyncThreadEntry(LPVOID param) {
  std::unique_ptr<IThreadArgs> args(static_cast<IThreadArgs*>(param));
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
  RunDisplaySyncLoop(*args->State, *args->Port);
  return 0;
}

} // namespace

IDisplaySyncState::~IDisplaySyncState() {
  if (WakeEvent) CloseHandle(static_cast<HANDLE>(WakeEvent));
}

void IDisplaySyncState::Wake() {
  if (Idle.exchange(false, std::memory_order_acq_rel) && WakeEvent) SetEvent(static_cast<HANDLE>(WakeEvent));
}

void RunDisplaySyncLoop(IDisplaySyncState& state, IDisplaySyncPort& port) {
  if (!port.HasAdapterFunctions()) {
    while (!state.Stop.load(std::memory_order_acquire))
      if (!IdleTick(state, port)) FallbackTick(state, port);
    return;
  }
  bool adapterOpen = false;
  bool attempted = false;  // whether lastAttempt holds a failed attempt's time
  uint32_t lastAttempt = 0;
  uint32_t adapter = 0;
  uint32_t source = 0;
  while (!state.Stop.load(std::memory_order_acquire)) {
    if (IdleTick(state, port)) continue;
    if (!adapterOpen) {
      const uint32_t now = port.TickCount();
      if (attempted && now - lastAttempt < kAdapterRetryMs) {
        FallbackTick(state, port);
        continue;
      }
      if (port.OpenAdapter(state.Window.load(std::memory_order_acquire), adapter, source) == 0) {
        adapterOpen = true;
        attempted = false;
      } else {
        attempted = true;
        lastAttempt = now;
        FallbackTick(state, port);
        continue;
      }
    }
    if (port.WaitForVerticalBlank(adapter, source) == 0) {
      PostNextTick(state, port);
    } else {
      port.CloseAdapter(adapter);
      adapterOpen = false;
      FallbackTick(state, port);
    }
  }
  if (adapterOpen) port.CloseAdapter(adapter);
}

std::unique_ptr<IDisplaySyncPort> MakeSystemDisplaySyncPort() { return std::make_unique<SystemDisplaySyncPort>(); }

bool DisplaySyncThread::Start(void* window, std::unique_ptr<IDisplaySyncPort> port) {
  if (mThread) return false;
  auto state = std::make_shared<IDisplaySyncState>();
  state->Window.store(window, std::memory_order_release);
  state->WakeEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  auto args = std::make_unique<IThreadArgs>();
  args->State = state;
  args->Port = port ? std::move(port) : MakeSystemDisplaySyncPort();
  HANDLE thread = CreateThread(nullptr, 0, DisplaySyncThreadEntry, args.get(), 0, nullptr);
  if (!thread) return false;
  args.release();  // the thread owns them now
  mState = std::move(state);
  mThread = thread;
  return true;
}

bool DisplaySyncThread::Stop(uint32_t waitMs) {
  if (!mThread) return true;
  mState->Stop.store(true, std::memory_order_release);
  // An idle thread would otherwise sleep out its heartbeat first.
  if (mState->WakeEvent) SetEvent(static_cast<HANDLE>(mState->WakeEvent));
  const bool ended = WaitForSingleObject(static_cast<HANDLE>(mThread), waitMs) == WAIT_OBJECT_0;
  CloseHandle(static_cast<HANDLE>(mThread));
  mThread = nullptr;
  mState.reset();
  return ended;
}

bool DisplayTickGate::Accept(uint32_t count, uint32_t latest) {
  if (mSkipping) {
    if (static_cast<int32_t>(mSkipUntil - latest) > 0) return false;
    mSkipping = false;
  }
  return count == latest;
}

void DisplayTickGate::AfterPaint(uint32_t count, uint32_t latest) {
  if (count != latest) {
    mSkipUntil = latest + 1;
    mSkipping = true;
  }
}

} // namespace canvas
} // namespace plugkit
