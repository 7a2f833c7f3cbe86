#pragma once
// IParam: one plug-in parameter: kind, range, step, default,
// display rules and its current value, with conversions between real values
// (in the parameter's range) and normalised values (0 to 1), display texts and
// parsing.
//
// Threads: the value is the only field shared between threads. Every store is
// one atomic exchange of the 64-bit value; reads are plain atomic loads.
// Everything else is set while the plug-in is constructed and is read-only
// afterwards.
//
// Soundness rules: NaN and infinities never become a value
// (Set and ApplyNormalised ignore them and keep the current value; ParseText
// reads "nan", "inf" and the like as no number); a step <= 0 means no
// rounding; max == min normalises to 0; the display precision derived from the
// step compares with a small relative tolerance (0.07 gives 2 digits).

#include <atomic>
#include <cstdint>
#include <functional>

#include "core/IChangeSource.h"
#include "core/IHeapBlock.h"
#include "core/IStringBuffer.h"

namespace plugkit {

enum class IParamKind : int32_t {
  Unset = 0,
  OnOff = 1,
  Integer = 2,
  ListChoice = 3,
  Decimal = 4,
  // Produced by no initialiser of this system; IPluginBase::DefinePreset reads
  // its preset argument as an integer and ParseText compares its captions
  // without regard to case.
  CaselessList = 5,
};

// Unit codes (int32). Only Pan changes the display text; every other code is
// carried without effect, so any int32 may be stored.
struct IParamUnitCode {
  enum : int32_t {
    Percentage = 0,
    Pan = 6,
    Custom = 21, // a fresh parameter's unit
  };
};

// Flag bits (int32), combined with |.
struct IParamFlag {
  enum : int32_t {
    HostLocked = 0x01,      // not automatable by the host
    Quantised = 0x02,       // values are rounded to a multiple of step
    ShowNegated = 0x04,     // displayed and parsed with the sign inverted
    ShowSign = 0x08,        // a "+" before positive values
    MinAsMinusInf = 0x10,   // the minimum is shown as "-inf."
    SnapToPrecision = 0x20, // the shown value is rounded to the displayed precision
  };
};

// A display text for one particular value.
struct IValueCaption {
  double value = 0.0;
  char text[32] = {};
};

class IParam {
public:
  static constexpr int32_t kTextSize = 32;    // name, label, group and caption fields
  static constexpr int32_t kDisplayChars = 32; // display texts are cut at 32 characters

  // The mapping between real and normalised values. Virtual slot order:
  // destructor, Duplicate, Bind, CurveKind, Denormalise, Normalise.
  class Shape {
  public:
    virtual ~Shape() = default;
    virtual Shape* Duplicate() const = 0;              // a new copy, owned by the caller
    virtual void Bind(IParam& /*param*/) {}            // called once installed in a parameter
    virtual int32_t CurveKind() const = 0;
    virtual double Denormalise(double n, const IParam& param) const = 0;
    virtual double Normalise(double v, const IParam& param) const = 0;
  };

  // min + n * (max - min) and (v - min) / (max - min); max == min gives 0.
  class ShapeLinear : public Shape {
  public:
    Shape* Duplicate() const override { return new ShapeLinear(*this); }
    void Bind(IParam& /*param*/) override {}
    int32_t CurveKind() const override { return 0; }
    double Denormalise(double n, const IParam& param) const override;
    double Normalise(double v, const IParam& param) const override;
  };

  // Produces the display text of a real value into the output text.
  using DisplayFunction = std::function<void(double value, IStringBuffer& out)>;

  // A fresh parameter: kind Unset, unit 21, value 0, min 0, max 1, step 1,
  // default 0, precision 0, flags 0, empty name, label and group, a linear
  // shape, no display function, no captions.
  IParam();
  ~IParam();
  IParam(const IParam&) = delete;
  IParam& operator=(const IParam&) = delete;

