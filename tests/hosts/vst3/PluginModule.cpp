#include "tests/hosts/vst3/PluginModule.h"

#include <windows.h>

#include <cstring>

#include "pluginterfaces/base/funknown.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "tests/hosts/vst3/ErrorReport.h"
#include "tests/hosts/vst3/HostText.h"

using namespace Steinberg;

namespace vst3host {

namespace {

using InitProc = bool (*)();

// GetProcAddress gives a generic function pointer; going through void* keeps
// the conversion to the entry's real type free of cast warnings.
template <typename Function>
Function LookUp(HMODULE library, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

std::string Bounded(const char8* text, size_t size) {
  size_t n = 0;
  while (n < size && text[n]) ++n;
  return std::string(text, n);
}

}  // namespace

std::unique_ptr<PluginModule> PluginModule::Load(const std::string& path, std::string* error) {
  std::u16string wide = Utf8ToUtf16(path);
  HMODULE library = LoadLibraryW(reinterpret_cast<const wchar_t*>(wide.c_str()));
  if (!library) {
    SetError(error, "cannot load " + path + " (error " + std::to_string(GetLastError()) + ")");
    return nullptr;
  }
  std::unique_ptr<PluginModule> module(new PluginModule());
  module->library = library;

  if (auto init = LookUp<InitProc>(library, "InitDll")) {
    module->initDllCalled = true;
    if (!init()) {
      SetError(error, path + ": InitDll failed");
      return nullptr;
    }
  }
  auto getFactory = LookUp<GetFactoryProc>(library, "GetPluginFactory");
  if (!getFactory) {
    SetError(error, path + ": no GetPluginFactory export");
    return nullptr;
  }
  module->factory = getFactory();
  if (!module->factory) {
    SetError(error, path + ": GetPluginFactory gave no factory");
    return nullptr;
  }
  return module;
}

PluginModule::~PluginModule() {
  if (factory) factory->release();
  if (!library) return;
  HMODULE handle = static_cast<HMODULE>(library);
  if (initDllCalled)
    if (auto exitDll = LookUp<InitProc>(handle, "ExitDll")) exitDll();
  FreeLibrary(handle);
}

void* PluginModule::Export(const char* name) const {
  return LookUp<void*>(static_cast<HMODULE>(library), name);
}

bool PluginModule::ReadFactoryInfo(FactoryRecord& out) const {
  PFactoryInfo info;
  if (factory->getFactoryInfo(&info) != kResultOk) return false;
  out.vendor = Bounded(info.vendor, sizeof(info.vendor));
  out.url = Bounded(info.url, sizeof(info.url));
  out.email = Bounded(info.email, sizeof(info.email));
  out.flags = info.flags;
  return true;
}

std::vector<ClassRecord> PluginModule::Classes() const {
  std::vector<ClassRecord> classes;
  IPtr<IPluginFactory2> factory2 = FUnknownPtr<IPluginFactory2>(factory);
  IPtr<IPluginFactory3> factory3 = FUnknownPtr<IPluginFactory3>(factory);
  for (int32 i = 0, n = factory->countClasses(); i < n; ++i) {
    ClassRecord record;
    PClassInfoW infoW;
    PClassInfo2 info2;
    PClassInfo info;
    if (factory3 && factory3->getClassInfoUnicode(i, &infoW) == kResultOk) {
      std::memcpy(record.cid.data(), infoW.cid, 16);
      record.cardinality = infoW.cardinality;
      record.category = Bounded(infoW.category, sizeof(infoW.category));
      record.name = SdkTextToUtf8(infoW.name, PClassInfo::kNameSize);
      record.classFlags = infoW.classFlags;
      record.subCategories = Bounded(infoW.subCategories, sizeof(infoW.subCategories));
      record.vendor = SdkTextToUtf8(infoW.vendor, PClassInfoW::kVendorSize);
      record.version = SdkTextToUtf8(infoW.version, PClassInfoW::kVersionSize);
      record.sdkVersion = SdkTextToUtf8(infoW.sdkVersion, PClassInfoW::kVersionSize);
      record.infoLevel = 3;
    } else if (factory2 && factory2->getClassInfo2(i, &info2) == kResultOk) {
      std::memcpy(record.cid.data(), info2.cid, 16);
      record.cardinality = info2.cardinality;
      record.category = Bounded(info2.category, sizeof(info2.category));
      record.name = Bounded(info2.name, sizeof(info2.name));
      record.classFlags = info2.classFlags;
      record.subCategories = Bounded(info2.subCategories, sizeof(info2.subCategories));
      record.vendor = Bounded(info2.vendor, sizeof(info2.vendor));
      record.version = Bounded(info2.version, sizeof(info2.version));
      record.sdkVersion = Bounded(info2.sdkVersion, sizeof(info2.sdkVersion));
      record.infoLevel = 2;
    } else if (factory->getClassInfo(i, &info) == kResultOk) {
      std::memcpy(record.cid.data(), info.cid, 16);
      record.cardinality = info.cardinality;
      record.category = Bounded(info.category, sizeof(info.category));
      record.name = Bounded(info.name, sizeof(info.name));
    } else
      continue;
    classes.push_back(record);
  }
  return classes;
}

bool PluginModule::FindAudioClass(ClassRecord& out) const {
  for (const ClassRecord& record : Classes())
    if (record.category == kVstAudioEffectClass) {
      out = record;
      return true;
    }
  return false;
}

std::string FormatClassId(const std::array<char, 16>& cid) {
  static const char digits[] = "0123456789ABCDEF";
  std::string text;
  for (char c : cid) {
    auto byte = static_cast<unsigned char>(c);
    text.push_back(digits[byte >> 4]);
    text.push_back(digits[byte & 15]);
  }
  return text;
}

}  // namespace vst3host
