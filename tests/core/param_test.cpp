// IParam, its shapes, captions and texts; IChangeSource.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <thread>

#include "core/IChangeSource.h"
#include "core/IParam.h"
#include "core/IStringBuffer.h"

using namespace plugkit;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

std::string Shown(const IParam& p, double v, bool normalised = false, bool captions = true) {
  IStringBuffer out;
  p.FormatValue(v, normalised, out, captions);
  return out.Get();
}

std::string WithLabel(const IParam& p) {
  IStringBuffer out;
  p.FormatWithLabel(out);
  return out.Get();
}

// A shape that counts its calls, to see that Configure duplicates and binds.
struct CountingShape : IParam::ShapeLinear {
  static int duplicates;
  static int binds;
  static int destroyed;
  ~CountingShape() override { ++destroyed; }
  Shape* Duplicate() const override { ++duplicates; return new CountingShape(*this); }
  void Bind(IParam&) override { ++binds; }
  int32_t CurveKind() const override { return 7; }
};
int CountingShape::duplicates = 0;
int CountingShape::binds = 0;
int CountingShape::destroyed = 0;

} // namespace

// ---- Fresh parameter and Configure ------------------------------------------------

TEST(Param, FreshParameter) {
  IParam p;
  EXPECT_EQ(p.Kind(), IParamKind::Unset);
  EXPECT_EQ(p.Unit(), 21);
  EXPECT_EQ(p.Value(), 0.0);
  EXPECT_EQ(p.Min(), 0.0);
  EXPECT_EQ(p.Max(), 1.0);
  EXPECT_EQ(p.Step(), 1.0);
  EXPECT_EQ(p.Default(), 0.0);
  EXPECT_EQ(p.Precision(), 0);
  EXPECT_EQ(p.Flags(), 0);
  EXPECT_STREQ(p.Name(), "");
  EXPECT_STREQ(p.Label(), "");
  EXPECT_STREQ(p.Group(), "");
  EXPECT_EQ(p.GetShape().CurveKind(), 0);
  EXPECT_FALSE(p.HasDisplayFunction());
  EXPECT_EQ(p.CaptionCount(), 0);
}

TEST(Param, ConfigureSetsFields) {
  IParam p;
  p.Configure("Mix", 100, 0, 100, 1, "%", 0, "", IParam::ShapeLinear(), IParamUnitCode::Percentage);
  EXPECT_EQ(p.Kind(), IParamKind::Decimal); // still unset, so Decimal
  EXPECT_STREQ(p.Name(), "Mix");
  EXPECT_STREQ(p.Label(), "%");
  EXPECT_EQ(p.Unit(), 0);
  EXPECT_EQ(p.Value(), 100.0);
  EXPECT_EQ(p.Default(), 100.0);
  EXPECT_EQ(p.Max(), 100.0);

  IParam q;
  q.SetKind(IParamKind::Integer);
  q.Configure("Coarse", 0, -12, 12, 1, "Semi", IParamFlag::Quantised);
  EXPECT_EQ(q.Kind(), IParamKind::Integer);
  EXPECT_EQ(q.Unit(), IParamUnitCode::Custom);
  EXPECT_TRUE(q.HasFlag(IParamFlag::Quantised));
  EXPECT_FALSE(q.HasFlag(IParamFlag::HostLocked));
}

TEST(Param, ConfigureCutsTextsAt31Characters) {
  IParam p;
  const std::string longName(40, 'n');
  p.Configure(longName.c_str(), 0, 0, 1, 1, nullptr, 0, "Group");
  EXPECT_EQ(std::string(p.Name()), std::string(31, 'n'));
  EXPECT_STREQ(p.Label(), "");
  EXPECT_STREQ(p.Group(), "Group");
}

TEST(Param, ConfigureRaisesMaxToMinPlusStep) {
  IParam p;
  p.Configure("x", 0, 0, 0.5, 1);
  EXPECT_EQ(p.Max(), 1.0);
}

TEST(Param, ConfigureDefaultIsQuantisedAndClamped) {
  IParam p;
  p.Configure("x", 0.74, 0, 10, 0.5, "", IParamFlag::Quantised);
  EXPECT_EQ(p.Value(), 0.5);
  IParam q;
  q.Configure("x", 50, 0, 10, 1);
  EXPECT_EQ(q.Value(), 10.0);
  EXPECT_EQ(q.Default(), 50.0); // the default itself is stored as given
}

