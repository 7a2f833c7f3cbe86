#include "core/IParam.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <utility>

#include "core/AsciiCase.h"
#include "core/TraceCall.h"

namespace plugkit {

namespace {

void CopyField(char (&field)[IParam::kTextSize], const char* text) {
  std::memset(field, 0, sizeof(field));
  if (!text) return;
  const void* nul = std::memchr(text, 0, sizeof(field) - 1);
  const size_t n = nul ? static_cast<size_t>(static_cast<const char*>(nul) - text) : sizeof(field) - 1;
  std::memcpy(field, text, n);
}

double NoNegativeZero(double v) { return v == 0.0 ? 0.0 : v; }

// Display precision of a step: the number of times it is multiplied by 10
// before it is a whole number (to a relative tolerance of 1e-9), at most 6.
int32_t PrecisionOfStep(double step) {
  double s = std::fabs(step);
  int32_t precision = 0;
  auto whole = [](double x) {
    const double r = std::round(x);
    if (x == 0.0) return true;
    if (r == 0.0) return false; // a positive step below 0.5 is never whole
    return std::fabs(x - r) <= 1e-9 * std::fabs(x);
  };
  while (!whole(s) && precision < 6) {
    ++precision;
    s *= 10.0;
  }
  return precision;
}

bool EqualsCaseless(const char* a, const char* b) {
  for (;; ++a, ++b) {
    const char ca = LowerAscii(*a), cb = LowerAscii(*b);
    if (ca != cb) return false;
    if (!ca) return true;
  }
}

bool IsDigit(char c);

// Decimal exponent of the first non-zero digit of a validated number text
// [start, end) (mantissa and optional exponent, no sign): 0 for 1 to 9.99...,
// 2 for 123, -3 for 0.001. Used only to tell overflow from underflow.
long DecimalMagnitude(const char* start, const char* end) {
  const char* p = start;
  long magnitude = 0;
  bool found = false;
  long intDigits = 0;
  while (p < end && IsDigit(*p)) {
    if (found || *p != '0') {
      found = true;
      ++intDigits;
    }
    ++p;
  }
  if (found) magnitude = intDigits - 1;
  if (p < end && *p == '.') {
    ++p;
    long zeros = 0;
    while (p < end && IsDigit(*p)) {
      if (!found) {
        if (*p == '0') ++zeros;
        else {
          found = true;
          magnitude = -(zeros + 1);
        }
      }
      ++p;
    }
  }
  long exponent = 0;
  if (p < end && (*p == 'e' || *p == 'E')) {
    ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = (*p++ == '-');
    while (p < end && IsDigit(*p)) {
      if (exponent < 1000000) exponent = exponent * 10 + (*p - '0');
      ++p;
    }
    if (negative) exponent = -exponent;
  }
  return found ? magnitude + exponent : -1;
}

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The leading decimal number of text: optional blanks, optional sign, digits
// with an optional fraction (at least one digit), an optional exponent with at
// least one digit. "nan", "inf" and hexadecimal forms are no number. Returns
// false when there is none. Locale-independent. A number beyond the double
// range reads as +-infinity (the caller clamps it).
bool ReadLeadingNumber(const char* text, double& out) {
  const char* p = text;
  while (IsSpace(*p)) ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = (*p++ == '-');
  const char* start = p;
  int digits = 0;
  while (IsDigit(*p)) { ++p; ++digits; }
  if (*p == '.') {
    ++p;
    while (IsDigit(*p)) { ++p; ++digits; }
  }
  if (digits == 0) return false;
  if (*p == 'e' || *p == 'E') {
    const char* q = p + 1;
    if (*q == '+' || *q == '-') ++q;
    if (IsDigit(*q)) {
      while (IsDigit(*q)) ++q;
      p = q;
    }
  }
  double v = 0.0;
  const auto result = std::from_chars(start, p, v, std::chars_format::general);
  if (result.ec == std::errc::result_out_of_range) {
    v = DecimalMagnitude(start, p) > 0 ? HUGE_VAL : 0.0;
  } else if (result.ec != std::errc() || result.ptr != p) {
    return false;
  }
  out = negative ? -v : v;
  return true;
}

} // namespace

// ---- ShapeLinear -----------------------------------------------------------

double IParam::ShapeLinear::Denormalise(double n, const IParam& param) const {
  return param.Min() + n * (param.Max() - param.Min());
}

double IParam::ShapeLinear::Normalise(double v, const IParam& param) const {
  const double range = param.Max() - param.Min();
  if (!(range != 0.0)) return 0.0;
  return (v - param.Min()) / range;
}

// ---- IParam ----------------------------------------------------------------

IParam::IParam() : mShape(new ShapeLinear()) {}

IParam::~IParam() { delete mShape; }

double IParam::RoundToStep(double value) const {
  if (!(mStep > 0.0) || !HasFlag(IParamFlag::Quantised)) return value;
  const double rounded = std::round(value / mStep) * mStep;
  return std::isfinite(rounded) ? rounded : value;
}

double IParam::Clamp(double value) const {
  if (value < mMin) value = mMin;
  if (value > mMax) value = mMax;
  return value;
}

double IParam::Constrain(double value) const { return Clamp(RoundToStep(value)); }

double IParam::ToNormalised(double value) const {
  double n = mShape->Normalise(Constrain(value), *this);
  if (!std::isfinite(n)) return 0.0;
  if (n < 0.0) n = 0.0;
  if (n > 1.0) n = 1.0;
  return n;
}

double IParam::FromNormalised(double normalised) const {
  return Constrain(mShape->Denormalise(normalised, *this));
}

void IParam::Store(double value) { mValue.exchange(value, std::memory_order_acq_rel); }

void IParam::Configure(const char* name, double defaultValue, double min, double max, double step,
                       const char* label, int32_t flags, const char* group, const Shape& shape,
                       int32_t unit, DisplayFunction display) {
  // 1. Kind.
  if (mKind == IParamKind::Unset) mKind = IParamKind::Decimal;

  // 2. Texts.
  CopyField(mName, name);
  CopyField(mLabel, label);
  CopyField(mGroup, group);

  // 3. Range, step, default, unit, flags (non-finite numbers replaced).
  if (!std::isfinite(min)) min = 0.0;
  if (!std::isfinite(max)) max = min;
  if (!std::isfinite(step)) step = 0.0;
  if (!std::isfinite(defaultValue)) defaultValue = min;
  mMin = min;
  double lowestMax = min + (step > 0.0 ? step : 0.0);
  if (!std::isfinite(lowestMax)) lowestMax = min;
  mMax = max > lowestMax ? max : lowestMax; // so max >= min
  mStep = step;
  mDefault = defaultValue;
  mUnit = unit;
  mFlags = flags;

  // 4. Display function.
  mDisplay = std::move(display);

  // 5. Value.
  Store(Constrain(mDefault));

  // 6. Precision.
  mPrecision = PrecisionOfStep(mStep);

  // 7. Shape.
  Shape* copy = shape.Duplicate();
  if (copy) {
    delete mShape;
    mShape = copy;
  }
  mShape->Bind(*this);
}

void IParam::Set(double value) {
  if (!std::isfinite(value)) return;
  const double v = Constrain(value);
  if (!std::isfinite(v)) return;
  Store(v);
}

void IParam::ApplyNormalised(double normalised) {
  if (!std::isfinite(normalised)) return;
  const double v = FromNormalised(normalised);
  if (!std::isfinite(v)) return;
  Set(v);
}

double IParam::ReadNormalised() const { return ToNormalised(Value()); }

double IParam::InitialValue(bool isNormalised) const {
  return isNormalised ? ToNormalised(mDefault) : mDefault;
}

const IValueCaption* IParam::FindCaption(double value) const {
  const int32_t count = CaptionCount();
  const IValueCaption* captions = mCaptions.As<const IValueCaption>();
  for (int32_t i = 0; i < count; ++i)
    if (captions[i].value == value) return &captions[i];
  return nullptr;
}

void IParam::FormatValue(double value, bool isNormalised, IStringBuffer& out, bool useCaptions) const {
  double v = value;
  // 1. Normalised input.
  if (isNormalised) v = FromNormalised(v);
  if (std::isnan(v)) v = mMin;
  else if (std::isinf(v)) v = v > 0 ? mMax : mMin;

  // 2. Display function.
  if (mDisplay) {
    mDisplay(v, out);
    if (out.Length() > kDisplayChars) out.SetLength(kDisplayChars);
    return;
  }

  // 3. Captions.
  if (useCaptions) {
    const IValueCaption* caption = FindCaption(v);
    if (caption && caption->text[0]) {
      out.Assign(caption->text, kTextSize - 1);
      return;
    }
  }

  // 4. Minimum as minus infinity.
  if (HasFlag(IParamFlag::MinAsMinusInf) && v == mMin) {
    out.Assign("-inf.");
    return;
  }

  // 5. Pan.
  if (mUnit == IParamUnitCode::Pan) {
    double r = std::round(v);
    if (r < -2147483647.0) r = -2147483647.0;
    if (r > 2147483647.0) r = 2147483647.0;
    const int ri = static_cast<int>(r);
    if (ri < 0) out.Print(kDisplayChars, "%d%% left", -ri);
    else if (ri == 0) out.Assign("Centred");
    else out.Print(kDisplayChars, "%d%% right", ri);
    return;
  }

  // 6. Numbers.
  double c = NoNegativeZero(HasFlag(IParamFlag::ShowNegated) ? -v : v);
  if (mPrecision == 0) {
    // "%d" of the rounded value, printed as "%.0f" so that values beyond the
    // int range stay defined; the texts agree within it.
    out.Print(kDisplayChars, "%.0f", NoNegativeZero(std::round(c)));
  } else if (HasFlag(IParamFlag::ShowSign) && c != 0.0) {
    out.Print(kDisplayChars, "%+.*f", static_cast<int>(mPrecision), c);
  } else {
    if (HasFlag(IParamFlag::SnapToPrecision) && c != 0.0) {
      const double unit = std::pow(10.0, -mPrecision);
      c = NoNegativeZero(std::round(c / unit) * unit);
    }
    out.Print(kDisplayChars, "%.*f", static_cast<int>(mPrecision), c);
  }
}

const char* IParam::ShownLabel() const {
  const IValueCaption* caption = FindCaption(std::trunc(Value()));
  if (caption && caption->text[0]) return "";
  return mLabel;
}

void IParam::FormatWithLabel(IStringBuffer& out) const {
  FormatValue(Value(), false, out, true);
  out.Append(" ");
  out.Append(ShownLabel());
}

double IParam::ParseText(const char* text) const {
  if (!text) text = "";

  // 1. Captions.
  const int32_t count = CaptionCount();
  const IValueCaption* captions = mCaptions.As<const IValueCaption>();
  for (int32_t i = 0; i < count; ++i) {
    const bool match = mKind == IParamKind::CaselessList ? EqualsCaseless(captions[i].text, text)
                                                          : std::strcmp(captions[i].text, text) == 0;
    if (match) return captions[i].value;
  }

  // 2. Switches and lists without a matching caption.
  if (mKind == IParamKind::OnOff || mKind == IParamKind::ListChoice) return 0.0;

  // 3. A number.
  double v = 0.0;
  if (!ReadLeadingNumber(text, v)) v = 0.0;
  if (HasFlag(IParamFlag::ShowNegated)) v = -v;
  v = Constrain(v);
  return std::isfinite(v) ? v : Clamp(0.0);
}

bool IParam::AddCaption(double value, const char* text) {
  const int32_t count = CaptionCount();
  const int32_t width = static_cast<int32_t>(sizeof(IValueCaption));
  if (count >= INT32_MAX / width - 1) return false;
  mCaptions.SetSize((count + 1) * width, false);
  if (mCaptions.Size() != (count + 1) * width) return false;
  IValueCaption* caption = mCaptions.As<IValueCaption>() + count;
  caption->value = value;
  CopyField(caption->text, text);
  return true;
}

int32_t IParam::CaptionCount() const {
  return mCaptions.Size() / static_cast<int32_t>(sizeof(IValueCaption));
}

const IValueCaption* IParam::GetCaption(int32_t index) const {
  if (index < 0 || index >= CaptionCount()) return nullptr;
  return mCaptions.As<const IValueCaption>() + index;
}

} // namespace plugkit
