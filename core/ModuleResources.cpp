#include "core/ModuleResources.h"

#include <atomic>
#include <cstring>

#include <windows.h>

#include "core/AsciiCase.h"
#include "core/IHeapBlock.h"

namespace plugkit {

namespace {

std::atomic<void*> gStoredModule{nullptr};

// Longest location we hand out, the resource name included.
constexpr int32_t kMaxLocationLength = 260;
// Resource types are short extensions; anything longer cannot be one of ours.
constexpr int32_t kMaxTypeLength = 63;

// Resource types are stored in upper case. False when type is null, empty or
// too long to be a resource type.
bool UpperType(const char* type, char (&out)[kMaxTypeLength + 1]) {
  if (!type || !*type) return false;
  int32_t i = 0;
  for (; type[i]; ++i) {
    if (i == kMaxTypeLength) return false;
    out[i] = UpperAscii(type[i]);
  }
  out[i] = '\0';
  return true;
}

bool EqualIgnoringCase(const char* a, const char* b, size_t length) {
  for (size_t i = 0; i < length; ++i)
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  return true;
}

struct IResourceSearch {
  const char* Wanted;
  size_t WantedLength;
  bool Found = false;
  char Name[kMaxLocationLength + 1]; // the matching resource's stored name
};

// EnumResourceNamesA callback: stops at the first named resource whose name,
// without the double quotes one resource compiler keeps around quoted names
// and another drops, equals the wanted file name in any case.
BOOL CALLBACK MatchResourceName(HMODULE, LPCSTR, LPSTR name, LONG_PTR param) {
  auto* search = reinterpret_cast<IResourceSearch*>(param);
  if (IS_INTRESOURCE(name)) return TRUE;
  const size_t length = std::strlen(name);
  const char* inner = name;
  size_t innerLength = length;
  if (length >= 2 && name[0] == '"' && name[length - 1] == '"') {
    inner = name + 1;
    innerLength = length - 2;
  }
  if (innerLength != search->WantedLength || !EqualIgnoringCase(inner, search->Wanted, innerLength))
    return TRUE;
  if (length > static_cast<size_t>(kMaxLocationLength)) return TRUE; // cannot be handed out whole
  std::memcpy(search->Name, name, length + 1);
  search->Found = true;
  return FALSE;
}

// Whether path names an existing file or folder. The text is UTF-8 by the
// framework's convention, so the wide call is used; text that is not valid
// UTF-8 is tried as it stands in the system code page.
bool PathExists(const char* path) {
  const int wideLength = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path, -1, nullptr, 0);
  if (wideLength > 0) {
    IHeapBlock wide;
    const int32_t bytes = wideLength * static_cast<int32_t>(sizeof(wchar_t));
    if (wideLength < INT32_MAX / 2 && wide.SetSize(bytes) && wide.Size() == bytes &&
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path, -1, wide.As<wchar_t>(), wideLength) == wideLength)
      return GetFileAttributesW(wide.As<wchar_t>()) != INVALID_FILE_ATTRIBUTES;
  }
  return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

} // namespace

void StoreModuleHandle(void* module) { gStoredModule.store(module, std::memory_order_release); }

void* StoredModuleHandle() { return gStoredModule.load(std::memory_order_acquire); }

int32_t FindResourceOrFile(const char* name, const char* type, IStringBuffer& location, void* module) {
  if (!name || !*name) return kLocationNotFound;

  char upperType[kMaxTypeLength + 1];
  if (UpperType(type, upperType)) {
    IResourceSearch search;
    search.Wanted = name;
    search.WantedLength = std::strlen(name);
    EnumResourceNamesA(static_cast<HMODULE>(module), upperType, &MatchResourceName,
                       reinterpret_cast<LONG_PTR>(&search));
    if (search.Found) return location.Assign(search.Name) ? kLocationResource : kLocationNotFound;
  }

  if (PathExists(name)) return location.Assign(name) ? kLocationFile : kLocationNotFound;
  return kLocationNotFound;
}

const unsigned char* LoadResourceBytes(const char* location, const char* type, int32_t& size, void* module) {
  char upperType[kMaxTypeLength + 1];
  if (!location || !*location || !UpperType(type, upperType)) return nullptr;

  HMODULE handle = static_cast<HMODULE>(module);
  HRSRC resource = FindResourceA(handle, location, upperType);
  if (!resource) return nullptr;
  const DWORD bytes = SizeofResource(handle, resource);
  if (bytes <= 7 || bytes > static_cast<DWORD>(INT32_MAX)) return nullptr;

  HGLOBAL loaded = LoadResource(handle, resource);
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data) {
    size = 0;
    return nullptr;
  }
  size = static_cast<int32_t>(bytes);
  return static_cast<const unsigned char*>(data);
}

} // namespace plugkit
