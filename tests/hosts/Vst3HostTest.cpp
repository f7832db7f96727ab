// The built VST 3 module, loaded the way a host loads it (the library, its
// entry call, the factory) and driven through the published interfaces only:
// what only the module as a whole shows — entry points, factory and class
// information, interface queries and reference counts across the boundary,
// and the conformance behaviours hosts and validators exercise.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "tests/vst3/Vst3TestHost.h"
#include "vst3/tools/Vst3ModuleLoader.h"

using namespace vst3;
using vst3test::HostApplication;
using vst3test::BusBuffers;
using vst3test::ParamChanges;

namespace {
const char* const kModulePath = ZAVRO_VST3_MODULE_PATH;
constexpr int32 kMaxBlock = 8192;

template <size_t N>
std::string Field(const char8 (&field)[N]) {
  return std::string(field, strnlen(field, N));
}
template <size_t N>
std::u16string Field(const char16 (&field)[N]) {
  size_t n = 0;
  while (n < N && field[n] != 0) ++n;
  return std::u16string(field, n);
}

// A stereo bus of float input carrying a deterministic signal, and one of output.
struct StereoBlock {
  explicit StereoBlock(int32 frames) : in(2, frames, 0.0f), out(2, frames, 0.0f) {
    for (size_t i = 0; i < static_cast<size_t>(frames); ++i) {
      in.data[0][i] = static_cast<float>(0.5 * std::sin(0.01 * static_cast<double>(i)));
      in.data[1][i] = static_cast<float>(0.5 * std::cos(0.013 * static_cast<double>(i)));
    }
  }
  ProcessData Data(int32 frames) { return vst3test::Data(&in, &out, frames); }
  bool OutputFinite(int32 frames) const {
    const auto finite = [](float v) { return std::isfinite(v); };
    return std::all_of(out.data.begin(), out.data.end(), [&](const std::vector<float>& channel) {
      return std::all_of(channel.begin(), channel.begin() + frames, finite);
    });
  }
  BusBuffers<float> in, out;
};

class Vst3Host : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(module_.Loaded()) << module_.Error();
    factory_ = module_.Enter();
    ASSERT_NE(factory_, nullptr);
  }
  void TearDown() override {
    if (factory_) {
      EXPECT_EQ(factory_->release(), 0u);
    }
    EXPECT_TRUE(module_.Exit());
  }

  PClassInfo2 ClassInfo2() {
    PClassInfo2 info{};
    auto* factory2 = Query<IPluginFactory2>(factory_);
    EXPECT_NE(factory2, nullptr);
    if (factory2) {
      EXPECT_EQ(factory2->getClassInfo2(0, &info), kResultOk);
      factory2->release();
    }
    return info;
  }

  // A new instance's processor: the host's only reference.
  IAudioProcessor* CreateProcessor() {
    const PClassInfo2 info = ClassInfo2();
    void* obj = nullptr;
    EXPECT_EQ(factory_->createInstance(info.cid, IAudioProcessor::iid.data, &obj), kResultOk);
    return static_cast<IAudioProcessor*>(obj);
  }

  template <class Interface>
  static Interface* Query(FUnknown* object) {
    void* obj = nullptr;
    return object->queryInterface(Interface::iid.data, &obj) == kResultOk ? static_cast<Interface*>(obj) : nullptr;
  }

  Vst3ModuleLoader module_{kModulePath};
  IPluginFactory* factory_ = nullptr;
};

// Brings one instance up as a host does and takes it down again.
class Vst3Instance : public Vst3Host {
protected:
  void SetUp() override {
    Vst3Host::SetUp();
    processor_ = CreateProcessor();
    ASSERT_NE(processor_, nullptr);
    component_ = Query<IComponent>(processor_);
    controller_ = Query<IEditController>(processor_);
    ASSERT_NE(component_, nullptr);
    ASSERT_NE(controller_, nullptr);
    ASSERT_EQ(component_->initialize(&host_), kResultOk);
  }
  void TearDown() override {
    if (component_) {
      EXPECT_EQ(component_->terminate(), kResultOk);
      component_->release();
    }
    if (controller_) controller_->release();
    if (processor_) {
      EXPECT_EQ(processor_->release(), 0u);
    }
    Vst3Host::TearDown();
  }

