#include "core/Utf8File.h"

#include <windows.h>

#include <io.h>

#include <cstring>
#include <vector>

namespace plugkit {

namespace {

// UTF-16 form of a NUL-terminated UTF-8 text; empty when it is not valid UTF-8.
std::vector<wchar_t> Widen(const char* text) {
  const int count = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, -1, nullptr, 0);
  if (count <= 0) return {};
  std::vector<wchar_t> wide(static_cast<size_t>(count));
  if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, -1, wide.data(), count) != count) return {};
  return wide;
}

} // namespace

std::FILE* OpenUtf8File(const char* path, const char* mode) {
  if (!path || path[0] == '\0' || !mode) return nullptr;
  const std::vector<wchar_t> widePath = Widen(path);
  const std::vector<wchar_t> wideMode = Widen(mode);
  if (widePath.empty() || wideMode.empty()) return nullptr;
  return _wfopen(widePath.data(), wideMode.data());
}

bool WriteAndClose(std::FILE* file, const void* data, int32_t n) {
  if (!file) return false;
  bool ok = n >= 0 && (n == 0 || data);
  if (ok && n > 0) ok = std::fwrite(data, 1, static_cast<size_t>(n), file) == static_cast<size_t>(n);
  // fclose flushes buffered bytes; a failed flush is a failed save as well.
  if (std::fclose(file) != 0) ok = false;
  return ok;
}

bool ReplaceUtf8File(const char* path, const void* data, int32_t n) {
  if (!path || path[0] == '\0' || n < 0 || (n > 0 && !data)) return false;
  const std::vector<wchar_t> target = Widen(path);
  if (target.empty()) return false;
  // Beside the target, so that the final move stays on one volume and is a
  // rename rather than a copy.
  std::vector<wchar_t> temporary(target.begin(), target.end() - 1);
  for (const wchar_t* suffix = L".tmp~"; *suffix; ++suffix) temporary.push_back(*suffix);
  temporary.push_back(L'\0');

  // A read-only preset stays protected, as it was when the file was opened
  // for writing in place; not every file system refuses a move over it.
  const DWORD attributes = GetFileAttributesW(target.data());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return false;

  std::FILE* file = _wfopen(temporary.data(), L"wb");
  if (!file) return false; // nothing of ours to remove: the name may belong to someone else
  bool ok = n == 0 || std::fwrite(data, 1, static_cast<size_t>(n), file) == static_cast<size_t>(n);
  // The bytes must be on disk before the old file goes, or a crash right
  // after the move could leave an empty file in its place.
  ok = ok && std::fflush(file) == 0 && _commit(_fileno(file)) == 0;
  if (std::fclose(file) != 0) ok = false;
  ok = ok && MoveFileExW(temporary.data(), target.data(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
  if (!ok) DeleteFileW(temporary.data());
  return ok;
}

bool ReadAndClose(std::FILE* file, IStateBuffer& out, int32_t maxBytes) {
  out.Clear();
  if (!file) return false;
  bool ok = true;
  char block[4096];
  for (;;) {
    const size_t got = std::fread(block, 1, sizeof block, file);
    if (got > 0 && (static_cast<int64_t>(out.Size()) + static_cast<int64_t>(got) > maxBytes ||
                    !out.Append(block, static_cast<int32_t>(got)))) {
      ok = false;
      break;
    }
    if (got < sizeof block) {
      if (std::ferror(file)) ok = false;
      break;
    }
  }
  std::fclose(file);
  if (!ok) out.Clear();
  return ok;
}

} // namespace plugkit
