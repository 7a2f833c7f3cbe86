#include "api/vst3/IVST3Factory.h"

#include <cstring>
#include <new>

#include "api/vst3/IVST3Binding.h"
#include "core/ISectionLock.h"
#include "core/ModuleResources.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"

using namespace Steinberg;

namespace plugkit {

namespace {

// The create function of the one class; set before the factory exists.
VST3PluginMaker gPluginMaker = nullptr;

// Built on first use under the runtime's thread-safe initialisation of local
// statics; destroyed when the module unloads.
ISectionLock& CreationLock() {
  static ISectionLock lock;
  return lock;
}

// Copies text into a field of size bytes, zero-filling the rest; the field
// always ends in a NUL.
template <size_t N>
void CopyField(char8 (&field)[N], const char* text) {
  std::memset(field, 0, N);
  for (size_t i = 0; text && i + 1 < N && text[i] != 0; ++i) field[i] = text[i];
}

FUnknown* MakePlugInstance(void* /*context*/) {
  IVST3Binding* plugin = nullptr;
  {
    ISectionGuard guard(CreationLock());
    if (gPluginMaker) plugin = gPluginMaker();
  }
  return plugin ? static_cast<Vst::IAudioProcessor*>(plugin) : nullptr;
}

} // namespace

void BuildVST3ClassId(int32_t makerCode, int32_t uniqueCode, TUID out) {
  static const unsigned char kPrefix[8] = {0x0D, 0xE7, 0xAE, 0xF2, 0xDE, 0x00, 0x4E, 0x4F};
  for (int i = 0; i < 8; ++i) out[i] = static_cast<char>(kPrefix[i]);
  const uint32_t codes[2] = {static_cast<uint32_t>(makerCode), static_cast<uint32_t>(uniqueCode)};
  for (int c = 0; c < 2; ++c)
    for (int b = 0; b < 4; ++b) out[8 + 4 * c + b] = static_cast<char>((codes[c] >> (24 - 8 * b)) & 0xFF);
}

PClassInfo2 BuildFactoryClassInfo(const IVST3ClassRecord& record) {
  PClassInfo2 info; // zero-filled by its constructor
  BuildVST3ClassId(record.makerCode, record.uniqueCode, info.cid);
  info.cardinality = PClassInfo::kManyInstances;
  CopyField(info.category, record.category);
  CopyField(info.name, record.className);
  info.classFlags = 2;
  CopyField(info.subCategories, record.subCategories);
  CopyField(info.vendor, record.classVendor);
  CopyField(info.version, record.version);
  CopyField(info.sdkVersion, record.sdkVersion);
  return info;
}

IPluginFactory* CreateVST3Factory(const IVST3ClassRecord& record, VST3PluginMaker maker) {
  if (!maker) return nullptr;
  PFactoryInfo info; // zero-filled by its constructor
  CopyField(info.vendor, record.vendor);
  CopyField(info.url, record.webAddress);
  CopyField(info.email, record.contactAddress);
  info.flags = PFactoryInfo::kUnicode;
  auto* factory = new (std::nothrow) CPluginFactory(info);
  if (!factory) return nullptr;
  gPluginMaker = maker;
  const PClassInfo2 classInfo = BuildFactoryClassInfo(record);
  factory->registerClass(&classInfo, &MakePlugInstance);
  return factory;
}

bool StartVST3Module(void* moduleHandle) {
  StoreModuleHandle(moduleHandle);
  return true;
}

} // namespace plugkit
