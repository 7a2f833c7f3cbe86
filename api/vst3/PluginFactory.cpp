#include "api/vst3/PluginFactory.h"

#include <cstring>

namespace Steinberg {

namespace {

// Bounded copy that always leaves a terminator and zeroes the rest, so a host
// never reads past a field whose text filled it.
void CopyText8(char8* dest, size_t size, const char8* source) {
  std::memset(dest, 0, size);
  if (!source) return;
  for (size_t i = 0; i + 1 < size && source[i]; ++i) dest[i] = source[i];
}

void CopyText16(char16* dest, size_t size, const char16* source) {
  std::memset(dest, 0, size * sizeof(char16));
  if (!source) return;
  for (size_t i = 0; i + 1 < size && source[i]; ++i) dest[i] = source[i];
}

// UTF-8 to UTF-16, bounded; a malformed byte is taken as the Latin-1
// character of the same value rather than dropping the rest of the text.
void WidenText(char16* dest, size_t size, const char8* source) {
  std::memset(dest, 0, size * sizeof(char16));
  if (!source) return;
  const auto* s = reinterpret_cast<const unsigned char*>(source);
  size_t out = 0;
  while (*s && out + 1 < size) {
    unsigned long code = *s;
    size_t length = code < 0x80           ? 1
                    : (code >> 5) == 0x6  ? 2
                    : (code >> 4) == 0xE  ? 3
                    : (code >> 3) == 0x1E ? 4
                                          : 0;
    bool valid = length > 0;
    for (size_t k = 1; valid && k < length; ++k) valid = (s[k] & 0xC0) == 0x80;
    if (!valid)
      length = 1;
    else if (length > 1) {
      code &= 0x3F >> (length - 1);
      for (size_t k = 1; k < length; ++k) code = (code << 6) | (s[k] & 0x3F);
    }
    s += length;
    if (code >= 0x10000) {
      if (out + 2 >= size) break;
      code -= 0x10000;
      dest[out++] = static_cast<char16>(0xD800 + (code >> 10));
      dest[out++] = static_cast<char16>(0xDC00 + (code & 0x3FF));
    } else
      dest[out++] = static_cast<char16>(code);
  }
}

// UTF-16 to UTF-8, bounded; a character that does not fit whole is left out.
void NarrowText(char8* dest, size_t size, const char16* source) {
  std::memset(dest, 0, size);
  if (!source) return;
  size_t out = 0;
  for (size_t i = 0; source[i]; ++i) {
    unsigned long code = static_cast<unsigned short>(source[i]);
    if (code >= 0xD800 && code < 0xDC00 && source[i + 1] >= 0xDC00 && source[i + 1] < 0xE000) {
      code = 0x10000 + ((code - 0xD800) << 10) + (static_cast<unsigned short>(source[i + 1]) - 0xDC00);
      ++i;
    }
    unsigned char bytes[4];
    size_t length = 0;
    if (code < 0x80)
      bytes[length++] = static_cast<unsigned char>(code);
    else if (code < 0x800) {
      bytes[length++] = static_cast<unsigned char>(0xC0 | (code >> 6));
      bytes[length++] = static_cast<unsigned char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
      bytes[length++] = static_cast<unsigned char>(0xE0 | (code >> 12));
      bytes[length++] = static_cast<unsigned char>(0x80 | ((code >> 6) & 0x3F));
      bytes[length++] = static_cast<unsigned char>(0x80 | (code & 0x3F));
    } else {
      bytes[length++] = static_cast<unsigned char>(0xF0 | (code >> 18));
      bytes[length++] = static_cast<unsigned char>(0x80 | ((code >> 12) & 0x3F));
      bytes[length++] = static_cast<unsigned char>(0x80 | ((code >> 6) & 0x3F));
      bytes[length++] = static_cast<unsigned char>(0x80 | (code & 0x3F));
    }
    if (out + length >= size) break;
    for (size_t k = 0; k < length; ++k) dest[out++] = static_cast<char8>(bytes[k]);
  }
}

// One text field into another of either character width.
template <size_t N>
void CopyField(char8 (&dest)[N], const char8* source) {
  CopyText8(dest, N, source);
}

template <size_t N>
void CopyField(char16 (&dest)[N], const char16* source) {
  CopyText16(dest, N, source);
}

template <size_t N>
void CopyField(char16 (&dest)[N], const char8* source) {
  WidenText(dest, N, source);
}

template <size_t N>
void CopyField(char8 (&dest)[N], const char16* source) {
  NarrowText(dest, N, source);
}

// A class record into the 8-bit or the UTF-16 form (from either): the two
// forms differ only in the width of the name, vendor and version texts.
template <typename Dest, typename Source>
void CopyClassRecord(Dest& dest, const Source& source) {
  std::memcpy(dest.cid, source.cid, sizeof(TUID));
  dest.cardinality = source.cardinality;
  CopyField(dest.category, source.category);
  CopyField(dest.name, source.name);
  dest.classFlags = source.classFlags;
  CopyField(dest.subCategories, source.subCategories);
  CopyField(dest.vendor, source.vendor);
  CopyField(dest.version, source.version);
  CopyField(dest.sdkVersion, source.sdkVersion);
}

}  // namespace

CPluginFactory::CPluginFactory(const PFactoryInfo& info) {
  CopyField(factoryInfo.vendor, info.vendor);
  CopyField(factoryInfo.url, info.url);
  CopyField(factoryInfo.email, info.email);
  factoryInfo.flags = info.flags;
}

CPluginFactory::~CPluginFactory() = default;

bool CPluginFactory::registerClass(const PClassInfo* info, CreateFunction createFunc, void* context) {
  if (!info) return false;
  PClassInfo2 info2;
  std::memcpy(info2.cid, info->cid, sizeof(TUID));
  info2.cardinality = info->cardinality;
  CopyField(info2.category, info->category);
  CopyField(info2.name, info->name);
  return registerClass(&info2, createFunc, context);
}

bool CPluginFactory::registerClass(const PClassInfo2* info, CreateFunction createFunc, void* context) {
  if (!info) return false;
  ClassEntry entry{};
  CopyClassRecord(entry.info8, *info);
  CopyClassRecord(entry.info16, entry.info8);
  return addEntry(entry, createFunc, context);
}

bool CPluginFactory::registerClass(const PClassInfoW* info, CreateFunction createFunc, void* context) {
  if (!info) return false;
  ClassEntry entry{};
  CopyClassRecord(entry.info16, *info);
  CopyClassRecord(entry.info8, entry.info16);
  return addEntry(entry, createFunc, context);
}

bool CPluginFactory::addEntry(ClassEntry& entry, CreateFunction createFunc, void* context) {
  if (!createFunc || findEntry(entry.info8.cid)) return false;
  entry.createFunc = createFunc;
  entry.context = context;
  classes.push_back(entry);
  return true;
}

bool CPluginFactory::isClassRegistered(const TUID cid) const { return cid && findEntry(cid) != nullptr; }

void CPluginFactory::removeAllClasses() { classes.clear(); }

const CPluginFactory::ClassEntry* CPluginFactory::findEntry(const char* cid) const {
  for (const ClassEntry& entry : classes)
    if (std::memcmp(entry.info8.cid, cid, sizeof(TUID)) == 0) return &entry;
  return nullptr;
}

const CPluginFactory::ClassEntry* CPluginFactory::entryAt(int32 index) const {
  if (index < 0 || static_cast<size_t>(index) >= classes.size()) return nullptr;
  return &classes[static_cast<size_t>(index)];
}

tresult PLUGIN_API CPluginFactory::queryInterface(const TUID iid, void** obj) {
  if (!obj) return kInvalidArgument;
  if (iid &&
      (FUnknownPrivate::iidEqual(iid, FUnknown::iid) || FUnknownPrivate::iidEqual(iid, IPluginFactory::iid) ||
       FUnknownPrivate::iidEqual(iid, IPluginFactory2::iid) ||
       FUnknownPrivate::iidEqual(iid, IPluginFactory3::iid))) {
    addRef();
    *obj = static_cast<IPluginFactory3*>(this);
    return kResultOk;
  }
  *obj = nullptr;
  return kNoInterface;
}

uint32 PLUGIN_API CPluginFactory::addRef() {
  return static_cast<uint32>(FUnknownPrivate::atomicAdd(refCount, 1));
}

uint32 PLUGIN_API CPluginFactory::release() {
  int32 left = FUnknownPrivate::atomicAdd(refCount, -1);
  if (left == 0) {
    delete this;
    return 0;
  }
  return static_cast<uint32>(left);
}

tresult PLUGIN_API CPluginFactory::getFactoryInfo(PFactoryInfo* info) {
  if (!info) return kInvalidArgument;
  std::memcpy(info, &factoryInfo, sizeof(PFactoryInfo));
  return kResultOk;
}

int32 PLUGIN_API CPluginFactory::countClasses() { return static_cast<int32>(classes.size()); }

tresult PLUGIN_API CPluginFactory::getClassInfo(int32 index, PClassInfo* info) {
  const ClassEntry* entry = entryAt(index);
  if (!entry || !info) return kInvalidArgument;
  std::memcpy(info->cid, entry->info8.cid, sizeof(TUID));
  info->cardinality = entry->info8.cardinality;
  std::memcpy(info->category, entry->info8.category, sizeof(info->category));
  std::memcpy(info->name, entry->info8.name, sizeof(info->name));
  return kResultOk;
}

tresult PLUGIN_API CPluginFactory::getClassInfo2(int32 index, PClassInfo2* info) {
  const ClassEntry* entry = entryAt(index);
  if (!entry || !info) return kInvalidArgument;
  std::memcpy(info, &entry->info8, sizeof(PClassInfo2));
  return kResultOk;
}

tresult PLUGIN_API CPluginFactory::getClassInfoUnicode(int32 index, PClassInfoW* info) {
  const ClassEntry* entry = entryAt(index);
  if (!entry || !info) return kInvalidArgument;
  std::memcpy(info, &entry->info16, sizeof(PClassInfoW));
  return kResultOk;
}

tresult PLUGIN_API CPluginFactory::createInstance(FIDString cid, FIDString iid, void** obj) {
  if (!obj) return kInvalidArgument;
  *obj = nullptr;
  if (!cid || !iid) return kInvalidArgument;
  const ClassEntry* entry = findEntry(cid);
  if (!entry) return kNoInterface;
  FUnknown* instance = entry->createFunc(entry->context);
  if (!instance) return kOutOfMemory;
  tresult result = instance->queryInterface(iid, obj);
  // The host's reference (taken by queryInterface) is the one that remains.
  instance->release();
  if (result != kResultOk) {
    *obj = nullptr;
    return kNoInterface;
  }
  return kResultOk;
}

tresult PLUGIN_API CPluginFactory::setHostContext(FUnknown*) { return kNotImplemented; }

}  // namespace Steinberg
