#include "tests/graphics/platform/dialog_closer.h"

#include <dlgs.h>

#include <string>

namespace plugkit::canvas::test {

namespace {
std::function<void(HWND)> gAct;
bool gActed = false;
std::wstring gTitle;
UINT_PTR gTimer = 0;

BOOL CALLBACK FindDialog(HWND hwnd, LPARAM out) {
  char cls[32] = {};
  GetClassNameA(hwnd, cls, sizeof cls);
  if (std::string(cls) == "#32770" && IsWindowVisible(hwnd)) {
    *reinterpret_cast<HWND*>(out) = hwnd;
    return FALSE;
  }
  return TRUE;
}

void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD) {
  if (gActed) return;
  HWND dialog = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&dialog));
  if (!dialog) return;
  wchar_t title[256] = {};
  GetWindowTextW(dialog, title, 255);
  gTitle = title;
  gActed = true;
  if (gAct)
    gAct(dialog);
  else
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}
} // namespace

DialogCloser::DialogCloser(std::function<void(HWND)> act) {
  gAct = std::move(act);
  gActed = false;
  gTitle.clear();
  gTimer = SetTimer(nullptr, 0, 100, OnTimer);
}

DialogCloser::~DialogCloser() {
  KillTimer(nullptr, gTimer);
  gAct = nullptr;
}

bool DialogCloser::Acted() const { return gActed; }
const wchar_t* DialogCloser::Title() const { return gTitle.c_str(); }

void TypeFileName(HWND dialog, const char* path) {
  // The field is an edit control in some dialog layouts, a combo box in others.
  if (!SetDlgItemTextA(dialog, edt1, path)) SetDlgItemTextA(dialog, cmb13, path);
}

} // namespace plugkit::canvas::test
