#include "api/vst3/IVST3Text.h"

namespace plugkit {

namespace {

constexpr uint32_t kReplacement = 0xFFFD;

// Decodes one character at text[*pos], advancing *pos past it. Overlong forms,
// surrogates and values above U+10FFFF are malformed.
uint32_t DecodeUtf8(const unsigned char* text, int32_t* pos) {
  const unsigned char lead = text[*pos];
  ++*pos;
  if (lead < 0x80) return lead;
  int32_t extra = 0;
  uint32_t code = 0;
  uint32_t minimum = 0;
  if ((lead & 0xE0) == 0xC0) {
    extra = 1;
    code = lead & 0x1F;
    minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    extra = 2;
    code = lead & 0x0F;
    minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    extra = 3;
    code = lead & 0x07;
    minimum = 0x10000;
  } else {
    return kReplacement;
  }
  for (int32_t i = 0; i < extra; ++i) {
    const unsigned char next = text[*pos];
    if ((next & 0xC0) != 0x80) return kReplacement; // the terminator stops here too
    code = (code << 6) | (next & 0x3F);
    ++*pos;
  }
  if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return kReplacement;
  return code;
}

} // namespace

void Utf8ToVST3Text(const char* text, Steinberg::char16* out, int32_t capacity) {
  if (!out || capacity <= 0) return;
  const auto* bytes = reinterpret_cast<const unsigned char*>(text ? text : "");
  int32_t in = 0;
  int32_t used = 0;
  while (bytes[in] != 0) {
    const uint32_t code = DecodeUtf8(bytes, &in);
    if (code >= 0x10000) {
      if (used + 2 >= capacity) break;
      const uint32_t v = code - 0x10000;
      out[used++] = static_cast<Steinberg::char16>(0xD800 + (v >> 10));
      out[used++] = static_cast<Steinberg::char16>(0xDC00 + (v & 0x3FF));
    } else {
      if (used + 1 >= capacity) break;
      out[used++] = static_cast<Steinberg::char16>(code);
    }
  }
  out[used] = 0;
}

void VST3TextToUtf8(const Steinberg::char16* text, int32_t maxUnits, char* out, int32_t capacity) {
  if (!out || capacity <= 0) return;
  int32_t used = 0;
  for (int32_t i = 0; text && i < maxUnits && text[i] != 0; ++i) {
    uint32_t code = static_cast<uint16_t>(text[i]);
    if (code >= 0xD800 && code <= 0xDBFF && i + 1 < maxUnits) {
      const uint32_t low = static_cast<uint16_t>(text[i + 1]);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
        ++i;
      }
    }
    if (code >= 0xD800 && code <= 0xDFFF) code = '?';
    char encoded[4];
    int32_t n = 0;
    if (code < 0x80) {
      encoded[n++] = static_cast<char>(code);
    } else if (code < 0x800) {
      encoded[n++] = static_cast<char>(0xC0 | (code >> 6));
      encoded[n++] = static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
      encoded[n++] = static_cast<char>(0xE0 | (code >> 12));
      encoded[n++] = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      encoded[n++] = static_cast<char>(0x80 | (code & 0x3F));
    } else {
      encoded[n++] = static_cast<char>(0xF0 | (code >> 18));
      encoded[n++] = static_cast<char>(0x80 | ((code >> 12) & 0x3F));
      encoded[n++] = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      encoded[n++] = static_cast<char>(0x80 | (code & 0x3F));
    }
    if (used + n >= capacity) break;
    for (int32_t k = 0; k < n; ++k) out[used++] = encoded[k];
  }
  out[used] = 0;
}

} // namespace plugkit
