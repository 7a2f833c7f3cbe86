#pragma once
// Dismisses the modal dialogs a test opens: a thread timer, serviced by the
// dialog's own modal loop, finds the thread's dialog window and acts on it.

#include <windows.h>

#include <functional>

namespace plugkit::canvas::test {

class DialogCloser {
public:
  // act runs once on the first dialog ("#32770" window) of this thread that
  // appears; by default it presses Cancel.
  explicit DialogCloser(std::function<void(HWND)> act = nullptr);
  ~DialogCloser();
  DialogCloser(const DialogCloser&) = delete;
  DialogCloser& operator=(const DialogCloser&) = delete;

  // Whether a dialog was seen and acted on; its title.
  bool Acted() const;
  const wchar_t* Title() const;
};

// Types path into a file dialog's file name field, as a user does before
// pressing its button.
void TypeFileName(HWND dialog, const char* path);

} // namespace plugkit::canvas::test
