#pragma once
// The VST 3 module's class factory and object creation. A VST 3 module
// supplies the hooks of api/vst3/PluginEntry.h with a few lines: its
// CreateVST3ModuleFactory returns CreateVST3Factory(record, maker) and its
// OnVST3ModuleInit returns StartVST3Module(handle).
//
// The factory carries one class, described by an IVST3ClassRecord: the
// factory information (vendor, web address, contact address, Unicode flag)
// and one class information record whose class id is built from the maker
// and plug-in codes (BuildVST3ClassId), with many instances allowed.
//
// Creation: the factory's create function makes one object through the
// module's maker under the process-wide creation lock, so that two host
// threads never construct plug-in objects at the same time; the host gets
// the object's interface with the only reference.
//
// Threads: any host thread. CreateVST3Factory is meant to be called once
// (PluginEntry.cpp does so under the runtime's one-time initialisation).

#include <cstdint>

#include "api/vst3/PluginFactory.h"

namespace plugkit {

class IVST3Binding;

// Makes one new plug-in object (one reference), or null; must not throw.
using VST3PluginMaker = IVST3Binding* (*)();

struct IVST3ClassRecord {
  const char* vendor = "";          // factory vendor (64 bytes kept)
  const char* webAddress = "";      // 256 bytes kept
  const char* contactAddress = "";  // 128 bytes kept
  const char* className = "";       // the plug-in name (64 bytes kept)
  int32_t makerCode = 0;            // four-character codes, first character
  int32_t uniqueCode = 0;           // in the most significant byte
  const char* category = "Audio Module Class";
  const char* subCategories = "Fx";
  const char* classVendor = "";
  const char* version = "";
  const char* sdkVersion = "";
};

// The class id: the bytes 0D E7 AE F2 DE 00 4E 4F, then the maker code's and
// the plug-in code's characters, first character first.
void BuildVST3ClassId(int32_t makerCode, int32_t uniqueCode, Steinberg::TUID out);

// The class information of the record: texts copied with their fields'
// bounds and the rest of each field zero, cardinality many instances, class
// flags 2.
Steinberg::PClassInfo2 BuildFactoryClassInfo(const IVST3ClassRecord& record);

// A new factory (one reference) with the record's one class, whose objects
// maker makes; null when maker is null or the factory could not be made.
Steinberg::IPluginFactory* CreateVST3Factory(const IVST3ClassRecord& record, VST3PluginMaker maker);

// The module's start (InitDll): records its handle for the resources and
// the editor's window class. True.
bool StartVST3Module(void* moduleHandle);

} // namespace plugkit