  void PrepareProcessing(SampleRate rate, int32 maxBlock = kMaxBlock) {
    ProcessSetup setup{kRealtime, kSample32, maxBlock, rate};
    ASSERT_EQ(processor_->setupProcessing(setup), kResultOk);
  }
  void Activate(bool on) {
    // The processing bracket is optional for the plug-in: any answer will do.
    if (on) {
      ASSERT_EQ(component_->setActive(true), kResultOk);
      processor_->setProcessing(true);
    } else {
      processor_->setProcessing(false);
      ASSERT_EQ(component_->setActive(false), kResultOk);
    }
  }

  HostApplication host_{"ZAVRO host test"};
  IAudioProcessor* processor_ = nullptr;
  IComponent* component_ = nullptr;
  IEditController* controller_ = nullptr;
};
}  // namespace

TEST(Vst3Module, ExportsTheEntryPointsOfItsPlatform) {
  Vst3ModuleLoader module(kModulePath);
  ASSERT_TRUE(module.Loaded()) << module.Error();
  EXPECT_NE(module.Find("GetPluginFactory"), nullptr);
#if defined(_WIN32)
  // Exit without a prior init, then as many pairs as a host likes.
  auto exitDll = reinterpret_cast<Vst3ModuleLoader::PlainProc>(module.Find("ExitDll"));
  auto initDll = reinterpret_cast<Vst3ModuleLoader::PlainProc>(module.Find("InitDll"));
  ASSERT_NE(exitDll, nullptr);
  ASSERT_NE(initDll, nullptr);
  EXPECT_TRUE(exitDll());
  for (int i = 0; i < 2; ++i) {
    EXPECT_TRUE(initDll());
    EXPECT_TRUE(exitDll());
  }
#else
  auto entry = reinterpret_cast<Vst3ModuleLoader::EntryProc>(module.Find("ModuleEntry"));
  auto exitProc = reinterpret_cast<Vst3ModuleLoader::PlainProc>(module.Find("ModuleExit"));
  ASSERT_NE(entry, nullptr);
  ASSERT_NE(exitProc, nullptr);
  EXPECT_TRUE(entry(nullptr));
  EXPECT_TRUE(entry(nullptr));
  EXPECT_TRUE(exitProc());
  EXPECT_TRUE(exitProc());
#endif
}

TEST_F(Vst3Host, OneLiveFactoryRebuiltAfterItsLastRelease) {
  IPluginFactory* again = module_.Enter();
  EXPECT_EQ(again, factory_);
  EXPECT_EQ(again->release(), 1u);
  // Every factory interface and FUnknown are the same object.
  for (const Uid* id : {&FUnknown::iid, &IPluginFactory::iid, &IPluginFactory2::iid, &IPluginFactory3::iid}) {
    void* obj = nullptr;
    ASSERT_EQ(factory_->queryInterface(id->data, &obj), kResultOk);
    EXPECT_EQ(obj, static_cast<void*>(factory_));
    factory_->release();
  }
  void* obj = &obj;
  EXPECT_EQ(factory_->queryInterface(IComponent::iid.data, &obj), kNoInterface);
  EXPECT_EQ(obj, nullptr);

  const PClassInfo2 before = ClassInfo2();
  EXPECT_EQ(factory_->release(), 0u);
  factory_ = module_.Enter();
  ASSERT_NE(factory_, nullptr);
  EXPECT_EQ(factory_->countClasses(), 1);
  const PClassInfo2 after = ClassInfo2();
  EXPECT_EQ(std::memcmp(&before, &after, sizeof(PClassInfo2)), 0);
}

