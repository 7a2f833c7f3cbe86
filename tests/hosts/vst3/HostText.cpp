#include "tests/hosts/vst3/HostText.h"

namespace vst3host {

std::u16string Utf8ToUtf16(const std::string& text) {
  std::u16string out;
  const auto* s = reinterpret_cast<const unsigned char*>(text.data());
  size_t n = text.size();
  for (size_t i = 0; i < n;) {
    unsigned char lead = s[i];
    size_t length = lead < 0x80           ? 1
                    : (lead >> 5) == 0x6  ? 2
                    : (lead >> 4) == 0xE  ? 3
                    : (lead >> 3) == 0x1E ? 4
                                          : 0;
    bool valid = length > 0 && i + length <= n;
    for (size_t k = 1; valid && k < length; ++k) valid = (s[i + k] & 0xC0) == 0x80;
    if (!valid) {
      out.push_back(u'\uFFFD');
      ++i;
      continue;
    }
    char32_t code = length == 1 ? lead : lead & (0x7F >> length);
    for (size_t k = 1; k < length; ++k) code = (code << 6) | (s[i + k] & 0x3F);
    i += length;
    if (code >= 0x10000) {
      code -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
    } else
      out.push_back(static_cast<char16_t>(code));
  }
  return out;
}

std::string Utf16ToUtf8(const std::u16string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t code = text[i];
    if (code >= 0xD800 && code < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] < 0xE000)
      code = 0x10000 + ((code - 0xD800) << 10) + (text[++i] - 0xDC00);
    else if (code >= 0xD800 && code < 0xE000)
      code = 0xFFFD;
    if (code < 0x80)
      out.push_back(static_cast<char>(code));
    else if (code < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (code >> 6)));
      out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (code >> 12)));
      out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (code >> 18)));
      out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
  }
  return out;
}

std::string SdkTextToUtf8(const Steinberg::char16* text, size_t limit) {
  std::u16string units;
  for (size_t i = 0; text && i < limit && text[i]; ++i) units.push_back(static_cast<char16_t>(text[i]));
  return Utf16ToUtf8(units);
}

void CopyToString128(const std::u16string& text, Steinberg::Vst::String128 out) {
  size_t n = text.size() < 127 ? text.size() : 127;
  for (size_t i = 0; i < n; ++i) out[i] = static_cast<Steinberg::char16>(text[i]);
  out[n] = 0;
}

}  // namespace vst3host
