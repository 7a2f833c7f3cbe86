#include "tests/hosts/vst2/Utf8Path.h"

#include <windows.h>

#include <vector>

namespace vst2host {

std::wstring WidenUtf8(const std::string& text) {
  if (text.empty()) return std::wstring();
  int count = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  if (count <= 0) return std::wstring();
  std::wstring wide(static_cast<size_t>(count), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &wide[0], count);
  return wide;
}

std::string NarrowToUtf8(const std::wstring& text) {
  if (text.empty()) return std::string();
  int count = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                  nullptr, nullptr);
  if (count <= 0) return std::string();
  std::string narrow(static_cast<size_t>(count), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &narrow[0], count, nullptr,
                      nullptr);
  return narrow;
}

std::FILE* OpenFileUtf8(const std::string& path, const char* mode) {
  return _wfopen(WidenUtf8(path).c_str(), WidenUtf8(mode).c_str());
}

std::string ExecutableDirectory() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return std::string();
    if (length < buffer.size()) {
      std::wstring path(buffer.data(), length);
      size_t slash = path.find_last_of(L"\\/");
      return NarrowToUtf8(slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1));
    }
    buffer.resize(buffer.size() * 2);
  }
}

std::string BesideExecutable(const char* relative) {
  std::string path = ExecutableDirectory() + relative;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

} // namespace vst2host
