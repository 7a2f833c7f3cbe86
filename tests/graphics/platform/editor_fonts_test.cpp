// Fonts of the Windows editor: installed families by style, the embedded
// fonts registered privately, the handle copies the text field uses, and the
// font bytes handed to the back-end.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "graphics/platform/GdiFonts.h"
#include "graphics/platform/ICanvasWinFont.h"
#include "graphics/platform/WinFontCaches.h"
#include "graphics/records/DefaultConstants.h"
#include "tests/graphics/platform/editor_harness.h"

namespace plugkit::canvas::test {
namespace {

int CALLBACK FirstTrueType(const LOGFONTA* lf, const TEXTMETRICA*, DWORD type, LPARAM out) {
  if (!(type & TRUETYPE_FONTTYPE) || lf->lfFaceName[0] == '@') return 1;
  *reinterpret_cast<std::string*>(out) = lf->lfFaceName;
  return std::string(lf->lfFaceName) == "Tahoma" ? 0 : 1;
}

std::string InstalledTrueType() {
  std::string family;
  HDC dc = GetDC(nullptr);
  LOGFONTA lf = {};
  lf.lfCharSet = DEFAULT_CHARSET;
  EnumFontFamiliesExA(dc, &lf, FirstTrueType, reinterpret_cast<LPARAM>(&family), 0);
  ReleaseDC(nullptr, dc);
  return family;
}

std::string FaceOf(void* font) {
  char face[64] = {};
  FontFaceName(font, face, sizeof face);
  return face;
}

TEST(EditorFonts, SystemFontsByStyleAndMissingFamilies) {
  Log log;
  LayoutDelegate delegate(log);
  TestEditor editor(&delegate, 1.0f);
  const std::string family = InstalledTrueType();
  ASSERT_FALSE(family.empty());
  std::unique_ptr<PlatformFont> bold(editor.OpenSystemFont(family.c_str(), 1));
  ASSERT_TRUE(bold);
  auto* win = static_cast<ICanvasWin::Font*>(bold.get());
  EXPECT_TRUE(win->IsSystemFont());
  EXPECT_STREQ(win->StyleName(), "Bold");
  LOGFONTA lf = {};
  GetObjectA(static_cast<HFONT>(bold->NativeHandle()), sizeof lf, &lf);
  EXPECT_EQ(lf.lfWeight, FW_BOLD);
  std::unique_ptr<PlatformFont> italic(editor.OpenSystemFont(family.c_str(), 2));
  ASSERT_TRUE(italic);
  EXPECT_STREQ(static_cast<ICanvasWin::Font*>(italic.get())->StyleName(), "Italic");
  std::unique_ptr<PlatformFont> regular(editor.OpenSystemFont(family.c_str(), 7));
  ASSERT_TRUE(regular);
  EXPECT_STREQ(static_cast<ICanvasWin::Font*>(regular.get())->StyleName(), "Regular");
  std::unique_ptr<ITypefaceBlob> blob = regular->LoadTypefaceBlob();
  ASSERT_TRUE(blob);
  EXPECT_TRUE(blob->IsUsable());
  EXPECT_EQ(std::string(blob->Info.StyleName.Get()), "Regular");

  EXPECT_EQ(editor.OpenSystemFont("No Such Family Anywhere", 0), nullptr);
  EXPECT_EQ(editor.OpenSystemFont(nullptr, 0), nullptr);
}

// The embedded Roboto is registered privately, so its family is usable by
// GDI (and so by the text field) also where it is not installed. (The test
// machine may have it installed; the registrations are counted instead.)
TEST(EditorFonts, EmbeddedFontsAreRegisteredAndShared) {
  Log log;
  LayoutDelegate delegate(log);
  auto editor = std::make_unique<TestEditor>(&delegate, 1.0f);

  std::unique_ptr<PlatformFont> roboto(editor->OpenFontResource("Roboto-Regular", "Roboto-Regular.ttf"));
  ASSERT_TRUE(roboto) << "the embedded resource";
  EXPECT_FALSE(static_cast<ICanvasWin::Font*>(roboto.get())->IsSystemFont());
  EXPECT_EQ(FaceOf(roboto->NativeHandle()), "Roboto");
  std::unique_ptr<ITypefaceBlob> blob = roboto->LoadTypefaceBlob();
  ASSERT_TRUE(blob && blob->IsUsable());
  EXPECT_EQ(blob->FaceIndex, 0);
  EXPECT_EQ(std::string(blob->Info.FamilyName.Get()), "Roboto");

  std::unique_ptr<PlatformFont> icons(editor->OpenFontResource("ForkAwesome", "forkawesome-webfont.ttf"));
  ASSERT_TRUE(icons);
  EXPECT_EQ(FontRegistrationCache().Count(), 2);
  std::unique_ptr<PlatformFont> again(editor->OpenFontResource("Roboto-Regular", "Roboto-Regular.ttf"));
  ASSERT_TRUE(again);
  EXPECT_EQ(FontRegistrationCache().Count(), 2) << "one registration per font";

  editor->RetainFontHandle("Roboto-Regular", roboto.get());
  editor->RetainFontHandle("Roboto-Regular", again.get());
  EXPECT_EQ(FontHandleCache().Count(), 1) << "installing the same font twice keeps one entry";
  // The text field's font is made from the kept copy, at its own size.
  void* fieldFont = CreateTextFieldFont("Roboto-Regular", 28.0f, true);
  ASSERT_TRUE(fieldFont);
  EXPECT_EQ(FaceOf(fieldFont), "Roboto");
  LOGFONTA lf = {};
  GetObjectA(static_cast<HFONT>(fieldFont), sizeof lf, &lf);
  EXPECT_EQ(lf.lfHeight, 28);
  EXPECT_EQ(lf.lfQuality, NONANTIALIASED_QUALITY);
  DeleteObject(static_cast<HFONT>(fieldFont));

  EXPECT_EQ(editor->OpenFontResource("Nothing", "no-such-font.ttf"), nullptr);
  roboto.reset();
  again.reset();
  icons.reset();
  editor.reset();  // the last editor: the caches are cleared, the fonts unregistered
  EXPECT_EQ(FontRegistrationCache().Count(), 0);
  EXPECT_EQ(FontHandleCache().Count(), 0);
}

class LabelControl : public IControl {
public:
  explicit LabelControl(const IBox& bounds) : IControl(bounds, -1) {}
  void Render(ICanvas& g) override {
    g.FloodBox(IArgb(255, 255, 255, 255), Bounds());
    g.RenderTextRun(kStandardText.WithSize(40.0f), "Tessivo", Bounds());
  }
};

// The layout installs the embedded font; the editor draws text with it and
// the native text field shows the same family.
TEST(EditorFonts, EmbeddedFontDrawsTextAndDressesTheTextField) {
  bool installed = false;
  EditorHarness h(1.0f, 1, [&](ICanvas& g) {
    installed = g.InstallFont("Roboto-Regular", "Roboto-Regular.ttf");
    g.AttachBackground(new LabelControl(IBox(0, 0, 250, 160)));
  });
  ASSERT_TRUE(h.Open());
  EXPECT_TRUE(installed);
  ASSERT_TRUE(h.PumpUntilPainted());
  int lit = 0;
  for (int y = 60; y < 100; y += 2)
    for (int x = 30; x < 220; x += 2) {
      const Rgba8 p = h.Pixel(x, y);
      if (p.R >= 0 && p.R < 128 && p.G < 128 && p.B < 128) ++lit;
    }
  EXPECT_GT(lit, 20) << "black text on the white panel";

  ICanvasWin* editor = h.Editor();
  editor->OpenTextField(-1, kStandardText, IBox(20, 20, 200, 50), 20, "abc");
  ASSERT_TRUE(editor->TextFieldIsOpen());
  void* font = reinterpret_cast<void*>(
      SendMessageA(static_cast<HWND>(editor->TextFieldWindow()), WM_GETFONT, 0, 0));
  ASSERT_TRUE(font);
  EXPECT_EQ(FaceOf(font), "Roboto");
  editor->AbortTextField();
}

} // namespace
} // namespace plugkit::canvas::test
