#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "core/IHostIdentity.h"

using plugkit::IdentifyHost;

namespace {

struct IHostCase {
  const char* Name;
  int32_t Code;
};

// Every table entry, in the order it is tried. Each entry on its own must give
// its own code, which also checks that no earlier entry is hidden inside it.
const IHostCase kEntries[] = {
  {"reaper", 1},        {"protools", 2},           {"cubase", 3},      {"nuendo", 4},
  {"cakewalk", 5},      {"vegas", 6},              {"fruity", 7},      {"samplitude", 8},
  {"live", 9},          {"tracktion", 10},         {"ntracks", 11},    {"melodyne", 12},
  {"vstmanlib", 13},    {"aulab", 14},             {"forte", 15},      {"chainer", 16},
  {"audition", 17},     {"orion", 18},             {"bias", 19},       {"sawstudio", 20},
  {"logic", 21},        {"garageband", 22},        {"digital", 23},    {"audiomulch", 25},
  {"presonus", 26},     {"vst3plugintesthost", 27}, {"ardour", 28},    {"renoise", 29},
  {"OpenMPT", 30},      {"wavelab elements", 32},  {"wavelab", 31},    {"twistedwave", 33},
  {"bitwig studio", 34}, {"reason", 36},           {"gwvst", 37},      {"waveform", 38},
  {"audacity", 39},     {"acoustica", 40},         {"plugindoctor", 41}, {"izotope rx", 42},
  {"savihost", 43},     {"blue cat's vst host", 44}, {"standalone", 24}, {"www", 35},
};

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

} // namespace

TEST(HostIdentity, EveryEntryAloneGivesItsCodeInAnyCase) {
  static_assert(sizeof(kEntries) / sizeof(kEntries[0]) == 44, "all 44 entries");
  for (const IHostCase& c : kEntries) {
    EXPECT_EQ(IdentifyHost(c.Name), c.Code) << c.Name;
    EXPECT_EQ(IdentifyHost(Upper(c.Name).c_str()), c.Code) << Upper(c.Name);
    EXPECT_EQ(IdentifyHost(("My " + std::string(c.Name) + " 2.0").c_str()), c.Code) << c.Name;
  }
}

TEST(HostIdentity, RealNamesAndTableOrder) {
  const IHostCase cases[] = {
    {"REAPER", 1},
    {"Reaper64", 1},
    {"WaveLab Elements 10", 32},  // "wavelab elements" is tried before "wavelab"
    {"WaveLab Pro", 31},
    {"Ableton Live 11", 9},
    {"oPeNmPt", 30},
    {"OPENMPT", 30},
    {"Nuendo with Cubase inside", 3}, // cubase comes before nuendo in the table
    {"Reaper Live Session", 1},    // reaper before live
    {"Bias Peak Live", 9},         // live before bias
    {"Logic Pro X", 21},
    {"Digital Performer", 23},
    {"PreSonus Studio One", 26},
    {"Reason Standalone", 36},     // standalone is one of the last resorts
    {"www standalone", 24},        // standalone before www
    {"Oliver's host", 9},          // short entries match inside other words
    {"Blue Cat's VST Host", 44},
    {"Steinberg VST3PluginTestHost", 27},
    {"Unknown Host", 0},
    {"", 0},
  };
  for (const IHostCase& c : cases) EXPECT_EQ(IdentifyHost(c.Name), c.Code) << c.Name;
}

TEST(HostIdentity, NullNameGivesZero) { EXPECT_EQ(IdentifyHost(nullptr), 0); }

TEST(HostIdentity, OnlyTheFirst255CharactersCount) {
  const std::string fits = std::string(249, 'x') + "reaper";      // ends at character 255
  const std::string cut = std::string(250, 'x') + "reaper";       // its last letter is beyond
  const std::string far = std::string(4000, 'x') + "cubase";
  EXPECT_EQ(IdentifyHost(fits.c_str()), 1);
  EXPECT_EQ(IdentifyHost(cut.c_str()), 0);
  EXPECT_EQ(IdentifyHost(far.c_str()), 0);
  EXPECT_EQ(IdentifyHost((std::string("Cubase ") + std::string(4000, 'x')).c_str()), 3);
}

TEST(HostIdentity, NewIdentityIsUnidentified) {
  plugkit::IHostIdentity identity;
  EXPECT_EQ(identity.Code, plugkit::kHostUnidentified);
  EXPECT_EQ(identity.Code, -1);
  EXPECT_EQ(identity.Version, 0);
}
