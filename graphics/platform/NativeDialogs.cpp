#include "graphics/platform/NativeDialogs.h"

#include <windows.h>
#include <commdlg.h>
#include <ole2.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstring>
#include <string>

#include "graphics/platform/WideText.h"

namespace plugkit {
namespace canvas {

namespace {

constexpr size_t kPathUnits = MAX_PATH;   // file dialog buffers, terminator included
constexpr size_t kShellTextUnits = 4096;  // urls and explorer parameters

// The dialogs take the records of the build they run in: the 32-bit ones are
// smaller, and a dialog given the 64-bit size there refuses to open.
static_assert(sizeof(OPENFILENAMEW) == (sizeof(void*) == 8 ? 152 : 88), "file dialog record");
static_assert(sizeof(CHOOSECOLORW) == (sizeof(void*) == 8 ? 72 : 36), "colour dialog record");

// The custom colours every colour dialog of the process shares.
COLORREF gCustomColours[16] = {};

// The text between the first and the second vertical bar.
std::string FirstPattern(const char* filter) {
  if (!filter) return {};
  const char* first = std::strchr(filter, '|');
  if (!first) return {};
  const char* second = std::strchr(first + 1, '|');
  return second ? std::string(first + 1, second) : std::string(first + 1);
}

UINT_PTR CALLBACK ColourDialogHook(HWND dialog, UINT message, WPARAM, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    const CHOOSECOLORW* cc = reinterpret_cast<const CHOOSECOLORW*>(lParam);
    const wchar_t* prompt = cc ? reinterpret_cast<const wchar_t*>(cc->lCustData) : nullptr;
    if (prompt && *prompt) {
      SetWindowTextW(dialog, prompt);
      const UINT setRgb = RegisterWindowMessageA("commdlg_SetRGBColor");
      SendMessageA(dialog, setRgb, 0, static_cast<LPARAM>(cc->rgbResult));
    }
  }
  return 0;
}

} // namespace

void DefaultExtensionOfFilter(const char* filter, IStringBuffer& extension) {
  std::string pattern = FirstPattern(filter);
  const size_t semicolon = pattern.find(';');
  if (semicolon != std::string::npos) pattern.resize(semicolon);
  const size_t dot = pattern.rfind('.');
  std::string ext = dot == std::string::npos ? std::string() : pattern.substr(dot + 1);
  if (ext.find_first_of("*?") != std::string::npos) ext.clear();
  extension.Assign(ext.c_str());
}

void RunFileDialog(void* owner, IStringBuffer& file, IStringBuffer& folder, int32_t action, const char* filter) {
  wchar_t path[kPathUnits] = {};
  std::wstring proposed;
  if (WideFromUtf8(file.Get(), proposed, kPathUnits)) wcscpy(path, proposed.c_str());
  std::wstring startFolder;
  if (!WideFromUtf8(folder.Get(), startFolder, kPathUnits)) startFolder.clear();

  // "A|B|C|D" becomes "A\0B\0C\0D\0\0".
  std::wstring filterText;
  if (!WideFromUtf8(filter, filterText)) filterText.clear();
  for (wchar_t& c : filterText)
    if (c == L'|') c = L'\0';
  filterText.push_back(L'\0');
  filterText.push_back(L'\0');
  IStringBuffer ext;
  DefaultExtensionOfFilter(filter, ext);
  std::wstring wideExt;
  WideFromUtf8(ext.Get(), wideExt);

  OPENFILENAMEW ofn = {};
  ofn.lStructSize = sizeof ofn;  // the record of this build (152 bytes on 64 bits, 88 on 32)
  ofn.hwndOwner = static_cast<HWND>(owner);
  ofn.lpstrFilter = filter && *filter ? filterText.c_str() : nullptr;
  ofn.lpstrFile = path;
  ofn.nMaxFile = kPathUnits - 1;
  ofn.lpstrInitialDir = startFolder.empty() ? nullptr : startFolder.c_str();
  ofn.lpstrDefExt = wideExt.empty() ? nullptr : wideExt.c_str();
  ofn.Flags = OFN_PATHMUSTEXIST;
  BOOL ok;
  if (action == kSaveFileAction) {
    ofn.Flags |= OFN_OVERWRITEPROMPT;
    ok = GetSaveFileNameW(&ofn);
  } else {
    ofn.Flags |= OFN_FILEMUSTEXIST;
    ok = GetOpenFileNameW(&ofn);
  }
  if (!ok) {
    file.Clear();
    return;
  }
  file.AssignWide(path);
  wchar_t drive[_MAX_DRIVE] = {}, dir[_MAX_DIR] = {};
  if (_wsplitpath_s(path, drive, _MAX_DRIVE, dir, _MAX_DIR, nullptr, 0, nullptr, 0) == 0 && (drive[0] || dir[0])) {
    std::wstring where = std::wstring(drive) + dir;
    if (!where.empty() && where.back() != L'\\') where.push_back(L'\\');
    folder.AssignWide(where.c_str());
  }
}

void RunFolderDialog(void* owner, IStringBuffer& folder) {
  // Only a successful initialisation is balanced by an uninitialisation.
  const HRESULT ole = OleInitialize(nullptr);
  BROWSEINFOW info = {};
  info.hwndOwner = static_cast<HWND>(owner);
  info.lpszTitle = L"Choose a Directory";
  info.ulFlags = BIF_EDITBOX | BIF_NEWDIALOGSTYLE;
  folder.Clear();
  if (LPITEMIDLIST list = SHBrowseForFolderW(&info)) {
    wchar_t path[MAX_PATH] = {};
    if (SHGetPathFromIDListW(list, path)) {
      std::wstring chosen = path;
      chosen.push_back(L'\\');
      folder.AssignWide(chosen.c_str());
    }
    CoTaskMemFree(list);
  }
  if (SUCCEEDED(ole)) OleUninitialize();
}

bool RunColourDialog(void* owner, IArgb& colour, const char* prompt) {
  if (!owner) return false;
  std::wstring widePrompt;
  WideFromUtf8(prompt, widePrompt, kShellTextUnits);
  CHOOSECOLORW cc = {};
  cc.lStructSize = sizeof cc;  // the record of this build (72 bytes on 64 bits, 36 on 32)
  cc.hwndOwner = static_cast<HWND>(owner);
  cc.rgbResult = RGB(colour.Red, colour.Green, colour.Blue);
  cc.lpCustColors = gCustomColours;
  cc.Flags = CC_RGBINIT | CC_FULLOPEN | CC_ENABLEHOOK | CC_SOLIDCOLOR | CC_ANYCOLOR;
  cc.lCustData = reinterpret_cast<LPARAM>(widePrompt.c_str());
  cc.lpfnHook = ColourDialogHook;
  if (!ChooseColorW(&cc)) return false;
  colour.Red = GetRValue(cc.rgbResult);
  colour.Green = GetGValue(cc.rgbResult);
  colour.Blue = GetBValue(cc.rgbResult);
  return true;
}

bool OpenUrlWithShell(void* owner, const char* url) {
  std::wstring wide;
  if (!url || !*url || !WideFromUtf8(url, wide, kShellTextUnits)) return false;
  const INT_PTR result = reinterpret_cast<INT_PTR>(
      ShellExecuteW(static_cast<HWND>(owner), L"open", wide.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  return result > 32;
}

bool RevealInExplorer(const char* path, bool select) {
  if (!path || !*path) return false;
  std::string params = select ? "/select," : "";
  // The path is quoted as it is: a backslash before the closing quote would
  // name a folder inside the file and escape the quote.
  params += "\"";
  params += path;
  params += "\"";
  std::wstring wide;
  if (!WideFromUtf8(params.c_str(), wide, kShellTextUnits)) return false;
  wchar_t system[MAX_PATH] = {};
  const UINT n = GetSystemDirectoryW(system, MAX_PATH - 1);
  if (n == 0 || n >= MAX_PATH - 1) return false;
  std::wstring workDir = std::wstring(system) + L"\\";
  const INT_PTR result = reinterpret_cast<INT_PTR>(
      ShellExecuteW(nullptr, L"open", L"explorer.exe", wide.c_str(), workDir.c_str(), SW_SHOWNORMAL));
  return result > 32;
}

uint32_t AlertBoxType(int32_t buttons, int32_t icon) {
  static const uint32_t kIcons[] = {0, MB_ICONHAND, MB_ICONQUESTION, MB_ICONEXCLAMATION, MB_ICONASTERISK};
  uint32_t type = static_cast<uint32_t>(buttons);
  if (icon >= 1 && icon <= 4) type |= kIcons[icon];
  return type;
}

} // namespace canvas
} // namespace plugkit
