#pragma once
// Minimal WAV reading and writing for rendering audio through a plug-in.
// Reads 16-bit PCM and 32-bit float files (plain or extensible format
// header); writes 32-bit float only. Samples are held per channel as floats,
// PCM scaled so that full scale is [-1, 1).

#include <cstdint>
#include <string>
#include <vector>

namespace vst2host {

struct AudioBuffer {
  uint32_t sampleRate = 44100;
  std::vector<std::vector<float>> channels;  // all of the same length

  size_t Frames() const { return channels.empty() ? 0 : channels[0].size(); }
  int32_t ChannelCount() const { return static_cast<int32_t>(channels.size()); }
};

// On failure these return false with a one-line reason in *error (when
// given) and leave `out` untouched. A data chunk that claims more bytes than
// the file holds (as streaming writers leave it) is read up to the file's
// end; a trailing partial frame is dropped.
bool ParseWav(const std::vector<uint8_t>& bytes, AudioBuffer& out, std::string* error);
bool ReadWav(const std::string& path, AudioBuffer& out, std::string* error);

// 32-bit float file (format 3 with a fact chunk). Fails for a buffer without
// channels, with channels of unequal length, or too large for a RIFF file.
bool EncodeWavFloat(const AudioBuffer& buffer, std::vector<uint8_t>& bytes, std::string* error);
bool WriteWavFloat(const std::string& path, const AudioBuffer& buffer, std::string* error);

} // namespace vst2host
