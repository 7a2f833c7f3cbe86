// The engine as a VST 2.4 host reaches it: through the effect record's
// dispatcher, parameter and process entries, with no host callback.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "api/vst2/VST2Interface.h"
#include "plugin/Tessivo.h"
#include "tests/plugin/tessivo_support.h"

using namespace tessivo_test;

namespace {

class EffectRecordTest : public ::testing::Test {
protected:
  intptr_t Dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, float opt = 0.0f) {
    return effect->dispatcher(effect, opcode, index, value, nullptr, opt);
  }

  // Sends an impulse on both channels and returns the left output, through
  // the single- or double-precision replacing entry in host blocks.
  std::vector<double> Impulse(bool doublePrecision, int32_t frames, int32_t block) {
    std::vector<double> result(size_t(frames), 0.0);
    std::vector<float> fIn[2], fOut[2];
    std::vector<double> dIn[2], dOut[2];
    for (int c = 0; c < 2; ++c) {
      fIn[c].assign(size_t(block), 0.0f), fOut[c].assign(size_t(block), 0.0f);
      dIn[c].assign(size_t(block), 0.0), dOut[c].assign(size_t(block), 0.0);
    }
    for (int32_t start = 0; start < frames; start += block) {
      const float x = start == 0 ? 1.0f : 0.0f;
      for (int c = 0; c < 2; ++c) fIn[c][0] = x, dIn[c][0] = x;
      if (doublePrecision) {
        double* in[2] = {dIn[0].data(), dIn[1].data()};
        double* out[2] = {dOut[0].data(), dOut[1].data()};
        effect->processDoubleReplacing(effect, in, out, block);
        for (int32_t i = 0; i < block; ++i) result[size_t(start + i)] = dOut[0][size_t(i)];
      } else {
        float* in[2] = {fIn[0].data(), fIn[1].data()};
        float* out[2] = {fOut[0].data(), fOut[1].data()};
        effect->processReplacing(effect, in, out, block);
        for (int32_t i = 0; i < block; ++i) result[size_t(start + i)] = fOut[0][size_t(i)];
      }
    }
    return result;
  }

  Tessivo plugin{nullptr};
  AEffect* effect = plugin.EffectRecord();
};

// The engine starts from the parameters' values; the open call sends every
// parameter again, so values set without a handler reach it there.
TEST_F(EffectRecordTest, OpeningSendsEveryParameterToTheEngine) {
  EXPECT_EQ(plugin.TransposeRatio, 1.0);
  EXPECT_EQ(plugin.WetGain, 1.0);
  EXPECT_GT(plugin.DryGain, 6.12e-17);
  EXPECT_LT(plugin.DryGain, 6.13e-17);
  plugin.GetParam(Coarse)->Set(-5);
  plugin.GetParam(Mix)->Set(0);
  Dispatch(effOpen);
  EXPECT_EQ(plugin.CoarseSemitones, -5);
  EXPECT_DOUBLE_EQ(plugin.TransposeRatio, std::pow(kSemitone, -5.0));
  EXPECT_EQ(plugin.DryGain, 1.0);
  EXPECT_EQ(plugin.WetGain, 0.0);
}

// A host that never sends the open call hears what one that does hears,
// also after it changes a parameter: the shifted signal, not silence.
TEST_F(EffectRecordTest, AHostThatSkipsTheOpenCallHearsTheEffect) {
  Tessivo opened(nullptr);
  AEffect* other = opened.EffectRecord();
  other->dispatcher(other, effOpen, 0, 0, nullptr, 0.0f);
  for (AEffect* e : {effect, other}) {
    e->dispatcher(e, effSetSampleRate, 0, 0, nullptr, 44100.0f);
    e->dispatcher(e, effSetBlockSize, 0, 256, nullptr, 0.0f);
    e->dispatcher(e, effMainsChanged, 0, 1, nullptr, 0.0f);
  }
  auto render = [](AEffect* e, int32_t blocks) {
    std::vector<float> in(256), out[2] = {std::vector<float>(256), std::vector<float>(256)}, left;
    for (int32_t b = 0; b < blocks; ++b) {
      for (size_t i = 0; i < in.size(); ++i) in[i] = float(std::sin(0.05 * double(b * 256 + int32_t(i))));
      float* inputs[2] = {in.data(), in.data()};
      float* outputs[2] = {out[0].data(), out[1].data()};
      e->processReplacing(e, inputs, outputs, 256);
      left.insert(left.end(), out[0].begin(), out[0].end());
    }
    return left;
  };
  std::vector<float> heard = render(effect, 16);
  EXPECT_EQ(heard, render(other, 16));
  EXPECT_GT(std::fabs(heard[3000]), 0.01f) << "silence where the delayed input belongs";

  for (AEffect* e : {effect, other}) e->setParameter(e, Coarse, 0.75f); // +6 semitones
  heard = render(effect, 16);
  EXPECT_EQ(heard, render(other, 16));
}

