#pragma once
// The host application that loaded the plug-in, identified once from its product text.

#include <cstdint>

enum class HostKind : int32_t {
  NotIdentified = -1,
  Unmatched = 0,
  Reaper = 1,
  ProTools = 2,
  Cubase = 3,
  Nuendo = 4,
  Cakewalk = 5,
  Fruity = 7,
  Samplitude = 8,
  Live = 9,
  Melodyne = 12,
  VstManLib = 13,
  AuLab = 14,
  Forte = 15,
  Chainer = 16,
  Audition = 17,
  Orion = 18,
  SawStudio = 20,
  Logic = 21,
  GarageBand = 22,
  Digital = 23,
  Standalone = 24,
  AudioMulch = 25,
  PreSonus = 26,
  Vst3PluginTestHost = 27,
  Ardour = 28,
  Renoise = 29,
  OpenMpt = 30,
};

// The first keyword found in the lower-cased text, keywords tried in a fixed
// order that breaks ties; Unmatched when none is found or the text is null.
// Only the first 255 characters are matched.
HostKind LookUpHostKind(const char* productText);

// A VST 2.4 host's decimal version (10203 for 1.2.3) packed as major << 16 |
// minor << 8 | patch; 0 for a negative answer or a major part above 32767.
int32_t DecodeVst2HostVersion(int64_t decimalVersion);

// The two answers a VST 2.4 host gives about itself; the binding supplies them.
struct Vst2HostQueries {
  void* context = nullptr;
  // Fills a zeroed buffer of the given size with the product text.
  void (*getProductString)(void* context, char* buffer, int size) = nullptr;
  int64_t (*getVendorVersion)(void* context) = nullptr;
};

// Asks for the product text, and for the version only when the text is not empty;
// a missing query counts as an empty answer. The binding calls it once, on the UI
// thread under the instance lock, and stores both answers.
HostKind IdentifyVst2Host(const Vst2HostQueries& host, int32_t* hostVersion);