TEST_F(Vst3Host, FactoryAndClassInformationInBothStringWidths) {
  PFactoryInfo factoryInfo{};
  EXPECT_EQ(factory_->getFactoryInfo(&factoryInfo), kResultOk);
  EXPECT_EQ(Field(factoryInfo.vendor), "Quillumbra");
  EXPECT_EQ(factoryInfo.flags, PFactoryInfo::kUnicode);
  ASSERT_EQ(factory_->countClasses(), 1);

  // The identifier: two framework words, then the codes "Qlmb" and "Z318".
  const Uid expectedId = Uid::FromWords(0xF2AEE70D, 0x00DE4F4E, 0x516C6D62, 0x5A333138);
  PClassInfo info{};
  ASSERT_EQ(factory_->getClassInfo(0, &info), kResultOk);
  EXPECT_EQ(std::memcmp(info.cid, expectedId.data, 16), 0);
  EXPECT_EQ(info.cardinality, PClassInfo::kManyInstances);
  EXPECT_EQ(Field(info.category), "Audio Module Class");
  EXPECT_EQ(Field(info.name), "Z318ME");

  const PClassInfo2 info2 = ClassInfo2();
  EXPECT_EQ(std::memcmp(info2.cid, expectedId.data, 16), 0);
  EXPECT_EQ(info2.classFlags, static_cast<uint32>(kSimpleModeSupported));
  EXPECT_EQ(Field(info2.subCategories), "Fx|EQ");
  EXPECT_EQ(Field(info2.vendor), "");
  EXPECT_EQ(Field(info2.version), "5.0.0");
  EXPECT_EQ(Field(info2.sdkVersion), "VST 3.6.12");

  auto* factory3 = Query<IPluginFactory3>(factory_);
  ASSERT_NE(factory3, nullptr);
  PClassInfoW infoW{};
  ASSERT_EQ(factory3->getClassInfoUnicode(0, &infoW), kResultOk);
  EXPECT_EQ(std::memcmp(infoW.cid, expectedId.data, 16), 0);
  EXPECT_EQ(Field(infoW.category), "Audio Module Class");
  EXPECT_EQ(Field(infoW.name), u"Z318ME");
  EXPECT_EQ(Field(infoW.subCategories), "Fx|EQ");
  EXPECT_EQ(Field(infoW.version), u"5.0.0");
  EXPECT_EQ(Field(infoW.sdkVersion), u"VST 3.6.12");
  EXPECT_EQ(infoW.classFlags, info2.classFlags);

  // Refusals: bad index or null record, and a host context it has no use for.
  EXPECT_EQ(factory_->getClassInfo(1, &info), kInvalidArgument);
  EXPECT_EQ(factory_->getClassInfo(-1, &info), kInvalidArgument);
  EXPECT_EQ(factory_->getClassInfo(0, nullptr), kInvalidArgument);
  EXPECT_EQ(factory3->getClassInfoUnicode(1, &infoW), kInvalidArgument);
  EXPECT_EQ(factory3->setHostContext(nullptr), kNotImplemented);
  factory3->release();
}

TEST_F(Vst3Host, CreationRefusesUnknownClassesAndInterfaces) {
  const PClassInfo2 info = ClassInfo2();
  TUID otherClass;
  std::memcpy(otherClass, info.cid, 16);
  otherClass[15] ^= 1;
  void* obj = &obj;
  EXPECT_EQ(factory_->createInstance(otherClass, IAudioProcessor::iid.data, &obj), kNoInterface);
  EXPECT_EQ(obj, nullptr);
  obj = &obj;
  EXPECT_EQ(factory_->createInstance(info.cid, IPlugView::iid.data, &obj), kNoInterface);
  EXPECT_EQ(obj, nullptr);
}

TEST_F(Vst3Host, OneObjectAnswersEveryInterfaceAndCountsBackToZero) {
  IAudioProcessor* processor = CreateProcessor();
  ASSERT_NE(processor, nullptr);
  // Only the host's reference exists: one more and one less.
  EXPECT_EQ(processor->addRef(), 2u);
  EXPECT_EQ(processor->release(), 1u);

  auto* identity = Query<FUnknown>(processor);
  ASSERT_NE(identity, nullptr);
  std::vector<FUnknown*> held{identity};
  for (const Uid* id : {&IComponent::iid, &IAudioProcessor::iid, &IEditController::iid, &IEditController2::iid,
                        &IUnitInfo::iid, &IPluginBase::iid}) {
    void* obj = nullptr;
    ASSERT_EQ(processor->queryInterface(id->data, &obj), kResultOk);
    auto* unknown = static_cast<FUnknown*>(obj);
    held.push_back(unknown);
    // Every interface leads back to the same identity.
    auto* back = Query<FUnknown>(unknown);
    EXPECT_EQ(back, identity);
    back->release();
  }
  // One reference per successful query, each given back.
  EXPECT_EQ(processor->addRef(), 1u + held.size() + 1u);
  processor->release();

  for (const Uid* id : {&IConnectionPoint::iid, &IPluginFactory::iid, &IPlugView::iid}) {
    void* obj = &obj;
    EXPECT_EQ(processor->queryInterface(id->data, &obj), kNoInterface);
    EXPECT_EQ(obj, nullptr);
  }
  for (FUnknown* unknown : held) unknown->release();
  EXPECT_EQ(processor->release(), 0u);
}

