#include "tests/hosts/vst2/WavFile.h"

#include "tests/hosts/vst2/RiffBytes.h"
#include "tests/hosts/vst2/tests/TestPaths.h"

#include <gtest/gtest.h>

#include <cstring>

namespace vst2host {
namespace {

// A hand-built file: RIFF header, an optional chunk to skip, a format chunk
// and a data chunk whose declared size may differ from the bytes given.
struct WavBytes {
  uint16_t format = 1;
  uint16_t channels = 2;
  uint32_t rate = 44100;
  uint16_t bits = 16;
  bool extensible = false;
  bool oddChunkFirst = false;
  bool withFormat = true;
  bool withData = true;
  std::vector<uint8_t> samples;
  long dataSizeDelta = 0;

  std::vector<uint8_t> Build() const {
    std::vector<uint8_t> out;
    PutTag(out, "RIFF");
    Put32(out, 0);
    PutTag(out, "WAVE");
    if (oddChunkFirst) {
      PutTag(out, "LIST");
      Put32(out, 3);
      out.insert(out.end(), {'a', 'b', 'c', 0});  // three bytes and the pad byte
    }
    if (withFormat) {
      PutTag(out, "fmt ");
      Put32(out, extensible ? 40 : 16);
      Put16(out, extensible ? 0xfffe : format);
      Put16(out, channels);
      Put32(out, rate);
      Put32(out, rate * channels * bits / 8);
      Put16(out, static_cast<uint16_t>(channels * bits / 8));
      Put16(out, bits);
      if (extensible) {
        Put16(out, 22);
        Put16(out, bits);
        Put32(out, 3);
        Put16(out, format);  // the sub-format GUID begins with the format code
        out.insert(out.end(), 14, 0);
      }
    }
    if (withData) {
      PutTag(out, "data");
      Put32(out, static_cast<uint32_t>(static_cast<long>(samples.size()) + dataSizeDelta));
      out.insert(out.end(), samples.begin(), samples.end());
    }
    uint32_t riff = static_cast<uint32_t>(out.size() - 8);
    std::memcpy(out.data() + 4, &riff, 4);
    return out;
  }
};

std::vector<uint8_t> Pcm16(std::initializer_list<int16_t> values) {
  std::vector<uint8_t> bytes;
  for (int16_t v : values) Put16(bytes, static_cast<uint16_t>(v));
  return bytes;
}

TEST(WavFile, ReadsSixteenBitPcmScaledToFullScale) {
  for (bool extensible : {false, true}) {
    WavBytes wav;
    wav.extensible = extensible;
    wav.oddChunkFirst = true;
    wav.samples = Pcm16({-32768, 16384, 0, -1, 32767, 8192});
    AudioBuffer buffer;
    std::string error;
    ASSERT_TRUE(ParseWav(wav.Build(), buffer, &error)) << error;
    EXPECT_EQ(buffer.sampleRate, 44100u);
    ASSERT_EQ(buffer.ChannelCount(), 2);
    ASSERT_EQ(buffer.Frames(), 3u);
    EXPECT_EQ(buffer.channels[0], (std::vector<float>{-1.0f, 0.0f, 32767.0f / 32768.0f}));
    EXPECT_EQ(buffer.channels[1], (std::vector<float>{0.5f, -1.0f / 32768.0f, 0.25f}));
  }
}

TEST(WavFile, FloatFilesRoundTripBitExactly) {
  AudioBuffer original;
  original.sampleRate = 96000;
  original.channels = {{0.0f, -1.0f, 1.5f, 1e-30f}, {0.25f, -0.0f, 3.0f, -7.0f}, {1, 2, 3, 4}};
  ScratchFile file("roundtrip.wav");
  std::string error;
  ASSERT_TRUE(WriteWavFloat(file.Path(), original, &error)) << error;
  AudioBuffer back;
  ASSERT_TRUE(ReadWav(file.Path(), back, &error)) << error;
  EXPECT_EQ(back.sampleRate, 96000u);
  ASSERT_EQ(back.channels.size(), 3u);
  for (size_t ch = 0; ch < 3; ++ch)
    EXPECT_EQ(0, std::memcmp(back.channels[ch].data(), original.channels[ch].data(), 4 * sizeof(float)));
}

TEST(WavFile, DataChunkLongerThanTheFileIsReadToTheLastWholeFrame) {
  WavBytes wav;
  wav.samples = Pcm16({100, 200, 300, 400});
  wav.samples.push_back(0x55);  // half a sample of a third frame
  wav.dataSizeDelta = 1000;
  AudioBuffer buffer;
  std::string error;
  ASSERT_TRUE(ParseWav(wav.Build(), buffer, &error)) << error;
  EXPECT_EQ(buffer.Frames(), 2u);
}

TEST(WavFile, RejectsWhatItCannotReadAndLeavesTheOutputAlone) {
  struct Case {
    const char* what;
    WavBytes wav;
  };
  std::vector<Case> cases;
  auto add = [&](const char* what, auto change) {
    WavBytes wav;
    wav.samples = Pcm16({1, 2});
    change(wav);
    cases.push_back({what, wav});
  };
  add("no format chunk", [](WavBytes& w) { w.withFormat = false; });
  add("no data chunk", [](WavBytes& w) { w.withData = false; });
  add("24-bit PCM", [](WavBytes& w) { w.bits = 24; });
  add("64-bit float", [](WavBytes& w) { w.format = 3; w.bits = 64; });
  add("16-bit float", [](WavBytes& w) { w.format = 3; });
  add("compressed", [](WavBytes& w) { w.format = 2; });
  add("no channels", [](WavBytes& w) { w.channels = 0; });
  add("rate 0", [](WavBytes& w) { w.rate = 0; });

  AudioBuffer untouched;
  untouched.sampleRate = 1234;
  untouched.channels = {{9.0f}};
  for (const auto& c : cases) {
    AudioBuffer buffer = untouched;
    std::string error;
    EXPECT_FALSE(ParseWav(c.wav.Build(), buffer, &error)) << c.what;
    EXPECT_FALSE(error.empty()) << c.what;
    EXPECT_EQ(buffer.sampleRate, 1234u) << c.what;
    EXPECT_EQ(buffer.channels, untouched.channels) << c.what;
  }

  AudioBuffer buffer;
  std::string error;
  EXPECT_FALSE(ParseWav({'R', 'I', 'F', 'F'}, buffer, &error));
  std::vector<uint8_t> truncatedFormat = WavBytes().Build();
  truncatedFormat.resize(12 + 8 + 10);
  EXPECT_FALSE(ParseWav(truncatedFormat, buffer, &error));
  EXPECT_FALSE(ReadWav(ExecutableDirectory() + "no such file.wav", buffer, &error));
}

TEST(WavFile, WriterRefusesBuffersItCannotEncode) {
  std::vector<uint8_t> bytes;
  std::string error;
  AudioBuffer empty;
  EXPECT_FALSE(EncodeWavFloat(empty, bytes, &error));
  AudioBuffer ragged;
  ragged.channels = {{1.0f, 2.0f}, {1.0f}};
  EXPECT_FALSE(EncodeWavFloat(ragged, bytes, &error));
  EXPECT_TRUE(bytes.empty());
}

} // namespace
} // namespace vst2host
