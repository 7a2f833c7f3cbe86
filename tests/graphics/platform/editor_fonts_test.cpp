// Fonts of the Windows editor: installed families by style, the embedded
// fonts registered privately, the handle copies the text field uses, and the
// font bytes handed to the back-end.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "graphics/platform/GdiFonts.h"
#include "graphics/platform/ICanvasWinFont.h"
#include "graphics/platform/WinFontCaches.h"
#include "graphics/records/DefaultConstants.h"
#include "graphics/resources/SharedCaches.h"
#include "tests/graphics/platform/editor_harness.h"
#include "tests/graphics/resources/font_bytes.h"
#include "tests/graphics/resources/font_surgery.h"
#include "tests/support/written_file.h"

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
  explicit LabelControl(const IBox& bounds, const char* font = "Roboto-Regular") : IControl(bounds, -1) {
    mStyle = kStandardText.WithSize(40.0f);
    mStyle.SetFontName(font);
  }
  void Render(ICanvas& g) override {
    g.FloodBox(IArgb(255, 255, 255, 255), Bounds());
    g.RenderTextRun(mStyle, "Tessivo", Bounds());
  }

private:
  ITextStyle mStyle;
};

// Dark pixels of black text on white in the editor's picture, within rows
// top .. bottom.
int DarkPixels(EditorHarness& h, int top, int bottom) {
  int lit = 0;
  for (int y = top; y < bottom; y += 2)
    for (int x = 30; x < 220; x += 2) {
      const Rgba8 p = h.Pixel(x, y);
      if (p.R >= 0 && p.R < 128 && p.G < 128 && p.B < 128) ++lit;
    }
  return lit;
}

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
  EXPECT_GT(DarkPixels(h, 60, 100), 20) << "black text on the white panel";

  ICanvasWin* editor = h.Editor();
  editor->OpenTextField(-1, kStandardText, IBox(20, 20, 200, 50), 20, "abc");
  ASSERT_TRUE(editor->TextFieldIsOpen());
  void* font = reinterpret_cast<void*>(
      SendMessageA(static_cast<HWND>(editor->TextFieldWindow()), WM_GETFONT, 0, 0));
  ASSERT_TRUE(font);
  EXPECT_EQ(FaceOf(font), "Roboto");
  editor->AbortTextField();
}

// Damaged copies of the embedded Roboto, whose tables the rasteriser would
// read outside their bytes (a knob measures text at layout, inside the
// host's call, and every paint draws it): the Windows layer registers each
// (GDI takes them), the back-end refuses them, so InstallFont answers false
// and keeps nothing, and the editor goes on painting with its own font.
TEST(EditorFonts, FontsTheRasteriserWouldReadPastAreRefusedAndTheEditorPaintsOn) {
  const std::vector<uint8_t> roboto = EmbeddedFont("Roboto-Regular.ttf");
  ASSERT_FALSE(roboto.empty());
  // Of a family of their own, so that GDI hands the back-end their bytes
  // and no other Roboto's.
  SfntFont renamed = SplitFont(roboto);
  RenameFamily(renamed, "Roboto", "Damage");
  std::vector<std::unique_ptr<plugkit::test::WrittenFile>> files;
  std::vector<std::string> names;
  for (const DamagedFont& d : DamagedCopies(renamed)) {
    const std::string name = "editor_fonts_damaged_" + std::to_string(files.size()) + ".ttf";
    files.push_back(std::make_unique<plugkit::test::WrittenFile>(name, d.File));
    ASSERT_TRUE(files.back()->Written());
    names.push_back(d.Name);
  }
  bool installed = false;
  std::vector<bool> registered, refusedInstalled;
  LabelControl* label = nullptr;
  EditorHarness h(1.0f, 1, [&](ICanvas& g) {
    installed = g.InstallFont("Roboto-Regular", "Roboto-Regular.ttf");
    for (const auto& file : files) {
      std::unique_ptr<PlatformFont> opened(g.OpenFontResource("Damaged", file->Name()));
      registered.push_back(opened != nullptr);
      refusedInstalled.push_back(g.InstallFont("Damaged", file->Name()));
      IBox box(0, 0, 250, 160);
      ITextStyle style = kStandardText;
      style.SetFontName("Damaged");
      g.MeasureTextBox(style, "Tessivo", box);  // as a control measures at layout
    }
    label = static_cast<LabelControl*>(g.AttachBackground(new LabelControl(IBox(0, 0, 250, 160))));
    g.AdoptControl(new LabelControl(IBox(0, 120, 250, 160), "Damaged"));
  });
  ASSERT_TRUE(h.Open());
  EXPECT_TRUE(installed);
  ASSERT_EQ(refusedInstalled.size(), files.size());
  for (size_t i = 0; i < files.size(); ++i) {
    SCOPED_TRACE(names[i]);
    EXPECT_TRUE(registered[i]) << "the platform takes the file: the refusal is the back-end's";
    EXPECT_FALSE(refusedInstalled[i]);
  }
  EXPECT_EQ(TypefaceBlobCache().Count(), 1) << "only Roboto is kept";

  ASSERT_TRUE(h.PumpUntilPainted());
  EXPECT_GT(DarkPixels(h, 50, 100), 20) << "the editor's own font";
  EXPECT_EQ(DarkPixels(h, 124, 158), 0) << "the refused font draws nothing";
  const uint32_t painted = h.Editor()->PaintedFrames();
  label->MarkChanged(false, -1);
  ASSERT_TRUE(h.PumpUntilPainted(painted + 1)) << "and it goes on painting";
  EXPECT_GT(DarkPixels(h, 50, 100), 20);
}

} // namespace
} // namespace plugkit::canvas::test
