#pragma once
// The root of the VST 3 interfaces, the plug-in life cycle, the host's byte
// streams and the module's class factory with its records.
//
// Each interface is a class of pure virtual methods in vtable order and names
// its identifier as `iid`. None has a virtual destructor (GCC and MSVC would
// give it different slots); the protected one only keeps deletion through an
// interface pointer out of reach.

#include "vst3/interface/Vst3Types.h"

namespace vst3 {

class FUnknown {
public:
  virtual tresult PLUGIN_API queryInterface(const TUID _iid, void** obj) = 0;
  virtual uint32 PLUGIN_API addRef() = 0;
  virtual uint32 PLUGIN_API release() = 0;
  static constexpr Uid iid = Uid::FromWords(0x00000000, 0x00000000, 0xC0000000, 0x00000046);

protected:
  ~FUnknown() = default;
};

class IPluginBase : public FUnknown {
public:
  virtual tresult PLUGIN_API initialize(FUnknown* context) = 0;
  virtual tresult PLUGIN_API terminate() = 0;
  static constexpr Uid iid = Uid::FromWords(0x22888DDB, 0x156E45AE, 0x8358B348, 0x08190625);

protected:
  ~IPluginBase() = default;
};

class IDependent : public FUnknown {
public:
  enum ChangeMessage : int32 { kWillChange = 0, kChanged = 1, kDestroyed = 2, kWillDestroy = 3 };
  virtual void PLUGIN_API update(FUnknown* changedUnknown, int32 message) = 0;
  static constexpr Uid iid = Uid::FromWords(0xF52B7AAE, 0xDE72416D, 0x8AF18ACE, 0x9DD7BD5E);

protected:
  ~IDependent() = default;
};

// The host's stream: one position shared by reading and writing.
class IBStream : public FUnknown {
public:
  enum IStreamSeekMode : int32 { kIBSeekSet = 0, kIBSeekCur = 1, kIBSeekEnd = 2 };
  virtual tresult PLUGIN_API read(void* buffer, int32 numBytes, int32* numBytesRead) = 0;
  virtual tresult PLUGIN_API write(void* buffer, int32 numBytes, int32* numBytesWritten) = 0;
  virtual tresult PLUGIN_API seek(int64 pos, int32 mode, int64* result) = 0;
  virtual tresult PLUGIN_API tell(int64* pos) = 0;
  static constexpr Uid iid = Uid::FromWords(0xC3BF6EA2, 0x30994752, 0x9B6BF990, 0x1EE33E9B);

protected:
  ~IBStream() = default;
};

class ISizeableStream : public FUnknown {
public:
  virtual tresult PLUGIN_API getStreamSize(int64& size) = 0;
  virtual tresult PLUGIN_API setStreamSize(int64 size) = 0;
  static constexpr Uid iid = Uid::FromWords(0x04F9549E, 0xE02F4E6E, 0x87E86A87, 0x47F4E17F);

protected:
  ~ISizeableStream() = default;
};

// --- The class factory's records -------------------------------------------------
// Text fields are 8-bit, zero-padded, and unterminated when full: read them
// bounded by the field size.

struct PFactoryInfo {
  enum FactoryFlags : int32 {
    kNoFlags = 0,
    kClassesDiscardable = 1 << 0,
    kLicenseCheck = 1 << 1,
    kComponentNonDiscardable = 1 << 3,
    kUnicode = 1 << 4,
  };
  enum { kNameSize = 64, kURLSize = 256, kEmailSize = 128 };
  char8 vendor[kNameSize];
  char8 url[kURLSize];
  char8 email[kEmailSize];
  int32 flags;
};

struct PClassInfo {
  enum ClassCardinality : int32 { kManyInstances = 0x7FFFFFFF };
  enum { kCategorySize = 32, kNameSize = 64 };
  TUID cid;
  int32 cardinality;
  char8 category[kCategorySize];
  char8 name[kNameSize];
};

struct PClassInfo2 {
  enum { kVendorSize = 64, kVersionSize = 64, kSubCategoriesSize = 128 };
  TUID cid;
  int32 cardinality;
  char8 category[PClassInfo::kCategorySize];
  char8 name[PClassInfo::kNameSize];
  uint32 classFlags;
  char8 subCategories[kSubCategoriesSize];
  char8 vendor[kVendorSize];
  char8 version[kVersionSize];
  char8 sdkVersion[kVersionSize];
};

// The 16-bit form: category and sub-categories stay 8-bit.
struct PClassInfoW {
  TUID cid;
  int32 cardinality;
  char8 category[PClassInfo::kCategorySize];
  char16 name[PClassInfo::kNameSize];
  uint32 classFlags;
  char8 subCategories[PClassInfo2::kSubCategoriesSize];
  char16 vendor[PClassInfo2::kVendorSize];
  char16 version[PClassInfo2::kVersionSize];
  char16 sdkVersion[PClassInfo2::kVersionSize];
};

class IPluginFactory : public FUnknown {
public:
  virtual tresult PLUGIN_API getFactoryInfo(PFactoryInfo* info) = 0;
  virtual int32 PLUGIN_API countClasses() = 0;
  virtual tresult PLUGIN_API getClassInfo(int32 index, PClassInfo* info) = 0;
  // cid and iid point at 16 identifier bytes, not at text.
  virtual tresult PLUGIN_API createInstance(FIDString cid, FIDString _iid, void** obj) = 0;
  static constexpr Uid iid = Uid::FromWords(0x7A4D811C, 0x52114A1F, 0xAED9D2EE, 0x0B43BF9F);

protected:
  ~IPluginFactory() = default;
};

class IPluginFactory2 : public IPluginFactory {
public:
  virtual tresult PLUGIN_API getClassInfo2(int32 index, PClassInfo2* info) = 0;
  static constexpr Uid iid = Uid::FromWords(0x0007B650, 0xF24B4C0B, 0xA464EDB9, 0xF00B2ABB);

protected:
  ~IPluginFactory2() = default;
};

class IPluginFactory3 : public IPluginFactory2 {
public:
  virtual tresult PLUGIN_API getClassInfoUnicode(int32 index, PClassInfoW* info) = 0;
  virtual tresult PLUGIN_API setHostContext(FUnknown* context) = 0;
  static constexpr Uid iid = Uid::FromWords(0x4555A2AB, 0xC1234E57, 0x9B122910, 0x36878931);

protected:
  ~IPluginFactory3() = default;
};

// What a module's GetPluginFactory export is.
using GetFactoryProc = IPluginFactory*(PLUGIN_API*)();

static_assert(sizeof(PFactoryInfo) == 452 && alignof(PFactoryInfo) == 4);
static_assert(offsetof(PFactoryInfo, url) == 64);
static_assert(offsetof(PFactoryInfo, email) == 320);
static_assert(offsetof(PFactoryInfo, flags) == 448);
static_assert(sizeof(PClassInfo) == 116 && alignof(PClassInfo) == 4);
static_assert(offsetof(PClassInfo, cardinality) == 16);
static_assert(offsetof(PClassInfo, category) == 20);
static_assert(offsetof(PClassInfo, name) == 52);
static_assert(sizeof(PClassInfo2) == 440 && alignof(PClassInfo2) == 4);
static_assert(offsetof(PClassInfo2, classFlags) == 116);
static_assert(offsetof(PClassInfo2, subCategories) == 120);
static_assert(offsetof(PClassInfo2, vendor) == 248);
static_assert(offsetof(PClassInfo2, version) == 312);
static_assert(offsetof(PClassInfo2, sdkVersion) == 376);
static_assert(sizeof(PClassInfoW) == 696 && alignof(PClassInfoW) == 4);
static_assert(offsetof(PClassInfoW, category) == 20);
static_assert(offsetof(PClassInfoW, name) == 52);
static_assert(offsetof(PClassInfoW, classFlags) == 180);
static_assert(offsetof(PClassInfoW, subCategories) == 184);
static_assert(offsetof(PClassInfoW, vendor) == 312);
static_assert(offsetof(PClassInfoW, version) == 440);
static_assert(offsetof(PClassInfoW, sdkVersion) == 568);

}  // namespace vst3
