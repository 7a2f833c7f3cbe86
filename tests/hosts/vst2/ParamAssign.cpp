#include "tests/hosts/vst2/ParamAssign.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>

namespace vst2host {
namespace {

constexpr int kBisectionSteps = 40;
constexpr int kTextSamples = 1024;

bool ParseNumber(const std::string& text, double& number, bool whole) {
  const char* begin = text.c_str();
  while (std::isspace(static_cast<unsigned char>(*begin))) ++begin;
  char* end = nullptr;
  double value = std::strtod(begin, &end);
  if (end == begin || std::isnan(value)) return false;
  if (whole) {
    while (std::isspace(static_cast<unsigned char>(*end))) ++end;
    if (*end != '\0') return false;
  }
  number = value;
  return true;
}

std::string Trimmed(const std::string& text) {
  size_t begin = text.find_first_not_of(" \t");
  if (begin == std::string::npos) return std::string();
  size_t end = text.find_last_not_of(" \t");
  return text.substr(begin, end - begin + 1);
}

bool SameText(const std::string& a, const std::string& b) {
  std::string x = Trimmed(a), y = Trimmed(b);
  return x.size() == y.size() && std::equal(x.begin(), x.end(), y.begin(), [](char p, char q) {
           return std::tolower(static_cast<unsigned char>(p)) == std::tolower(static_cast<unsigned char>(q));
         });
}

// The display of one normalised value, as a number oriented so that it
// rises with the normalised value.
class DisplayProbe {
 public:
  DisplayProbe(PluginInstance& plugin, int32_t index) : mPlugin(plugin), mIndex(index) {}

  bool At(double normalised, double& number) {
    mPlugin.SetParameter(mIndex, static_cast<float>(normalised));
    mText = mPlugin.ParamDisplay(mIndex);
    if (!ParseNumber(mText, number, false)) return false;
    number *= mSign;
    return true;
  }
  void SetFalling() { mSign = -1.0; }
  const std::string& Text() const { return mText; }

 private:
  PluginInstance& mPlugin;
  int32_t mIndex;
  double mSign = 1.0;
  std::string mText;
};

bool Fail(std::string* error, const std::string& reason) {
  if (error) *error = reason;
  return false;
}

// Smallest normalised x (to the bisection's resolution) at which pred holds,
// given that it holds at 1; `below` gets the last x at which it did not.
template <typename Pred>
double LowestWhere(Pred pred, double& below) {
  double lo = 0.0, hi = 1.0;
  for (int step = 0; step < kBisectionSteps; ++step) {
    double mid = 0.5 * (lo + hi);
    if (static_cast<float>(mid) == static_cast<float>(lo) || static_cast<float>(mid) == static_cast<float>(hi))
      break;
    if (pred(mid))
      hi = mid;
    else
      lo = mid;
  }
  below = lo;
  return hi;
}

bool SetByNumber(PluginInstance& plugin, int32_t index, double target, std::string* error) {
  DisplayProbe probe(plugin, index);
  double first, last;
  if (!probe.At(0.0, first) || !probe.At(1.0, last))
    return Fail(error, "the display \"" + probe.Text() + "\" is not a number");
  if (last < first) {
    probe.SetFalling();
    first = -first;
    last = -last;
    target = -target;
  }
  double tolerance = 1e-9 * std::max(1.0, std::fabs(target));
  if (target < first - tolerance || target > last + tolerance)
    return Fail(error, "out of the displayed range");

  double shown = 0.0;
  bool probeFailed = false;
  auto atOrAbove = [&](double x) {
    if (!probe.At(x, shown)) probeFailed = true;
    return shown >= target - tolerance;
  };
  auto above = [&](double x) {
    if (!probe.At(x, shown)) probeFailed = true;
    return shown > target + tolerance;
  };

  double chosen;
  if (std::fabs(first - target) <= tolerance) {
    chosen = 0.0;
  } else if (std::fabs(last - target) <= tolerance) {
    chosen = 1.0;
  } else {
    double below;
    double lower = LowestWhere(atOrAbove, below);
    double upper = 1.0, ignored;
    if (above(1.0)) upper = LowestWhere(above, ignored);
    if (probeFailed) return Fail(error, "the display \"" + probe.Text() + "\" is not a number");
    double atLower = 0.0, atBelow = 0.0;
    probe.At(lower, atLower);
    probe.At(below, atBelow);
    if (std::fabs(atLower - target) <= tolerance)
      chosen = 0.5 * (lower + upper);  // the middle of the values that show the target
    else
      chosen = std::fabs(atBelow - target) < std::fabs(atLower - target) ? below : lower;
  }
  plugin.SetParameter(index, static_cast<float>(chosen));
  return true;
}

bool SetByText(PluginInstance& plugin, int32_t index, const std::string& text, std::string* error) {
  int first = -1, last = -1;
  for (int i = 0; i <= kTextSamples; ++i) {
    plugin.SetParameter(index, static_cast<float>(i) / kTextSamples);
    bool match = SameText(plugin.ParamDisplay(index), text);
    if (match && first < 0) first = i;
    if (match) last = i;
    if (!match && first >= 0) break;
  }
  if (first < 0) return Fail(error, "no value displays \"" + text + "\"");
  double chosen = first == 0 ? 0.0 : last == kTextSamples ? 1.0 : 0.5 * (first + last) / kTextSamples;
  plugin.SetParameter(index, static_cast<float>(chosen));
  return true;
}

} // namespace

bool SplitAssignment(const std::string& text, std::string& name, std::string& value) {
  size_t equals = text.find('=');
  if (equals == std::string::npos || equals == 0 || equals + 1 == text.size()) return false;
  name = text.substr(0, equals);
  value = text.substr(equals + 1);
  return true;
}

bool SetParamByDisplay(PluginInstance& plugin, int32_t index, const std::string& value, std::string* shown,
                       std::string* error) {
  if (!plugin.IsCreated() || index < 0 || index >= plugin.Effect()->numParams)
    return Fail(error, "no parameter " + std::to_string(index));
  float before = plugin.GetParameter(index);
  double number;
  std::string reason;
  bool ok = ParseNumber(value, number, true) ? SetByNumber(plugin, index, number, &reason)
                                             : SetByText(plugin, index, value, &reason);
  if (!ok) {
    plugin.SetParameter(index, before);
    return Fail(error, plugin.ParamName(index) + "=" + value + ": " + reason);
  }
  if (shown) *shown = plugin.ParamDisplay(index);
  return true;
}

bool ApplyAssignment(PluginInstance& plugin, const std::string& assignment, std::string* shown,
                     std::string* error) {
  std::string name, value;
  if (!SplitAssignment(assignment, name, value))
    return Fail(error, "\"" + assignment + "\" is not of the form Name=value");
  int32_t index = plugin.FindParam(name);
  if (index < 0) return Fail(error, "the plug-in has no parameter named \"" + name + "\"");
  return SetParamByDisplay(plugin, index, value, shown, error);
}

} // namespace vst2host