TEST(Param, PrecisionFromStep) {
  const struct { double step; int32_t precision; } cases[] = {
    {1, 0}, {0.5, 1}, {0.25, 2}, {0.01, 2}, {1e-9, 6}, {0.1, 1}, {0.001, 3},
    {0.07, 2}, {0.3, 1}, {0.05, 2}, {2.5, 1}, {100, 0}, {0.123456789, 6}, {0, 0},
  };
  for (const auto& c : cases) {
    IParam p;
    p.Configure("x", 0, 0, 1000, c.step);
    EXPECT_EQ(p.Precision(), c.precision) << "step " << c.step;
  }
}

TEST(Param, ConfigureDuplicatesAndBindsTheShape) {
  CountingShape::duplicates = CountingShape::binds = CountingShape::destroyed = 0;
  {
    CountingShape mine;
    IParam p;
    p.Configure("x", 0, 0, 1, 0.1, "", 0, "", mine);
    EXPECT_EQ(CountingShape::duplicates, 1);
    EXPECT_EQ(CountingShape::binds, 1);
    EXPECT_EQ(p.GetShape().CurveKind(), 7);
    EXPECT_NE(&p.GetShape(), &mine);
    p.Configure("x", 0, 0, 1, 0.1, "", 0, "", mine); // replaces (destroys) the previous copy
    EXPECT_EQ(CountingShape::destroyed, 1);
  }
  EXPECT_EQ(CountingShape::destroyed, 3); // the parameter's copy and the caller's own
}

TEST(Param, ConfigureReplacesNonFiniteNumbers) {
  IParam p;
  p.Configure("x", kNaN, kNaN, kInf, kNaN);
  EXPECT_EQ(p.Min(), 0.0);
  EXPECT_EQ(p.Max(), 0.0);
  EXPECT_EQ(p.Step(), 0.0);
  EXPECT_EQ(p.Value(), 0.0);
  EXPECT_TRUE(std::isfinite(p.ReadNormalised()));
}

// ---- Set, normalised values ------------------------------------------------------

TEST(Param, SetRoundsWhenQuantisedAndClamps) {
  IParam p;
  p.Configure("x", 0, 0, 10, 0.5, "", IParamFlag::Quantised);
  p.Set(0.74);
  EXPECT_EQ(p.Value(), 0.5);
  p.Set(0.75);
  EXPECT_EQ(p.Value(), 1.0);
  p.Set(-3);
  EXPECT_EQ(p.Value(), 0.0);
  p.Set(12);
  EXPECT_EQ(p.Value(), 10.0);

  IParam q;
  q.Configure("x", 0, 0, 10, 0.5); // not Quantised: no rounding
  q.Set(0.74);
  EXPECT_EQ(q.Value(), 0.74);
}

TEST(Param, RoundingIsHalfAwayFromZero) {
  IParam p;
  p.Configure("x", 0, -10, 10, 1, "", IParamFlag::Quantised);
  p.Set(2.5);
  EXPECT_EQ(p.Value(), 3.0);
  p.Set(-2.5);
  EXPECT_EQ(p.Value(), -3.0);
}

TEST(Param, NonFiniteValuesAreIgnored) {
  IParam p;
  p.Configure("x", 3, -10, 10, 0.1);
  p.Set(kNaN);
  EXPECT_EQ(p.Value(), 3.0);
  p.Set(kInf);
  EXPECT_EQ(p.Value(), 3.0);
  p.Set(-kInf);
  EXPECT_EQ(p.Value(), 3.0);
  p.ApplyNormalised(kNaN);
  EXPECT_EQ(p.Value(), 3.0);
  p.ApplyNormalised(kInf);
  EXPECT_EQ(p.Value(), 3.0);
  p.ApplyNormalised(-kInf);
  EXPECT_EQ(p.Value(), 3.0);
}

TEST(Param, NonPositiveStepMeansNoRounding) {
  IParam p;
  p.Configure("x", 0, 0, 10, 0, "", IParamFlag::Quantised);
  p.Set(1.234);
  EXPECT_EQ(p.Value(), 1.234);
  EXPECT_EQ(p.Max(), 10.0);
  IParam q;
  q.Configure("x", 0, 0, 10, -1, "", IParamFlag::Quantised);
  q.Set(1.234);
  EXPECT_EQ(q.Value(), 1.234);
  EXPECT_EQ(q.Max(), 10.0);
  EXPECT_EQ(q.ReadNormalised(), 0.1234);
}

