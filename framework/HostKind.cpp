#include "framework/HostKind.h"

#include <cctype>
#include <cstdint>
#include <cstring>

namespace {
struct Keyword {
  const char* text;
  HostKind kind;
};

// Tested in this order: the order is the tie-break between keywords.
constexpr Keyword kKeywords[] = {
    {"cubase", HostKind::Cubase},
    {"reaper", HostKind::Reaper},
    {"nuendo", HostKind::Nuendo},
    {"cakewalk", HostKind::Cakewalk},
    {"samplitude", HostKind::Samplitude},
    {"fruity", HostKind::Fruity},
    {"live", HostKind::Live},
    {"melodyne", HostKind::Melodyne},
    {"vstmanlib", HostKind::VstManLib},
    {"aulab", HostKind::AuLab},
    {"garageband", HostKind::GarageBand},
    {"forte", HostKind::Forte},
    {"chainer", HostKind::Chainer},
    {"audition", HostKind::Audition},
    {"orion", HostKind::Orion},
    {"sawstudio", HostKind::SawStudio},
    {"logic", HostKind::Logic},
    {"digital", HostKind::Digital},
    {"audiomulch", HostKind::AudioMulch},
    {"presonus", HostKind::PreSonus},
    {"vst3plugintesthost", HostKind::Vst3PluginTestHost},
    {"protools", HostKind::ProTools},
    {"ardour", HostKind::Ardour},
    {"openmpt", HostKind::OpenMpt},
    {"renoise", HostKind::Renoise},
    {"standalone", HostKind::Standalone},
};

constexpr size_t kWorkBufferSize = 256;
}  // namespace

HostKind LookUpHostKind(const char* productText) {
  if (!productText) return HostKind::Unmatched;
  // Longer texts are cut to what the work buffer holds.
  char lower[kWorkBufferSize];
  size_t n = 0;
  for (; n < kWorkBufferSize - 1 && productText[n] != '\0'; ++n) {
    lower[n] = static_cast<char>(std::tolower(static_cast<unsigned char>(productText[n])));
  }
  lower[n] = '\0';
  for (const Keyword& keyword : kKeywords) {
    if (std::strstr(lower, keyword.text)) return keyword.kind;
  }
  return HostKind::Unmatched;
}

int32_t DecodeVst2HostVersion(int64_t decimalVersion) {
  // Hosts answer major·10000 + minor·100 + patch. A negative answer, or one whose
  // major part does not fit the packing's signed upper half, is no version.
  if (decimalVersion < 0) return 0;
  const int64_t major = decimalVersion / 10000;
  const int64_t minor = (decimalVersion % 10000) / 100;
  const int64_t patch = decimalVersion % 100;
  if (major > INT32_MAX / 65536) return 0;
  return static_cast<int32_t>(major * 65536 + minor * 256 + patch);
}

HostKind IdentifyVst2Host(const Vst2HostQueries& host, int32_t* hostVersion) {
  // The host writes into a zeroed buffer; its last byte stays the terminator
  // whatever the host left there.
  char product[kWorkBufferSize] = {};
  if (host.getProductString) host.getProductString(host.context, product, sizeof product);
  product[sizeof product - 1] = '\0';
  int32_t version = 0;
  if (product[0] != '\0' && host.getVendorVersion) {
    version = DecodeVst2HostVersion(host.getVendorVersion(host.context));
  }
  if (hostVersion) *hostVersion = version;
  return LookUpHostKind(product);
}
