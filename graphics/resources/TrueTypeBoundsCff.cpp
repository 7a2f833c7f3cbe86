// The "CFF " table of a font without "glyf", read as the rasteriser reads
// it. The rasteriser walks the table through windows that stop reads past
// their own end, but the outermost one spans 512 MiB from the table's start
// whatever the table's size, so the offsets in the table decide how far
// beyond it the reads go. This file repeats the rasteriser's setup walk
// step for step on windows of the same sizes, checking every byte actually
// read against the table, and then requires the structures it keeps for
// drawing (the charstrings, the subroutines, the font dictionaries and the
// font selector as far as glyphs reach it) to lie within the table.

#include <cstdint>

#include "graphics/resources/TrueTypeBoundsParts.h"

namespace plugkit::canvas::truetype {

namespace {

// The outermost window's size in the rasteriser.
constexpr int32_t kOuterWindow = 512 * 1024 * 1024;

// The rasteriser's arithmetic on these offsets is 32-bit and wraps.
int32_t Wrap(int64_t v) { return static_cast<int32_t>(static_cast<uint32_t>(v)); }

// One window: Base and Size in table bytes, a cursor; reads at or past Size
// answer 0, as the rasteriser's do. A read inside the window but outside
// the table marks Outside.
struct IWindow {
  const IFontSpan* Table = nullptr;
  bool* Outside = nullptr;
  int64_t Base = 0;
  int32_t Size = 0;
  int32_t Cursor = 0;

