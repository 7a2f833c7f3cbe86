#pragma once
// ICanvasWin::Font: a GDI font as the Windows layer found it, either
// installed on the system (found by family and style) or registered
// privately from an embedded font or a font file. ICanvas::InstallFont hands
// it to the drawing back-end, which reads the font's bytes back through
// LoadTypefaceBlob, and to RetainFontHandle; then it deletes it.
//
// Ownership: the object owns its HFONT (deleted with it). Whoever asked for
// the font owns the object. Any thread.

#include <memory>

#include "core/IStringBuffer.h"
#include "graphics/resources/PlatformFont.h"
#include "graphics/platform/ICanvasWin.h"

namespace plugkit {
namespace canvas {

class ICanvasWin::Font : public PlatformFont {
public:
  // styleName: "Regular", "Bold" or "Italic" for system fonts, "" for
  // registered ones (then the first face with a style name is taken).
  Font(void* handle, bool isSystemFont, const char* styleName);
  ~Font() override;
  void* NativeHandle() override { return mHandle; }
  // The font's file (the whole collection when it belongs to one) with the
  // face of the style chosen; a blob without bytes and FaceIndex -1 when GDI
  // has no data for the font or no face matches.
  std::unique_ptr<ITypefaceBlob> LoadTypefaceBlob() override;
  bool IsSystemFont() const { return mIsSystemFont; }
  const char* StyleName() const { return mStyleName.Get(); }

private:
  void* mHandle;  // HFONT
  bool mIsSystemFont;
  IStringBuffer mStyleName;
};

} // namespace canvas
} // namespace plugkit
