// Every identifier the binding declares, byte for byte as hosts send it: the
// COM order on Windows, four big-endian words elsewhere. A wrong word or a
// wrong order makes every host query fail, so each is checked here.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "vst3/interface/Vst3Interface.h"

using namespace vst3;

namespace {
struct KnownId {
  const char* name;
  Uid uid;
  const char* windows;
  const char* linux;
};

const KnownId kKnownIds[] = {
    {"FUnknown", FUnknown::iid, "0000000000000000C000000000000046", "0000000000000000C000000000000046"},
    {"IPluginBase", IPluginBase::iid, "DB8D88226E15AE458358B34808190625", "22888DDB156E45AE8358B34808190625"},
    {"IPluginFactory", IPluginFactory::iid, "1C814D7A11521F4AAED9D2EE0B43BF9F", "7A4D811C52114A1FAED9D2EE0B43BF9F"},
    {"IPluginFactory2", IPluginFactory2::iid, "50B607004BF20B4CA464EDB9F00B2ABB", "0007B650F24B4C0BA464EDB9F00B2ABB"},
    {"IPluginFactory3", IPluginFactory3::iid, "ABA2554523C1574E9B12291036878931", "4555A2ABC1234E579B12291036878931"},
    {"IComponent", IComponent::iid, "31FF31E8D5F20143928EBBEE25697802", "E831FF31F2D54301928EBBEE25697802"},
    {"IAudioProcessor", IAudioProcessor::iid, "993F0442DAB73C45A569E79D9AAEC33D", "42043F99B7DA453CA569E79D9AAEC33D"},
    {"IEditController", IEditController::iid, "E3BBD7DC42778D44A874AACC979C759E", "DCD7BBE37742448DA874AACC979C759E"},
    {"IEditController2", IEditController2::iid, "59FE4E7F20F36749AC27A3AEAFB63038", "7F4EFE59F3204967AC27A3AEAFB63038"},
    {"IUnitInfo", IUnitInfo::iid, "B5D64B3D3A91D24FA886E768A5EB92C1", "3D4BD6B5913A4FD2A886E768A5EB92C1"},
    {"IConnectionPoint", IConnectionPoint::iid, "6F15A4706E6E2640989148BFAA60D8D1", "70A4156F6E6E4026989148BFAA60D8D1"},
    {"IMessage", IMessage::iid, "3B036F93C0C6DB47BB0882F813C1E613", "936F033BC6C047DBBB0882F813C1E613"},
    {"IAttributeList", IAttributeList::iid, "EB0A5F1E7FCC3345A254401138AD5EE4", "1E5F0AEBCC7F4533A254401138AD5EE4"},
    {"IPlugView", IPlugView::iid, "0725C35B60D0EA49A6151B522B755B29", "5BC32507D06049EAA6151B522B755B29"},
    {"IPlugFrame", IPlugFrame::iid, "01AF7F36A9AF93468D4DA2A0ED0882A3", "367FAF01AFA946938D4DA2A0ED0882A3"},
    {"IBStream", IBStream::iid, "A26EBFC3993052479B6BF9901EE33E9B", "C3BF6EA2309947529B6BF9901EE33E9B"},
    {"ISizeableStream", ISizeableStream::iid, "9E54F9042FE06E4E87E86A8747F4E17F", "04F9549EE02F4E6E87E86A8747F4E17F"},
    {"IParameterChanges", IParameterChanges::iid, "639677A4B60B564AB44384A8466FEB9D", "A47796630BB64A56B44384A8466FEB9D"},
    {"IParamValueQueue", IParamValueQueue::iid, "183A260107ED6F4F98C9D3564686F9BA", "01263A18ED074F6F98C9D3564686F9BA"},
    {"IComponentHandler", IComponentHandler::iid, "A3BEA093D00BDB458E890B0CC1E46AC6", "93A0BEA30BD045DB8E890B0CC1E46AC6"},
    {"IComponentHandler2", IComponentHandler2::iid, "B3B440F060A3EC45ABCDC045B4D5A2CC", "F040B4B3A36045ECABCDC045B4D5A2CC"},
    {"IComponentHandler3", IComponentHandler3::iid, "1716F1696BD20D40A4B6B9647B6EBBAB", "69F11617D26B400DA4B6B9647B6EBBAB"},
    {"IContextMenu", IContextMenu::iid, "63C8932E9C0C884597DBECF5AD17817D", "2E93C8630C9C458897DBECF5AD17817D"},
    {"IContextMenuTarget", IContextMenuTarget::iid, "752EDF3CD3854441BF86D36BD7C4894D", "3CDF2E7585D34144BF86D36BD7C4894D"},
    {"IHostApplication", IHostApplication::iid, "CC95E5582DDB69498B6AAF8C36A664E5", "58E595CCDB2D49698B6AAF8C36A664E5"},
    {"IEventList", IEventList::iid, "14422C3A6334FE49B2C4F397B9695A44", "3A2C4214346349FEB2C4F397B9695A44"},
    {"IUnitHandler", IUnitHandler::iid, "F847514B54466B488DAB30BA163A3C56", "4B5147F84654486B8DAB30BA163A3C56"},
    {"IDependent", IDependent::iid, "AE7A2BF572DE6D418AF18ACE9DD7BD5E", "F52B7AAEDE72416D8AF18ACE9DD7BD5E"},
#if !defined(_WIN32)
    {"Linux::IEventHandler", Linux::IEventHandler::iid, "", "561E65C913A0496F813A2C35654D7983"},
    {"Linux::ITimerHandler", Linux::ITimerHandler::iid, "", "10BDD94F41424774821FAD8FECA72CA9"},
    {"Linux::IRunLoop", Linux::IRunLoop::iid, "", "18C3536697764F1A9C5B83857A871389"},
#endif
};

std::string Hex(const Uid& uid) {
  std::string text;
  char byte[3];
  for (const int8 b : uid.data) {
    std::snprintf(byte, sizeof(byte), "%02X", static_cast<unsigned>(static_cast<uint8>(b)));
    text += byte;
  }
  return text;
}
}  // namespace

TEST(Vst3InterfaceId, EveryIdentifierHasThePublishedByteImageOfThisPlatform) {
  for (const KnownId& id : kKnownIds) {
    SCOPED_TRACE(id.name);
#if defined(_WIN32)
    EXPECT_EQ(Hex(id.uid), id.windows);
#else
    EXPECT_EQ(Hex(id.uid), id.linux);
#endif
  }
}

TEST(Vst3InterfaceId, IdentifiersMatchOnlyThemselves) {
  for (const KnownId& a : kKnownIds) {
    for (const KnownId& b : kKnownIds) {
      EXPECT_EQ(IidEqual(a.uid.data, b.uid.data), &a == &b) << a.name << " vs " << b.name;
    }
    EXPECT_FALSE(IidEqual(a.uid.data, nullptr));
  }
}
