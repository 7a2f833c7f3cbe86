// The dialogs are opened for real and dismissed by a timer; the clipboard
// round-trips text.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "graphics/platform/Clipboard.h"
#include "graphics/platform/NativeDialogs.h"
#include "tests/graphics/platform/dialog_closer.h"
#include "tests/graphics/platform/message_window.h"

namespace plugkit::canvas::test {
namespace {

TEST(NativeDialogs, DefaultExtensionIsTheBareExtension) {
  const struct {
    const char* filter;
    const char* ext;
  } cases[] = {{"VST Preset (*.fxp)|*.fxp|All Files (*.*)|*.*", "fxp"},
               {"All Files (*.*)|*.*", ""},
               {"Pictures|*.png;*.jpg", "png"},
               {"nothing", ""},
               {nullptr, ""},
               {"Any|*", ""}};
  for (const auto& c : cases) {
    IStringBuffer ext;
    DefaultExtensionOfFilter(c.filter, ext);
    EXPECT_STREQ(ext.Get(), c.ext) << (c.filter ? c.filter : "null");
  }
}

TEST(NativeDialogs, AlertTypeCarriesTheIcon) {
  EXPECT_EQ(AlertBoxType(MB_OKCANCEL, 0), static_cast<uint32_t>(MB_OKCANCEL));
  EXPECT_EQ(AlertBoxType(MB_OK, 1), static_cast<uint32_t>(MB_ICONHAND));
  EXPECT_EQ(AlertBoxType(MB_YESNO, 2), static_cast<uint32_t>(MB_YESNO | MB_ICONQUESTION));
  EXPECT_EQ(AlertBoxType(MB_OK, 3), static_cast<uint32_t>(MB_ICONEXCLAMATION));
  EXPECT_EQ(AlertBoxType(MB_OK, 4), static_cast<uint32_t>(MB_ICONASTERISK));
  EXPECT_EQ(AlertBoxType(MB_OK, 9), static_cast<uint32_t>(MB_OK));
}

// Cancelling either file dialog empties the file text and keeps the folder.
TEST(NativeDialogs, FileDialogsOpenAndCancel) {
  MessageWindow owner;
  for (int32_t action : {kOpenFileAction, kSaveFileAction}) {
    IStringBuffer file("preset.fxp"), folder("C:\\");
    DialogCloser closer;
    RunFileDialog(owner.Handle(), file, folder, action, "VST Preset (*.fxp)|*.fxp|All Files (*.*)|*.*");
    EXPECT_TRUE(closer.Acted()) << "the dialog opened (action " << action << ")";
    EXPECT_STREQ(file.Get(), "");
    EXPECT_STREQ(folder.Get(), "C:\\");
  }
}

// Saving with the default extension: typing a bare name yields name.fxp, in
// the chosen folder.
TEST(NativeDialogs, SaveDialogAddsTheBareDefaultExtension) {
  MessageWindow owner;
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  IStringBuffer file("mypreset"), folder(temp);
  DialogCloser closer([](HWND dialog) { PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0); });
  RunFileDialog(owner.Handle(), file, folder, kSaveFileAction, "VST Preset (*.fxp)|*.fxp|All Files (*.*)|*.*");
  ASSERT_TRUE(closer.Acted());
  const std::string path = file.Get();
  ASSERT_GE(path.size(), 13u) << path;
  EXPECT_EQ(path.substr(path.size() - 13), "\\mypreset.fxp") << path;
  const std::string where = folder.Get();
  ASSERT_FALSE(where.empty());
  EXPECT_EQ(where.back(), '\\');
  EXPECT_EQ(path.substr(0, where.size()), where);
}

TEST(NativeDialogs, FolderAndColourDialogsOpenAndCancel) {
  MessageWindow owner;
  {
    IStringBuffer folder("C:\\old\\");
    DialogCloser closer;
    RunFolderDialog(owner.Handle(), folder);
    EXPECT_TRUE(closer.Acted());
    EXPECT_STREQ(folder.Get(), "");
  }
  {
    IArgb colour(255, 10, 20, 30);
    DialogCloser closer;
    EXPECT_FALSE(RunColourDialog(owner.Handle(), colour, "Pick a colour"));
    EXPECT_TRUE(closer.Acted());
    EXPECT_STREQ(closer.Title(), L"Pick a colour") << "the prompt is the title";
    EXPECT_EQ(colour.Red, 10);
  }
  {
    IArgb colour(128, 10, 20, 30);
    DialogCloser closer([](HWND dialog) { PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0); });
    EXPECT_TRUE(RunColourDialog(owner.Handle(), colour, nullptr));
    EXPECT_EQ(colour.Alpha, 128);
    EXPECT_EQ(colour.Red, 10);
    EXPECT_EQ(colour.Green, 20);
    EXPECT_EQ(colour.Blue, 30);
  }
  IArgb colour;
  EXPECT_FALSE(RunColourDialog(nullptr, colour, nullptr)) << "no window, no dialog";
}

TEST(Clipboard, TextRoundTripsAndEmptyTextEmpties) {
  MessageWindow owner;
  EXPECT_TRUE(WriteClipboardUtf8(owner.Handle(), "Gr\xC3\xBC\xC3\x9F" "e 12.5"));
  IStringBuffer text;
  EXPECT_TRUE(ReadClipboardUtf8(text));
  EXPECT_STREQ(text.Get(), "Gr\xC3\xBC\xC3\x9F" "e 12.5");
  EXPECT_EQ(GetClipboardOwner(), owner.Handle());

  EXPECT_FALSE(WriteClipboardUtf8(owner.Handle(), ""));
  EXPECT_FALSE(ReadClipboardUtf8(text));
  EXPECT_STREQ(text.Get(), "");
  EXPECT_FALSE(WriteClipboardUtf8(owner.Handle(), "\xFF\xFE broken")) << "not UTF-8";
}

TEST(Clipboard, BusyClipboardReportsFailure) {
  MessageWindow owner, other;
  ASSERT_TRUE(OpenClipboard(other.Handle()));
  EXPECT_FALSE(WriteClipboardUtf8(owner.Handle(), "x"));
  CloseClipboard();
}

} // namespace
} // namespace plugkit::canvas::test
