// Fonts of the editor window: installed families, fonts registered
// privately from the module's resources or from files, the handle copies the
// text field uses, and the font class.
#include <windows.h>

#include <string>
#include <vector>

#include "core/ModuleResources.h"
#include "graphics/resources/ITrueTypeInfo.h"
#include "graphics/platform/GdiFonts.h"
#include "graphics/platform/ICanvasWinFont.h"
#include "graphics/platform/WideText.h"
#include "graphics/platform/WinFontCaches.h"

namespace plugkit {
namespace canvas {

namespace {

// A font file mapped read-only for as long as the object lives.
class MappedFile {
public:
  explicit MappedFile(const char* path) {
    std::wstring wide;
    if (!WideFromUtf8(path, wide)) return;
    mFile = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                        nullptr);
    if (mFile == INVALID_HANDLE_VALUE) return;
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(mFile, &size) || size.QuadPart <= 0 || size.QuadPart > 0x7FFFFFFF) return;
    mMapping = CreateFileMappingA(mFile, nullptr, PAGE_READONLY, 0, 0, nullptr);
    if (!mMapping) return;
    mView = MapViewOfFile(mMapping, FILE_MAP_READ, 0, 0, 0);
    if (mView) mSize = static_cast<int32_t>(size.QuadPart);
  }
  ~MappedFile() {
    if (mView) UnmapViewOfFile(mView);
    if (mMapping) CloseHandle(mMapping);
    if (mFile != INVALID_HANDLE_VALUE) CloseHandle(mFile);
  }
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;
  const uint8_t* Bytes() const { return static_cast<const uint8_t*>(mView); }
  int32_t Size() const { return mSize; }

private:
  HANDLE mFile = INVALID_HANDLE_VALUE;
  HANDLE mMapping = nullptr;
  void* mView = nullptr;
  int32_t mSize = 0;
};

} // namespace

ICanvasWin::Font::Font(void* handle, bool isSystemFont, const char* styleName)
    : mHandle(handle), mIsSystemFont(isSystemFont), mStyleName(styleName) {}

ICanvasWin::Font::~Font() {
  if (mHandle) DeleteObject(static_cast<HFONT>(mHandle));
}

std::unique_ptr<ITypefaceBlob> ICanvasWin::Font::LoadTypefaceBlob() {
  auto blob = std::make_unique<ITypefaceBlob>();
  std::vector<uint8_t> bytes;
  bool collection = false;
  if (!ReadFontBytes(mHandle, bytes, collection)) return blob;
  if (!blob->AssignBytes(bytes.data(), static_cast<int32_t>(bytes.size()))) return blob;
  blob->SelectFace(mStyleName.IsEmpty() ? nullptr : mStyleName.Get());
  return blob;
}

PlatformFont* ICanvasWin::OpenSystemFont(const char* family, int32_t style) {
  const int32_t weight = style == 1 ? FW_BOLD : FW_NORMAL;
  void* font = CreateFontByFamily(family, weight, style == 2, false, true);
  if (!font) return nullptr;
  return new Font(font, true, style == 1 ? "Bold" : style == 2 ? "Italic" : "Regular");
}

PlatformFont* ICanvasWin::OpenFontResource(const char*, const char* name) {
  if (!name || !*name) return nullptr;
  IFontRegistrationCache::LockedView registrations(FontRegistrationCache());
  IStringBuffer location;
  const char* type = "ttf";
  int32_t where = FindResourceOrFile(name, type, location, mModule);
  if (where == kLocationNotFound) {
    type = "otf";
    where = FindResourceOrFile(name, type, location, mModule);
  }
  if (where == kLocationNotFound) return nullptr;

  std::unique_ptr<MappedFile> file;
  const uint8_t* bytes = nullptr;
  int32_t size = 0;
  if (where == kLocationFile) {
    file = std::make_unique<MappedFile>(location.Get());
    bytes = file->Bytes();
    size = file->Size();
  } else {
    bytes = LoadResourceBytes(location.Get(), type, size, mModule);
  }
  if (!bytes || size <= 0) return nullptr;

  DWORD faces = 0;
  HANDLE registration = AddFontMemResourceEx(const_cast<uint8_t*>(bytes), static_cast<DWORD>(size), nullptr, &faces);
  if (!registration) return nullptr;
  ITrueTypeInfo info;
  void* font = nullptr;
  if (info.Load(bytes, size, 0)) {
    font = CreateFontByFamily(info.FamilyName.Get(), (info.MacStyle & 1) ? FW_BOLD : FW_NORMAL,
                              (info.MacStyle & 2) != 0, (info.MacStyle & 4) != 0, false);
  }
  if (!font) {
    RemoveFontMemResourceEx(registration);
    return nullptr;
  }
  // One registration per name: a second one of the same font adds nothing.
  if (registrations.Find(name, 1.0)) {
    RemoveFontMemResourceEx(registration);
  } else {
    auto record = std::make_unique<IFontRegistration>(registration);
    if (registrations.Add(record.get(), name, 1.0)) record.release();
  }
  return new Font(font, false, "");
}

void ICanvasWin::RetainFontHandle(const char* fontId, PlatformFont* font) {
  if (!fontId || !font || !font->NativeHandle()) return;
  IFontHandleCache::LockedView handles(FontHandleCache());
  if (handles.Find(fontId, 1.0)) return;
  LOGFONTA lf = {};
  if (GetObjectA(static_cast<HFONT>(font->NativeHandle()), sizeof lf, &lf) != sizeof lf) return;
  HFONT copy = CreateFontIndirectA(&lf);
  if (!copy) return;
  auto record = std::make_unique<IFontHandleCopy>(copy);
  if (handles.Add(record.get(), fontId, 1.0)) record.release();
}

} // namespace canvas
} // namespace plugkit
