#include "tests/hosts/vst2/WavFile.h"

#include "tests/hosts/vst2/RiffBytes.h"
#include "tests/hosts/vst2/Utf8Path.h"

#include <cstdio>
#include <cstring>
#include <limits>

namespace vst2host {
namespace {

constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatFloat = 3;
constexpr uint16_t kFormatExtensible = 0xfffe;
constexpr uint16_t kMaxChannels = 256;

bool Fail(std::string* error, const std::string& reason) {
  if (error) *error = reason;
  return false;
}

} // namespace

bool ParseWav(const std::vector<uint8_t>& bytes, AudioBuffer& out, std::string* error) {
  if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 ||
      std::memcmp(bytes.data() + 8, "WAVE", 4) != 0)
    return Fail(error, "not a RIFF WAVE file");

  bool haveFormat = false;
  uint16_t format = 0, channels = 0, bits = 0;
  uint32_t rate = 0;
  const uint8_t* data = nullptr;
  size_t dataSize = 0;

  size_t pos = 12;
  while (pos + 8 <= bytes.size()) {
    const uint8_t* chunk = bytes.data() + pos;
    size_t size = Read32(chunk + 4);
    size_t available = bytes.size() - (pos + 8);
    if (std::memcmp(chunk, "fmt ", 4) == 0) {
      if (size < 16 || size > available) return Fail(error, "format chunk is truncated");
      format = Read16(chunk + 8);
      channels = Read16(chunk + 10);
      rate = Read32(chunk + 12);
      bits = Read16(chunk + 22);
      if (format == kFormatExtensible) {
        if (size < 40) return Fail(error, "extensible format chunk is truncated");
        format = Read16(chunk + 8 + 24);  // first two bytes of the sub-format GUID
      }
      haveFormat = true;
    } else if (std::memcmp(chunk, "data", 4) == 0) {
      data = chunk + 8;
      dataSize = size < available ? size : available;
      break;  // nothing after the samples is needed
    }
    if (size > available) break;
    pos += 8 + size + (size & 1);  // chunks are padded to even sizes
  }

  if (!haveFormat) return Fail(error, "no format chunk");
  if (!data) return Fail(error, "no data chunk");
  if (channels == 0 || channels > kMaxChannels) return Fail(error, "unsupported channel count");
  if (rate == 0) return Fail(error, "sample rate is 0");
  bool pcm16 = format == kFormatPcm && bits == 16;
  bool float32 = format == kFormatFloat && bits == 32;
  if (!pcm16 && !float32)
    return Fail(error, "unsupported sample format " + std::to_string(format) + " with " +
                           std::to_string(bits) + " bits (16-bit PCM or 32-bit float only)");

  size_t sampleBytes = bits / 8;
  size_t frameBytes = sampleBytes * channels;
  size_t frames = dataSize / frameBytes;
  AudioBuffer result;
  result.sampleRate = rate;
  result.channels.assign(channels, std::vector<float>(frames));
  for (size_t frame = 0; frame < frames; ++frame) {
    for (uint16_t ch = 0; ch < channels; ++ch) {
      const uint8_t* p = data + frame * frameBytes + ch * sampleBytes;
      float sample;
      if (pcm16) {
        sample = static_cast<float>(static_cast<int16_t>(Read16(p))) / 32768.0f;
      } else {
        uint32_t word = Read32(p);
        std::memcpy(&sample, &word, sizeof sample);
      }
      result.channels[ch][frame] = sample;
    }
  }
  out = std::move(result);
  return true;
}

bool ReadWav(const std::string& path, AudioBuffer& out, std::string* error) {
  std::FILE* file = OpenFileUtf8(path, "rb");
  if (!file) return Fail(error, "cannot open " + path);
  std::vector<uint8_t> bytes;
  uint8_t block[65536];
  size_t got;
  while ((got = std::fread(block, 1, sizeof block, file)) > 0) bytes.insert(bytes.end(), block, block + got);
  bool readError = std::ferror(file) != 0;
  std::fclose(file);
  if (readError) return Fail(error, "cannot read " + path);
  std::string reason;
  if (!ParseWav(bytes, out, &reason)) return Fail(error, path + ": " + reason);
  return true;
}

bool EncodeWavFloat(const AudioBuffer& buffer, std::vector<uint8_t>& bytes, std::string* error) {
  size_t channels = buffer.channels.size();
  if (channels == 0 || channels > kMaxChannels) return Fail(error, "unsupported channel count");
  size_t frames = buffer.Frames();
  for (const auto& channel : buffer.channels)
    if (channel.size() != frames) return Fail(error, "channels differ in length");
  // 58 bytes of headers before the samples; the RIFF size must fit 32 bits.
  if (frames > (std::numeric_limits<uint32_t>::max() - 58) / (4 * channels))
    return Fail(error, "too long for a WAV file");

  uint32_t dataSize = static_cast<uint32_t>(frames * channels * 4);
  std::vector<uint8_t> out;
  out.reserve(58 + dataSize);
  PutTag(out, "RIFF");
  Put32(out, 50 + dataSize);
  PutTag(out, "WAVE");
  PutTag(out, "fmt ");
  Put32(out, 18);
  Put16(out, kFormatFloat);
  Put16(out, static_cast<uint16_t>(channels));
  Put32(out, buffer.sampleRate);
  Put32(out, static_cast<uint32_t>(buffer.sampleRate * channels * 4));
  Put16(out, static_cast<uint16_t>(channels * 4));
  Put16(out, 32);
  Put16(out, 0);  // no extension bytes
  PutTag(out, "fact");
  Put32(out, 4);
  Put32(out, static_cast<uint32_t>(frames));
  PutTag(out, "data");
  Put32(out, dataSize);
  for (size_t frame = 0; frame < frames; ++frame) {
    for (size_t ch = 0; ch < channels; ++ch) {
      uint32_t word;
      std::memcpy(&word, &buffer.channels[ch][frame], sizeof word);
      Put32(out, word);
    }
  }
  bytes = std::move(out);
  return true;
}

bool WriteWavFloat(const std::string& path, const AudioBuffer& buffer, std::string* error) {
  std::vector<uint8_t> bytes;
  if (!EncodeWavFloat(buffer, bytes, error)) return false;
  std::FILE* file = OpenFileUtf8(path, "wb");
  if (!file) return Fail(error, "cannot create " + path);
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  ok = std::fclose(file) == 0 && ok;
  if (!ok) return Fail(error, "cannot write " + path);
  return true;
}

} // namespace vst2host