TEST(Param, EmptyRangeNormalisesToZero) {
  IParam p;
  p.Configure("x", 5, 5, 5, 0);
  ASSERT_EQ(p.Min(), p.Max());
  EXPECT_EQ(p.Value(), 5.0);
  EXPECT_EQ(p.ReadNormalised(), 0.0);
  EXPECT_EQ(p.InitialValue(true), 0.0);
  EXPECT_EQ(p.GetShape().Normalise(5, p), 0.0);
  p.ApplyNormalised(0.7);
  EXPECT_EQ(p.Value(), 5.0);
  EXPECT_EQ(Shown(p, 0.3, true), "5");
}

TEST(Param, ReadNormalised) {
  IParam p;
  p.Configure("x", 0, -12, 12, 1, "", IParamFlag::Quantised);
  p.Set(-12);
  EXPECT_EQ(p.ReadNormalised(), 0.0);
  p.Set(12);
  EXPECT_EQ(p.ReadNormalised(), 1.0);
  p.Set(0);
  EXPECT_EQ(p.ReadNormalised(), 0.5);
}

TEST(Param, ApplyNormalised) {
  IParam p;
  p.Configure("x", 5, -12, 12, 1, "", IParamFlag::Quantised);
  p.ApplyNormalised(0.5);
  EXPECT_EQ(p.Value(), 0.0);
  p.ApplyNormalised(0.52); // -12 + 12.48 = 0.48, rounds to 0
  EXPECT_EQ(p.Value(), 0.0);
  p.ApplyNormalised(0.53); // 0.72 rounds to 1
  EXPECT_EQ(p.Value(), 1.0);
  p.ApplyNormalised(1.7); // beyond 1: clamped to max
  EXPECT_EQ(p.Value(), 12.0);
  p.ApplyNormalised(-0.5);
  EXPECT_EQ(p.Value(), -12.0);

  IParam mix;
  mix.Configure("Mix", 100, 0, 100, 1, "%", 0, "", IParam::ShapeLinear(), 0);
  mix.ApplyNormalised(0.5);
  EXPECT_EQ(mix.Value(), 50.0);
  EXPECT_EQ(mix.ReadNormalised(), 0.5);
  mix.ApplyNormalised(0.123);
  EXPECT_DOUBLE_EQ(mix.Value(), 12.3);
}

TEST(Param, InitialValue) {
  IParam p;
  p.Configure("x", 0.74, 0, 10, 0.5, "", IParamFlag::Quantised);
  EXPECT_EQ(p.InitialValue(false), 0.74);
  EXPECT_EQ(p.InitialValue(true), 0.05); // 0.5 of 10
  IParam q;
  q.Configure("x", 100, 0, 100, 1);
  EXPECT_EQ(q.InitialValue(true), 1.0);
}

TEST(Param, ConversionHelpers) {
  IParam p;
  p.Configure("x", 0, -100, 100, 1, "", IParamFlag::Quantised);
  EXPECT_EQ(p.Constrain(3.4), 3.0);
  EXPECT_EQ(p.Constrain(300), 100.0);
  EXPECT_EQ(p.ToNormalised(0), 0.5);
  EXPECT_EQ(p.ToNormalised(-500), 0.0);
  EXPECT_EQ(p.FromNormalised(0.251), -50.0);
  EXPECT_EQ(p.Value(), 0.0); // unchanged
}

// A store made in two 32-bit halves (as a 32-bit build would make it without
// its compare-and-exchange loop) shows as a value that is neither of the two
// written, but only when both halves of the two values differ: values such as
// 123.0 and 1000.0, whose low halves are both zero, hide it.
TEST(Param, StoresAtomicallyAcrossThreads) {
  constexpr double kFirst = 123.456789, kSecond = 987.654321;
  uint64_t first = 0, second = 0;
  std::memcpy(&first, &kFirst, sizeof first);
  std::memcpy(&second, &kSecond, sizeof second);
  ASSERT_NE(first >> 32, second >> 32);
  ASSERT_NE(first & 0xFFFFFFFFu, second & 0xFFFFFFFFu);

  IParam p;
  p.Configure("x", kFirst, 0, 1000, 1);
  constexpr int kReads = 2000000;
  std::atomic<int> reads{0};
  int torn = 0;
  std::thread reader([&] {
    for (int i = 0; i < kReads; ++i) {
      const double v = p.Value();
      if (v != kFirst && v != kSecond) ++torn;
      reads.store(i + 1, std::memory_order_relaxed);
    }
  });
  // The writer keeps changing the value for as long as the reader reads.
  for (int i = 0; reads.load(std::memory_order_relaxed) < kReads; ++i) p.Set(i % 2 ? kSecond : kFirst);
  reader.join();
  EXPECT_EQ(torn, 0);
}

