#include "framework/HostKind.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/IPlugTest.h"

namespace {

struct TextCase {
  const char* text;
  HostKind kind;
};

}  // namespace

TEST(LookUpHostKind, EveryKeywordYieldsItsKind) {
  const std::vector<TextCase> cases = {
      {"reaper", HostKind::Reaper},         {"protools", HostKind::ProTools},
      {"cubase", HostKind::Cubase},         {"nuendo", HostKind::Nuendo},
      {"cakewalk", HostKind::Cakewalk},     {"fruity", HostKind::Fruity},
      {"samplitude", HostKind::Samplitude}, {"live", HostKind::Live},
      {"melodyne", HostKind::Melodyne},     {"vstmanlib", HostKind::VstManLib},
      {"aulab", HostKind::AuLab},           {"forte", HostKind::Forte},
      {"chainer", HostKind::Chainer},       {"audition", HostKind::Audition},
      {"orion", HostKind::Orion},           {"sawstudio", HostKind::SawStudio},
      {"logic", HostKind::Logic},           {"garageband", HostKind::GarageBand},
      {"digital", HostKind::Digital},       {"standalone", HostKind::Standalone},
      {"audiomulch", HostKind::AudioMulch}, {"presonus", HostKind::PreSonus},
      {"vst3plugintesthost", HostKind::Vst3PluginTestHost},
      {"ardour", HostKind::Ardour},         {"renoise", HostKind::Renoise},
      {"openmpt", HostKind::OpenMpt},
  };
  for (const TextCase& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(LookUpHostKind(c.text), c.kind);
  }
}

TEST(LookUpHostKind, ProductTextsMatchCaseInsensitivelyAnywhere) {
  const std::vector<TextCase> cases = {
      {"Cubase VST", HostKind::Cubase},
      {"REAPER", HostKind::Reaper},
      {"Ableton Live", HostKind::Live},
      {"Studio One (PreSonus)", HostKind::PreSonus},
      {"Standalone", HostKind::Standalone},
      {"OpenMPT 1.31", HostKind::OpenMpt},
      {"Some Other Host", HostKind::Unmatched},
      {"", HostKind::Unmatched},
      {nullptr, HostKind::Unmatched},
  };
  for (const TextCase& c : cases) {
    SCOPED_TRACE(c.text ? c.text : "(null)");
    EXPECT_EQ(LookUpHostKind(c.text), c.kind);
  }
}

TEST(LookUpHostKind, KeywordOrderBreaksTies) {
  const std::vector<TextCase> cases = {
      {"Nuendo and Cubase", HostKind::Cubase},      // cubase is tried first
      {"Live inside Reaper", HostKind::Reaper},     // reaper before live
      {"Olive Editor", HostKind::Live},             // live inside a longer word
      {"Deliverance Studio", HostKind::Live},
      {"Digital Performer Logic", HostKind::Logic}, // logic before digital
      {"Standalone Renoise", HostKind::Renoise},    // standalone comes last
      {"ProTools Ardour", HostKind::ProTools},
      {"Fruity Samplitude", HostKind::Samplitude},
  };
  for (const TextCase& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(LookUpHostKind(c.text), c.kind);
  }
}

TEST(LookUpHostKind, MatchesOnlyTheFirst255Characters) {
  EXPECT_EQ(LookUpHostKind((std::string(249, 'x') + "reaper").c_str()), HostKind::Reaper);
  EXPECT_EQ(LookUpHostKind((std::string(250, 'x') + "reaper").c_str()), HostKind::Unmatched);
  // A text without a terminator is read no further than the work buffer holds.
  std::unique_ptr<char[]> unterminated(new char[255]);
  std::memset(unterminated.get(), 'q', 255);
  std::memcpy(unterminated.get() + 100, "Cubase", 6);
  EXPECT_EQ(LookUpHostKind(unterminated.get()), HostKind::Cubase);
}

