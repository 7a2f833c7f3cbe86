#include "core/IHostIdentity.h"

#include <cstring>

#include "core/AsciiCase.h"

namespace plugkit {

namespace {

struct IHostNameEntry {
  const char* Text; // lower case; matched anywhere in the lower-cased name
  int32_t Code;
};

// Tried from the top. The order is part of the contract: an entry whose text
// also occurs inside a later host's name must come after that host (hence
// "wavelab elements" before "wavelab"), and the short generic words come last.
constexpr IHostNameEntry kHostNames[] = {
  {"reaper", kHostReaper},
  {"protools", kHostProTools},
  {"cubase", kHostCubase},
  {"nuendo", kHostNuendo},
  {"cakewalk", kHostCakewalk},
  {"vegas", kHostVegas},
  {"fruity", kHostFruity},
  {"samplitude", kHostSamplitude},
  {"live", kHostLive},
  {"tracktion", kHostTracktion},
  {"ntracks", kHostNTracks},
  {"melodyne", kHostMelodyne},
  {"vstmanlib", kHostVSTManLib},
  {"aulab", kHostAULab},
  {"forte", kHostForte},
  {"chainer", kHostChainer},
  {"audition", kHostAudition},
  {"orion", kHostOrion},
  {"bias", kHostBias},
  {"sawstudio", kHostSAWStudio},
  {"logic", kHostLogic},
  {"garageband", kHostGarageBand},
  {"digital", kHostDigitalPerformer},
  {"audiomulch", kHostAudioMulch},
  {"presonus", kHostStudioOne},
  {"vst3plugintesthost", kHostVST3TestHost},
  {"ardour", kHostArdour},
  {"renoise", kHostRenoise},
  {"openmpt", kHostOpenMPT},
  {"wavelab elements", kHostWaveLabElements},
  {"wavelab", kHostWaveLab},
  {"twistedwave", kHostTwistedWave},
  {"bitwig studio", kHostBitwig},
  {"reason", kHostReason},
  {"gwvst", kHostGWVST},
  {"waveform", kHostWaveform},
  {"audacity", kHostAudacity},
  {"acoustica", kHostAcoustica},
  {"plugindoctor", kHostPluginDoctor},
  {"izotope rx", kHostIZotopeRX},
  {"savihost", kHostSAVIHost},
  {"blue cat's vst host", kHostBlueCatHost},
  {"standalone", kHostStandalone},
  {"www", kHostWeb},
};
static_assert(sizeof(kHostNames) / sizeof(kHostNames[0]) == 44, "the host table has 44 entries");

constexpr int kMaxNameLength = 255;

} // namespace

int32_t IdentifyHost(const char* name) {
  if (!name) return kHostUnknown;

  char lowered[kMaxNameLength + 1];
  int length = 0;
  while (length < kMaxNameLength && name[length] != '\0') {
    lowered[length] = LowerAscii(name[length]);
    ++length;
  }
  lowered[length] = '\0';

  for (const IHostNameEntry& entry : kHostNames)
    if (std::strstr(lowered, entry.Text)) return entry.Code;
  return kHostUnknown;
}

} // namespace plugkit