// ---- FormatValue ---------------------------------------------------------------------

TEST(Param, FormatPrecisionZeroRoundsHalfAwayFromZero) {
  IParam p;
  p.Configure("x", 0, -10, 10, 1);
  EXPECT_EQ(Shown(p, 2.5), "3");
  EXPECT_EQ(Shown(p, -2.5), "-3");
  EXPECT_EQ(Shown(p, -0.4), "0"); // no negative zero
  EXPECT_EQ(Shown(p, 7), "7");
  EXPECT_EQ(Shown(p, 1e12), "1000000000000"); // beyond int: still defined
}

TEST(Param, FormatWithDecimals) {
  IParam p;
  p.Configure("x", 0, -10, 10, 0.01);
  EXPECT_EQ(Shown(p, 1.5), "1.50");
  EXPECT_EQ(Shown(p, -0.0), "0.00");
  EXPECT_EQ(Shown(p, 0.5, true), "0.00");
  EXPECT_EQ(Shown(p, 0.75, true), "5.00");
}

TEST(Param, FormatShowSign) {
  IParam p;
  p.Configure("x", 0, -10, 10, 0.1, "", IParamFlag::ShowSign);
  EXPECT_EQ(Shown(p, 2.5), "+2.5");
  EXPECT_EQ(Shown(p, -2.5), "-2.5");
  EXPECT_EQ(Shown(p, 0), "0.0");
  IParam q;
  q.Configure("x", 0, -10, 10, 1, "", IParamFlag::ShowSign); // precision 0: no sign flag
  EXPECT_EQ(Shown(q, 3), "3");
}

TEST(Param, FormatShowNegated) {
  IParam p;
  p.Configure("x", 0, -10, 10, 1, "", IParamFlag::ShowNegated);
  EXPECT_EQ(Shown(p, 3), "-3");
  EXPECT_EQ(Shown(p, -3), "3");
  EXPECT_EQ(Shown(p, 0), "0");
  EXPECT_EQ(p.ParseText("-3"), 3.0);
}

TEST(Param, FormatMinAsMinusInf) {
  IParam p;
  p.Configure("Gain", -60, -60, 12, 1, "dB", IParamFlag::MinAsMinusInf);
  EXPECT_EQ(Shown(p, -60), "-inf.");
  EXPECT_EQ(Shown(p, -59), "-59");
  EXPECT_EQ(Shown(p, 0.0, true), "-inf.");
}

TEST(Param, FormatPan) {
  IParam p;
  p.Configure("Pan", 0, -100, 100, 1, "", 0, "", IParam::ShapeLinear(), IParamUnitCode::Pan);
  EXPECT_EQ(Shown(p, -30), "30% left");
  EXPECT_EQ(Shown(p, 0.4), "Centred");
  EXPECT_EQ(Shown(p, -0.4), "Centred");
  EXPECT_EQ(Shown(p, 25), "25% right");
  EXPECT_EQ(Shown(p, 1e300), "2147483647% right"); // no undefined conversion
}

TEST(Param, FormatSnapToPrecision) {
  IParam p;
  p.Configure("x", 0, -10, 10, 0.1, "", IParamFlag::SnapToPrecision);
  EXPECT_EQ(Shown(p, 0.25), "0.3"); // snapped half away from zero (printf alone gives 0.2)
  EXPECT_EQ(Shown(p, -0.04), "0.0");
  EXPECT_EQ(Shown(p, 1.26), "1.3");
}

TEST(Param, FormatCutsAt32Characters) {
  IParam p;
  p.Configure("x", 0, 0, 1e300, 0.1);
  const std::string text = Shown(p, std::ldexp(1.0, 200)); // 1606938044258990275541962092341162602522202993782792835301376
  EXPECT_EQ(text, "16069380442589902755419620923411");
}