TEST_F(EffectRecordTest, SetParameterReachesTheEngine) {
  Dispatch(effOpen);
  effect->setParameter(effect, Coarse, 1.0f);
  EXPECT_EQ(plugin.GetParam(Coarse)->Value(), 12.0);
  EXPECT_DOUBLE_EQ(plugin.TransposeRatio, std::pow(kSemitone, 12.0));
  effect->setParameter(effect, Coarse, 0.5f);
  effect->setParameter(effect, Fine, 0.575f);
  EXPECT_EQ(plugin.FineCents, 15);
  EXPECT_LT(plugin.TransposeRatio, 1.0);
  effect->setParameter(effect, Mix, 0.5f);
  EXPECT_EQ(plugin.GetParam(Mix)->Value(), 50.0);
  EXPECT_EQ(effect->getParameter(effect, Mix), 0.5f);
  EXPECT_NEAR(plugin.DryGain, plugin.WetGain, 2.3e-16);
}

// A host may process before it sets a sample rate: no line length is in use
// yet, and the input passes unchanged.
TEST_F(EffectRecordTest, ProcessingBeforeAnyResetPassesTheInput) {
  Dispatch(effOpen);
  Dispatch(effMainsChanged, 0, 1);
  ASSERT_EQ(plugin.LineLength, 0);
  std::vector<float> l(256), r(256), outL(256, 9.0f), outR(256, 9.0f);
  for (size_t i = 0; i < l.size(); ++i) l[i] = float(i) / 256.0f, r[i] = -float(i) / 512.0f;
  float* in[2] = {l.data(), r.data()};
  float* out[2] = {outL.data(), outR.data()};
  effect->processReplacing(effect, in, out, 256);
  EXPECT_EQ(outL, l);
  EXPECT_EQ(outR, r);
}

TEST_F(EffectRecordTest, ImpulseIsDelayedHalfALineThroughBothEntries) {
  Dispatch(effOpen);
  Dispatch(effSetSampleRate, 0, 0, 48000.0f);
  Dispatch(effSetBlockSize, 0, 256);
  Dispatch(effMainsChanged, 0, 1);
  ASSERT_EQ(plugin.LineLength, 4096);
  for (bool doublePrecision : {false, true}) {
    SCOPED_TRACE(doublePrecision ? "processDoubleReplacing" : "processReplacing");
    Dispatch(effMainsChanged, 0, 0); // switching off empties the line
    Dispatch(effMainsChanged, 0, 1);
    const std::vector<double> out = Impulse(doublePrecision, 4096 + 512, 256);
    for (size_t i = 0; i < out.size(); ++i) ASSERT_NEAR(out[i], i == 2048 ? 1.0 : 0.0, 1e-15) << i;
  }
}

TEST_F(EffectRecordTest, SampleRateSetsTheLineLength) {
  Dispatch(effOpen);
  const struct {
    float rate;
    int32_t length;
  } cases[] = {{22050, 1024}, {44100, 2048}, {48000, 4096}, {88200, 4096}, {96000, 8192}};
  for (const auto& c : cases) {
    Dispatch(effSetSampleRate, 0, 0, c.rate);
    EXPECT_EQ(plugin.LineLength, c.length) << c.rate;
    EXPECT_EQ(plugin.WriteIndex, 0);
  }
}

} // namespace