  // The common initialiser. Sets the kind to
  // Decimal when still Unset; texts are cut to 31 characters (null reads "");
  // max := max(max, min + step) (a step <= 0 adds nothing, so max >= min);
  // the value becomes the constrained default; the precision is derived from
  // the step; the shape is duplicated (the caller keeps its own) and bound.
  // Non-finite numbers are replaced: min by 0, max by min, step by 0 (no
  // rounding), default by min.
  void Configure(const char* name, double defaultValue, double min, double max, double step,
                 const char* label = "", int32_t flags = 0, const char* group = "",
                 const Shape& shape = ShapeLinear(), int32_t unit = IParamUnitCode::Custom,
                 DisplayFunction display = nullptr);

  // Kind-specific initialisers set the kind first (only while it is Unset).
  void SetKind(IParamKind kind) { mKind = kind; }

  // Value: round when Quantised, clamp, store atomically. A non-finite value is
  // ignored (the current value stays).
  void Set(double value);
  // v := the shape's Denormalise of n, round when Quantised, clamp, then Set.
  // A non-finite n or result is ignored.
  void ApplyNormalised(double normalised);
  // The value, constrained, normalised and clamped to [0, 1].
  double ReadNormalised() const;
  // The default; normalised: constrained, normalised and clamped to [0, 1].
  double InitialValue(bool isNormalised) const;
  // The current value (an atomic load).
  double Value() const { return mValue.load(std::memory_order_acquire); }

  // Conversion helpers that change nothing:
  // round when Quantised (step > 0), then clamp to [min, max].
  double Constrain(double value) const;
  // Constrain, the shape's Normalise, clamp to [0, 1] (non-finite gives 0).
  double ToNormalised(double value) const;
  // The shape's Denormalise, then Constrain.
  double FromNormalised(double normalised) const;

  // The display text of value (real, or normalised when isNormalised) into
  // out, at most 32 characters, by the display rules below. A non-finite value
  // is shown as the nearer range end (NaN as the minimum).
  void FormatValue(double value, bool isNormalised, IStringBuffer& out, bool useCaptions = true) const;
  // The label, or "" when the current value (truncated to an integer) has a
  // caption with a non-empty text. Never null.
  const char* ShownLabel() const;
  // FormatValue of the current value (real, captions used), " ", ShownLabel.
  void FormatWithLabel(IStringBuffer& out) const;
  // The value that text stands for: a caption's value (exact match; without
  // regard to case for kind 5), else 0 for OnOff and ListChoice, else the
  // leading decimal number of the text (0 when none; "nan", "inf", hex and
  // the like are no number), negated when ShowNegated, constrained. The
  // parameter is not changed.
  double ParseText(const char* text) const;

  // Captions (no part of this system adds any). Returns false when the list
  // could not grow. The text is cut to 31 characters.
  bool AddCaption(double value, const char* text);
  int32_t CaptionCount() const;
  const IValueCaption* GetCaption(int32_t index) const; // null when out of range

  IParamKind Kind() const { return mKind; }
  int32_t Unit() const { return mUnit; }
  double Min() const { return mMin; }
  double Max() const { return mMax; }
  double Step() const { return mStep; }
  double Default() const { return mDefault; }
  int32_t Precision() const { return mPrecision; }
  int32_t Flags() const { return mFlags; }
  bool HasFlag(int32_t flag) const { return (mFlags & flag) != 0; }
  const char* Name() const { return mName; }
  const char* Label() const { return mLabel; }
  const char* Group() const { return mGroup; }
  const Shape& GetShape() const { return *mShape; }
  bool HasDisplayFunction() const { return static_cast<bool>(mDisplay); }

private:
  void Store(double value);
  double RoundToStep(double value) const;
  double Clamp(double value) const;
  const IValueCaption* FindCaption(double value) const;

  IParamKind mKind = IParamKind::Unset;
  int32_t mUnit = IParamUnitCode::Custom;
  std::atomic<double> mValue{0.0};
  double mMin = 0.0;
  double mMax = 1.0;
  double mStep = 1.0;
  double mDefault = 0.0;
  int32_t mPrecision = 0;
  int32_t mFlags = 0;
  char mName[kTextSize] = {};
  char mLabel[kTextSize] = {};
  char mGroup[kTextSize] = {};
  Shape* mShape; // owned
  DisplayFunction mDisplay;
  IHeapBlock mCaptions{static_cast<int32_t>(8 * sizeof(IValueCaption))};
};

} // namespace plugkit