TEST(DecodeVst2HostVersion, PacksMajorMinorPatch) {
  const std::vector<std::pair<int64_t, int32_t>> cases = {
      {10203, 0x010203},     {50003, 0x50003},        {0, 0},
      {99, 99},              {9999, 0x6363},          {10000, 0x10000},
      {123456, 0x0C2238},    {327679999, 0x7FFF6363}, {327680000, 0},
      {-1, 0},               {-50003, 0},             {INT64_MAX, 0},
  };
  for (const auto& [decimal, packed] : cases) {
    SCOPED_TRACE(decimal);
    EXPECT_EQ(DecodeVst2HostVersion(decimal), packed);
  }
}

namespace {

// A VST 2.4 host's answers about itself.
struct FakeHost {
  std::string product;
  bool fillWholeBuffer = false;
  int64_t vendorVersion = 0;
  int productAsked = 0;
  int versionAsked = 0;

  Vst2HostQueries Queries() {
    Vst2HostQueries q;
    q.context = this;
    q.getProductString = [](void* context, char* buffer, int size) {
      auto* host = static_cast<FakeHost*>(context);
      ++host->productAsked;
      EXPECT_EQ(size, 256);
      EXPECT_EQ(buffer[0], '\0');
      if (host->fillWholeBuffer) {
        std::memset(buffer, 'z', static_cast<size_t>(size));
      } else {
        std::memcpy(buffer, host->product.c_str(), host->product.size() + 1);
      }
    };
    q.getVendorVersion = [](void* context) {
      auto* host = static_cast<FakeHost*>(context);
      ++host->versionAsked;
      return host->vendorVersion;
    };
    return q;
  }
};

}  // namespace

TEST(IdentifyVst2Host, AnswersKindAndPackedVersion) {
  FakeHost host{"Cubase VST", false, 50003};
  int32_t version = -1;
  EXPECT_EQ(IdentifyVst2Host(host.Queries(), &version), HostKind::Cubase);
  EXPECT_EQ(version, 0x50003);
  EXPECT_EQ(host.productAsked, 1);
  EXPECT_EQ(host.versionAsked, 1);
}

TEST(IdentifyVst2Host, EmptyProductTextIsUnmatchedWithoutAskingTheVersion) {
  FakeHost host{"", false, 50003};
  int32_t version = -1;
  EXPECT_EQ(IdentifyVst2Host(host.Queries(), &version), HostKind::Unmatched);
  EXPECT_EQ(version, 0);
  EXPECT_EQ(host.versionAsked, 0);
}

TEST(IdentifyVst2Host, SurvivesAHostThatFillsTheWholeBufferOrAnswersNothing) {
  FakeHost host;
  host.fillWholeBuffer = true;
  int32_t version = -1;
  EXPECT_EQ(IdentifyVst2Host(host.Queries(), &version), HostKind::Unmatched);
  EXPECT_EQ(host.versionAsked, 1);

  Vst2HostQueries none;
  version = -1;
  EXPECT_EQ(IdentifyVst2Host(none, &version), HostKind::Unmatched);
  EXPECT_EQ(version, 0);
}

namespace {

class IdentifiedPlug : public IPlugTest {
public:
  IdentifiedPlug() : IPlugTest(IPlugInstanceInfo{}, IPlugConfig{}) {}
  using IPlugTest::SetHostIdentity;
};

}  // namespace

TEST(HostIdentity, StartsUnidentifiedAndIsStoredOnce) {
  IdentifiedPlug plug;
  EXPECT_EQ(plug.GetHostKind(), HostKind::NotIdentified);
  EXPECT_EQ(plug.HostVersion(), 0);
  plug.SetHostIdentity(HostKind::Unmatched, 0);
  plug.SetHostIdentity(HostKind::Reaper, 0x60000);
  EXPECT_EQ(plug.GetHostKind(), HostKind::Unmatched);
  EXPECT_EQ(plug.HostVersion(), 0);
}