TEST(Param, FormatNonFiniteShowsRangeEnds) {
  IParam p;
  p.Configure("x", 0, -5, 5, 1);
  EXPECT_EQ(Shown(p, kNaN), "-5");
  EXPECT_EQ(Shown(p, kInf), "5");
  EXPECT_EQ(Shown(p, -kInf), "-5");
  EXPECT_EQ(Shown(p, kNaN, true), "-5");
}

TEST(Param, FormatWithDisplayFunction) {
  IParam p;
  double seen = 0;
  p.Configure("x", 0, 0, 10, 1, "Hz", IParamFlag::Quantised, "", IParam::ShapeLinear(),
              IParamUnitCode::Custom, [&seen](double v, IStringBuffer& out) {
                seen = v;
                out.Print(64, "custom %g and a text that runs on well past thirty-two", v);
              });
  EXPECT_TRUE(p.HasDisplayFunction());
  p.AddCaption(4, "Four");
  const std::string text = Shown(p, 0.43, true);
  EXPECT_EQ(seen, 4.0); // denormalised, rounded, clamped; captions not used
  EXPECT_EQ(text.size(), 32u);
  EXPECT_EQ(text.substr(0, 8), "custom 4");
}

TEST(Param, FormatCaptions) {
  IParam p;
  p.SetKind(IParamKind::ListChoice);
  p.Configure("Mode", 0, 0, 3, 1, "mode", IParamFlag::Quantised);
  ASSERT_TRUE(p.AddCaption(0, "Off"));
  ASSERT_TRUE(p.AddCaption(1, ""));   // empty text: skipped
  ASSERT_TRUE(p.AddCaption(1, "One")); // not reached: only the first match counts
  ASSERT_TRUE(p.AddCaption(2, "Two"));
  EXPECT_EQ(p.CaptionCount(), 4);
  EXPECT_STREQ(p.GetCaption(3)->text, "Two");
  EXPECT_EQ(p.GetCaption(4), nullptr);
  EXPECT_EQ(Shown(p, 0), "Off");
  EXPECT_EQ(Shown(p, 1), "1");
  EXPECT_EQ(Shown(p, 2), "Two");
  EXPECT_EQ(Shown(p, 2, false, false), "2");
  EXPECT_EQ(Shown(p, 3), "3");
}

// ---- ShownLabel and FormatWithLabel -----------------------------------------------------

TEST(Param, ShownLabel) {
  IParam p;
  p.Configure("Mode", 0, 0, 3, 0.5, "units");
  p.AddCaption(0, "Off");
  p.AddCaption(1, "");
  EXPECT_STREQ(p.ShownLabel(), ""); // value 0 has the caption "Off"
  p.Set(0.5);                       // truncated to 0
  EXPECT_STREQ(p.ShownLabel(), "");
  p.Set(1);
  EXPECT_STREQ(p.ShownLabel(), "units"); // empty caption text is skipped
  p.Set(2);
  EXPECT_STREQ(p.ShownLabel(), "units");
}

TEST(Param, FormatWithLabel) {
  IParam p;
  p.SetKind(IParamKind::Integer);
  p.Configure("Coarse", 0, -12, 12, 1, "Semi", IParamFlag::Quantised);
  p.Set(-3);
  EXPECT_EQ(WithLabel(p), "-3 Semi");
  IParam q;
  q.Configure("x", 0, 0, 1, 1);
  EXPECT_EQ(WithLabel(q), "0 "); // the blank stays when the label is empty
  IParam r;
  r.Configure("Mode", 1, 0, 3, 1, "mode");
  r.AddCaption(1, "On");
  EXPECT_EQ(WithLabel(r), "On ");
}

// ---- ParseText --------------------------------------------------------------------------

TEST(Param, ParseNumbers) {
  IParam p;
  p.Configure("x", 0, -12, 12, 0.01);
  EXPECT_EQ(p.ParseText("3.25"), 3.25);
  EXPECT_EQ(p.ParseText("  -4.5 Semi"), -4.5);
  EXPECT_EQ(p.ParseText("+2"), 2.0);
  EXPECT_EQ(p.ParseText(".5"), 0.5);
  EXPECT_EQ(p.ParseText("5."), 5.0);
  EXPECT_EQ(p.ParseText("1e1"), 10.0);
  EXPECT_EQ(p.ParseText("1e"), 1.0);
  EXPECT_EQ(p.ParseText("2x"), 2.0);
  EXPECT_EQ(p.ParseText("99"), 12.0);
  EXPECT_EQ(p.ParseText("-99"), -12.0);
  EXPECT_EQ(p.ParseText("1e999"), 12.0);
  EXPECT_EQ(p.ParseText("-1e999"), -12.0);
  EXPECT_EQ(p.ParseText("1e-999"), 0.0);
  EXPECT_EQ(p.ParseText("0.0000000000000000000000000000001e-400"), 0.0);
  EXPECT_EQ(p.ParseText("abc"), 0.0);
  EXPECT_EQ(p.ParseText(""), 0.0);
  EXPECT_EQ(p.ParseText(nullptr), 0.0);
  EXPECT_EQ(p.ParseText("-"), 0.0);
  EXPECT_EQ(p.Value(), 0.0); // the parameter is not changed
}

