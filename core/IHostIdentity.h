#pragma once
// Host identification: which host application loaded the plug-in.
//
// IdentifyHost turns the product name a host reports for itself into a small
// code that the bindings consult to work around particular hosts. The codes
// are stable: they are compared by the bindings and must never be renumbered.
// The plug-in keeps the result in its IHostIdentity, filled once per plug-in
// object when the host first introduces itself (host-facing base). Pure
// computation: callable from any thread, no allocation, no lock.

#include <cstdint>

namespace plugkit {

// Host codes. 1 to 44 come from the host-name table; the numbers are not the
// order in which the table is tried (see IdentifyHost).
enum EHostCode : int32_t {
  kHostUnidentified = -1, // the host has not introduced itself yet
  kHostUnknown = 0,       // a name that matches no entry (or no name)
  kHostReaper = 1,
  kHostProTools = 2,
  kHostCubase = 3,
  kHostNuendo = 4,
  kHostCakewalk = 5,
  kHostVegas = 6,
  kHostFruity = 7,
  kHostSamplitude = 8,
  kHostLive = 9,
  kHostTracktion = 10,
  kHostNTracks = 11,
  kHostMelodyne = 12,
  kHostVSTManLib = 13,
  kHostAULab = 14,
  kHostForte = 15,
  kHostChainer = 16,
  kHostAudition = 17,
  kHostOrion = 18,
  kHostBias = 19,
  kHostSAWStudio = 20,
  kHostLogic = 21,
  kHostGarageBand = 22,
  kHostDigitalPerformer = 23,
  kHostStandalone = 24,
  kHostAudioMulch = 25,
  kHostStudioOne = 26,
  kHostVST3TestHost = 27,
  kHostArdour = 28,
  kHostRenoise = 29,
  kHostOpenMPT = 30,
  kHostWaveLab = 31,
  kHostWaveLabElements = 32,
  kHostTwistedWave = 33,
  kHostBitwig = 34,
  kHostWeb = 35,
  kHostReason = 36,
  kHostGWVST = 37,
  kHostWaveform = 38,
  kHostAudacity = 39,
  kHostAcoustica = 40,
  kHostPluginDoctor = 41,
  kHostIZotopeRX = 42,
  kHostSAVIHost = 43,
  kHostBlueCatHost = 44,
};

// What the plug-in knows about its host. Version is packed like the vendor
// version (major << 16 | minor << 8 | patch); Code is an EHostCode value.
struct IHostIdentity {
  int32_t Version = 0;
  int32_t Code = kHostUnidentified;
};

// Host code (0 to 44) for a host's product name. Matching ignores case and
// finds an entry anywhere in the name; entries are tried in a fixed order and
// the first match wins, so a name containing two entries gets the earlier one
// (for example "wavelab elements" is tried before "wavelab", and the short
// catch-alls "standalone" and "www" last). Only the first 255 characters of
// the name are looked at. A null, empty or unmatched name gives 0.
int32_t IdentifyHost(const char* name);

} // namespace plugkit
