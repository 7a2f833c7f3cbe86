#pragma once

// The module's class factory: the object a VST 3 host receives from
// GetPluginFactory, through which it reads the vendor and class records and
// creates plug-in objects. The SDK sources this project compiles declare the
// factory interfaces but not an implementation; this one keeps the class name
// and the registration calls that code written against the SDK expects.
//
// Contract:
// - Reference counted (atomic); it starts with one reference and deletes
//   itself on the last release. queryInterface answers FUnknown and
//   IPluginFactory, IPluginFactory2 and IPluginFactory3.
// - registerClass is for the module's set-up, before the factory is handed to
//   a host; it copies the record (text fields always end in a NUL, the rest of
//   each field is zero) and keeps both the 8-bit and the UTF-16 form, so every
//   getClassInfo variant answers every class. A record with a class id that is
//   already registered, or without a create function, is refused (false).
// - createInstance(cid, iid, obj) calls the class's create function with the
//   context given at registration, asks the new object for iid and drops the
//   creation reference: the host holds the only reference on success. Errors:
//   null arguments kInvalidArgument, unknown class or interface kNoInterface,
//   a create function that made nothing kOutOfMemory; *obj is null after
//   every failure.
// - The get calls may come from any host thread once set-up is done; they
//   only read.

#include <vector>

#include "pluginterfaces/base/ipluginbase.h"

namespace Steinberg {

class CPluginFactory : public IPluginFactory3 {
 public:
  // Makes a new object of the class; returns it with one reference, or null.
  using CreateFunction = FUnknown* (*)(void* context);

  explicit CPluginFactory(const PFactoryInfo& info);
  virtual ~CPluginFactory();

  CPluginFactory(const CPluginFactory&) = delete;
  CPluginFactory& operator=(const CPluginFactory&) = delete;

  bool registerClass(const PClassInfo* info, CreateFunction createFunc, void* context = nullptr);
  bool registerClass(const PClassInfo2* info, CreateFunction createFunc, void* context = nullptr);
  bool registerClass(const PClassInfoW* info, CreateFunction createFunc, void* context = nullptr);
  bool isClassRegistered(const TUID cid) const;
  void removeAllClasses();

  // FUnknown
  tresult PLUGIN_API queryInterface(const TUID iid, void** obj) SMTG_OVERRIDE;
  uint32 PLUGIN_API addRef() SMTG_OVERRIDE;
  uint32 PLUGIN_API release() SMTG_OVERRIDE;

  // IPluginFactory
  tresult PLUGIN_API getFactoryInfo(PFactoryInfo* info) SMTG_OVERRIDE;
  int32 PLUGIN_API countClasses() SMTG_OVERRIDE;
  tresult PLUGIN_API getClassInfo(int32 index, PClassInfo* info) SMTG_OVERRIDE;
  tresult PLUGIN_API createInstance(FIDString cid, FIDString iid, void** obj) SMTG_OVERRIDE;

  // IPluginFactory2
  tresult PLUGIN_API getClassInfo2(int32 index, PClassInfo2* info) SMTG_OVERRIDE;

  // IPluginFactory3
  tresult PLUGIN_API getClassInfoUnicode(int32 index, PClassInfoW* info) SMTG_OVERRIDE;
  // The factory does not use the host context: kNotImplemented.
  tresult PLUGIN_API setHostContext(FUnknown* context) SMTG_OVERRIDE;

 protected:
  struct ClassEntry {
    PClassInfo2 info8;
    PClassInfoW info16;
    CreateFunction createFunc;
    void* context;
  };

  // Completes the entry with its create function and keeps it; false (and
  // nothing kept) without a function or for a class id already registered.
  bool addEntry(ClassEntry& entry, CreateFunction createFunc, void* context);
  const ClassEntry* findEntry(const char* cid) const;
  const ClassEntry* entryAt(int32 index) const;

  PFactoryInfo factoryInfo;
  std::vector<ClassEntry> classes;

 private:
  int32 refCount = 1;
};

}  // namespace Steinberg