TEST(Param, ParseNonFiniteTextsAreNoNumber) {
  IParam p;
  p.Configure("x", 0, -12, 12, 0.01);
  for (const char* text : {"nan", "NaN", "-nan", "inf", "-inf", "Infinity", "+INF", "nan(1)", "0x1p3"}) {
    const double v = p.ParseText(text);
    EXPECT_TRUE(std::isfinite(v)) << text;
    EXPECT_EQ(v, 0.0) << text;
  }
  IParam q; // 0 clamps into a range that excludes it
  q.Configure("x", 5, 1, 10, 1);
  EXPECT_EQ(q.ParseText("inf"), 1.0);
}

TEST(Param, ParseQuantisedAndNegated) {
  IParam p;
  p.Configure("x", 0, -12, 12, 0.5, "", IParamFlag::Quantised | IParamFlag::ShowNegated);
  EXPECT_EQ(p.ParseText("3.3"), -3.5);
  EXPECT_EQ(p.ParseText("-3.2"), 3.0);
}

TEST(Param, ParseWithoutNumber) {
  IParam onOff;
  onOff.SetKind(IParamKind::OnOff);
  onOff.Configure("Bypass", 0, 0, 1, 1);
  EXPECT_EQ(onOff.ParseText("yes"), 0.0);
  EXPECT_EQ(onOff.ParseText("1"), 0.0); // OnOff without a caption match is always 0

  IParam dec;
  dec.Configure("x", 0, -12, 12, 1);
  EXPECT_EQ(dec.ParseText("none"), 0.0);
  EXPECT_EQ(dec.ParseText("99"), 12.0);
}

TEST(Param, ParseCaptions) {
  IParam list;
  list.SetKind(IParamKind::ListChoice);
  list.Configure("Mode", 0, 0, 3, 1);
  list.AddCaption(2.0, "Two");
  list.AddCaption(1.7, "Odd"); // returned unchanged, even off-step
  EXPECT_EQ(list.ParseText("Two"), 2.0);
  EXPECT_EQ(list.ParseText("Odd"), 1.7);
  EXPECT_EQ(list.ParseText("two"), 0.0); // exact comparison
  EXPECT_EQ(list.ParseText("2"), 0.0);   // lists read no numbers

  IParam caseless;
  caseless.SetKind(IParamKind::CaselessList);
  caseless.Configure("Mode", 0, 0, 3, 1);
  caseless.AddCaption(3.0, "Three");
  EXPECT_EQ(caseless.ParseText("tHREE"), 3.0);
  EXPECT_EQ(caseless.ParseText("2"), 2.0);
}

// ---- IChangeSource ----------------------------------------------------------------------

TEST(ChangeSource, Texts) {
  EXPECT_STREQ(ChangeSourceText(IChangeSource::Reset), "Reset");
  EXPECT_STREQ(ChangeSourceText(IChangeSource::Host), "Host");
  EXPECT_STREQ(ChangeSourceText(IChangeSource::Preset), "Preset");
  EXPECT_STREQ(ChangeSourceText(IChangeSource::UI), "UI");
  EXPECT_STREQ(ChangeSourceText(IChangeSource::EditorDelegate), "Editor Delegate");
  EXPECT_STREQ(ChangeSourceText(IChangeSource::Recompile), "Recompile");
  EXPECT_STREQ(ChangeSourceText(IChangeSource::Unknown), "Unknown");
  EXPECT_STREQ(ChangeSourceText(static_cast<IChangeSource>(42)), "Unknown");
  EXPECT_STREQ(ChangeSourceText(static_cast<IChangeSource>(-1)), "Unknown");
  EXPECT_EQ(static_cast<int32_t>(IChangeSource::Unknown), 6);
}
