#pragma once
// Tessivo, watched by the set-up tests: counts the stream resets that ran
// while a block was inside ProcessAudio and the blocks that ran while a reset
// was under way. Built on whichever binding the test program's Tessivo has
// (constructed with the host callback for VST 2.4, without for VST 3).

#include <atomic>
#include <cstdint>

#include "plugin/Tessivo.h"

namespace tessivo_test {

class TWatchedTessivo : public Tessivo {
public:
  template <typename... Args>
  explicit TWatchedTessivo(Args... args) : Tessivo(args...) {}

  void ProcessAudio(double** inputs, double** outputs, int32_t frames) override {
    mInBlock.store(true);
    if (mInReset.load()) overlaps.fetch_add(1);
    Tessivo::ProcessAudio(inputs, outputs, frames);
    mInBlock.store(false);
  }
  void OnStreamReset() override {
    mInReset.store(true);
    if (mInBlock.load()) overlaps.fetch_add(1);
    Tessivo::OnStreamReset();
    mInReset.store(false);
  }

  std::atomic<int64_t> overlaps{0};

private:
  std::atomic<bool> mInBlock{false};
  std::atomic<bool> mInReset{false};
};

} // namespace tessivo_test