  uint8_t Get8() {
    if (Cursor >= Size) return 0;
    const int64_t at = Base + Cursor++;
    if (at < 0 || !Table->Has(static_cast<uint64_t>(at), 1)) {
      *Outside = true;
      return 0;
    }
    return Table->U8(static_cast<uint64_t>(at));
  }
  uint8_t Peek8() {
    const int32_t kept = Cursor;
    const uint8_t v = Get8();
    Cursor = kept;
    return v;
  }
  void Seek(int32_t o) { Cursor = (o > Size || o < 0) ? Size : o; }
  void Skip(int32_t o) { Seek(Wrap(static_cast<int64_t>(Cursor) + o)); }
  uint32_t Get(int32_t n) {
    uint32_t v = 0;
    for (int32_t i = 0; i < n; ++i) v = v << 8 | Get8();
    return v;
  }
  IWindow Range(int32_t o, int32_t s) const {
    IWindow w{Table, Outside};
    if (o < 0 || s < 0 || o > Size || s > Size - o) return w;
    w.Base = Base + o;
    w.Size = s;
    return w;
  }
  // Whether every byte of the window lies within the table.
  bool Inside() const { return Size == 0 || (Base >= 0 && Table->Has(static_cast<uint64_t>(Base), Size)); }
};

IWindow GetIndex(IWindow& b) {
  const int32_t start = b.Cursor;
  if (const int32_t count = static_cast<int32_t>(b.Get(2))) {
    const int32_t offsetSize = b.Get8();
    b.Skip(offsetSize * count);
    b.Skip(Wrap(static_cast<int64_t>(b.Get(offsetSize)) - 1));
  }
  return b.Range(start, b.Cursor - start);
}

IWindow IndexGet(IWindow b, int32_t i) {
  b.Seek(0);
  const int32_t count = static_cast<int32_t>(b.Get(2));
  const int32_t offsetSize = b.Get8();
  b.Skip(Wrap(static_cast<int64_t>(i) * offsetSize));
  const int32_t start = Wrap(b.Get(offsetSize));
  const int32_t end = Wrap(b.Get(offsetSize));
  return b.Range(Wrap(2 + (static_cast<int64_t>(count) + 1) * offsetSize + start),
                 Wrap(static_cast<int64_t>(end) - start));
}

uint32_t CffInt(IWindow& b) {
  const int32_t b0 = b.Get8();
  if (b0 >= 32 && b0 <= 246) return static_cast<uint32_t>(b0 - 139);
  if (b0 >= 247 && b0 <= 250) return static_cast<uint32_t>((b0 - 247) * 256 + b.Get8() + 108);
  if (b0 >= 251 && b0 <= 254) return static_cast<uint32_t>(-(b0 - 251) * 256 - b.Get8() - 108);
  if (b0 == 28) return b.Get(2);
  if (b0 == 29) return b.Get(4);
  return 0;
}

void SkipOperand(IWindow& b) {
  if (b.Peek8() != 30) {
    CffInt(b);
    return;
  }
  b.Skip(1);
  while (b.Cursor < b.Size) {
    const uint8_t v = b.Get8();
    if ((v & 0xF) == 0xF || (v >> 4) == 0xF) break;
  }
}

IWindow DictGet(IWindow& b, int32_t key) {
  b.Seek(0);
  while (b.Cursor < b.Size) {
    const int32_t start = b.Cursor;
    while (b.Peek8() >= 28) SkipOperand(b);
    const int32_t end = b.Cursor;
    int32_t op = b.Get8();
    if (op == 12) op = b.Get8() | 0x100;
    if (op == key) return b.Range(start, end - start);
  }
  return b.Range(0, 0);
}

void DictGetInts(IWindow& b, int32_t key, int32_t count, uint32_t* out) {
  IWindow operands = DictGet(b, key);
  for (int32_t i = 0; i < count && operands.Cursor < operands.Size; ++i) out[i] = CffInt(operands);
}

// A dictionary's local subroutines: its private dictionary, then the index
// at the private dictionary's subroutine offset.
IWindow GetSubrs(IWindow cff, IWindow dict) {
  uint32_t privateAt[2] = {0, 0};
  DictGetInts(dict, 18, 2, privateAt);
  if (!privateAt[1] || !privateAt[0]) return cff.Range(0, 0);
  IWindow privateDict = cff.Range(Wrap(privateAt[1]), Wrap(privateAt[0]));
  uint32_t subrs = 0;
  DictGetInts(privateDict, 19, 1, &subrs);
  if (!subrs) return cff.Range(0, 0);
  cff.Seek(Wrap(static_cast<int64_t>(privateAt[1]) + subrs));
  return GetIndex(cff);
}

} // namespace

bool CffInBounds(const IFaceTables& face) {
  bool outside = false;
  IWindow b{&face.Cff, &outside, 0, kOuterWindow, 0};
  b.Skip(2);
  b.Seek(b.Get8());  // the header's size
  GetIndex(b);        // names
  IWindow topIndex = GetIndex(b);
  IWindow top = IndexGet(topIndex, 0);
  GetIndex(b);  // strings
  const IWindow globalSubrs = GetIndex(b);
  uint32_t charstringsAt = 0, charstringType = 2, fontDictsAt = 0, selectorAt = 0;
  DictGetInts(top, 17, 1, &charstringsAt);
  DictGetInts(top, 0x100 | 6, 1, &charstringType);
  DictGetInts(top, 0x100 | 36, 1, &fontDictsAt);
  DictGetInts(top, 0x100 | 37, 1, &selectorAt);
  const IWindow subrs = GetSubrs(b, top);
  // What the rasteriser refuses: other charstrings, none, a CID font
  // without a selector.
  if (charstringType != 2 || charstringsAt == 0 || (fontDictsAt && !selectorAt)) return false;
  IWindow fontDicts = b.Range(0, 0), selector = b.Range(0, 0);
  if (fontDictsAt) {
    b.Seek(Wrap(fontDictsAt));
    fontDicts = GetIndex(b);
    selector = b.Range(Wrap(selectorAt), b.Size - Wrap(selectorAt));
  }
  b.Seek(Wrap(charstringsAt));
  IWindow charstrings = GetIndex(b);
  if (outside || !globalSubrs.Inside() || !subrs.Inside() || !charstrings.Inside() || !fontDicts.Inside())
    return false;

  // A CID font picks each glyph's dictionary through the selector when the
  // glyph first calls a subroutine: any byte of it, or none (-1).
  if (selector.Size > 0) {
    charstrings.Seek(0);
    const int64_t drawn = charstrings.Get(2);
    const int64_t glyphs = drawn < face.MetricGlyphs ? drawn : face.MetricGlyphs;
    selector.Seek(0);
    const uint8_t format = selector.Get8();
    if (format == 0 && glyphs > 0) {
      selector.Skip(static_cast<int32_t>(glyphs - 1));
      selector.Get8();
    } else if (format == 3) {
      const uint32_t ranges = selector.Get(2);
      selector.Get(2);
      for (uint32_t i = 0; i < ranges && !outside; ++i) {
        selector.Get8();
        selector.Get(2);
      }
    }
    for (int32_t pick = -1; pick < 256 && !outside; ++pick)
      if (!GetSubrs(b, IndexGet(fontDicts, pick)).Inside()) return false;
  }
  return !outside;
}

} // namespace plugkit::canvas::truetype