TEST_F(Vst3Instance, FlushWithoutBuffersAppliesParameterChanges) {
  PrepareProcessing(44100.0);
  Activate(true);
  ParamChanges changes;
  changes.Add(0, {{0, 0.75}});  // "L/M Low Gain", -15..15 dB: +7.5 dB
  ProcessData data = vst3test::Data<float>(nullptr, nullptr, 0, &changes);
  EXPECT_EQ(processor_->process(data), kResultOk);
  EXPECT_DOUBLE_EQ(controller_->getParamNormalized(0), 0.75);

  // The variant that keeps the bus arrays but gives them no channels.
  StereoBlock block(0);
  block.in.bus.numChannels = block.out.bus.numChannels = 0;
  block.in.bus.channelBuffers32 = block.out.bus.channelBuffers32 = nullptr;
  data = block.Data(0);
  EXPECT_EQ(processor_->process(data), kResultOk);
  Activate(false);
}

TEST_F(Vst3Instance, TerminateThenInitializeGivesAUsableObject) {
  for (int round = 0; round < 3; ++round) {
    SCOPED_TRACE(round);
    PrepareProcessing(48000.0);
    Activate(true);
    StereoBlock block(64);
    ProcessData data = block.Data(64);
    EXPECT_EQ(processor_->process(data), kResultOk);
    EXPECT_TRUE(block.OutputFinite(64));
    Activate(false);
    ASSERT_EQ(component_->terminate(), kResultOk);
    ASSERT_EQ(component_->initialize(&host_), kResultOk);
    // Buses and parameters are there again.
    EXPECT_EQ(component_->getBusCount(kAudio, kInput), 1);
    EXPECT_EQ(component_->getBusCount(kAudio, kOutput), 1);
    EXPECT_GT(controller_->getParameterCount(), 0);
  }
  EXPECT_EQ(component_->initialize(&host_), kResultFalse);
}

TEST_F(Vst3Instance, EverySampleRateOnOneInstanceGivesFiniteOutput) {
  for (const SampleRate rate : {22050.0, 32000.0, 44100.0, 48000.0, 88200.0, 96000.0, 192000.0, 384000.0,
                                1234.5678, 12345.678, 123456.78, 1234567.8}) {
    SCOPED_TRACE(rate);
    PrepareProcessing(rate);
    Activate(true);
    // Boost and cut where the filters have the most to do.
    ParamChanges changes;
    for (ParamID id = 0; id < 6; ++id) changes.Add(id, {{0, id % 2 ? 1.0 : 0.0}});
    StereoBlock block(512);
    ProcessData data = block.Data(512);
    data.inputParameterChanges = &changes;
    for (int i = 0; i < 8; ++i) {
      ASSERT_EQ(processor_->process(data), kResultOk);
      EXPECT_TRUE(block.OutputFinite(512));
      data.inputParameterChanges = nullptr;
    }
    Activate(false);
  }
}

TEST_F(Vst3Instance, BlockSizesFromZeroToTheMaximum) {
  PrepareProcessing(44100.0);
  Activate(true);
  std::mt19937 random(318);
  std::vector<int32> sizes{0, 1, kMaxBlock};
  for (int i = 0; i < 40; ++i) sizes.push_back(std::uniform_int_distribution<int32>(0, kMaxBlock)(random));
  StereoBlock block(kMaxBlock);
  for (const int32 frames : sizes) {
    SCOPED_TRACE(frames);
    std::fill(block.out.data[0].begin(), block.out.data[0].end(), -7.0f);
    ProcessData data = block.Data(frames);
    ASSERT_EQ(processor_->process(data), kResultOk);
    EXPECT_TRUE(block.OutputFinite(frames));
    // Nothing past the block is touched.
    if (frames < kMaxBlock) {
      EXPECT_EQ(block.out.data[0][static_cast<size_t>(frames)], -7.0f);
    }
  }
  Activate(false);
}

#if !defined(_WIN32)
// The Linux module has no editor window, so it offers no view: hosts show
// their own parameter view instead of an empty one.
TEST_F(Vst3Instance, OffersNoEditorViewWithoutAWindow) {
  EXPECT_EQ(controller_->createView("editor"), nullptr);
}
#endif
