// Writes a bundle's moduleinfo.json from what the built module's factory
// answers, so the file hosts scan quickly can never disagree with the module.
//   Vst3ModuleInfo <module> <output.json>
#include <cstdio>
#include <string>

#include "vst3/tools/Vst3ModuleLoader.h"

using namespace vst3;

namespace {
// A fixed-size record field as text, bounded by the field's size.
template <size_t N>
std::string Field(const char8 (&field)[N]) {
  size_t n = 0;
  while (n < N && field[n] != 0) ++n;
  return std::string(field, n);
}

std::string Json(const std::string& text) {
  std::string out = "\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof(escaped), "\\u%04x", byte);
      out += escaped;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

std::string Bool(bool value) { return value ? "true" : "false"; }

// The platform-neutral 32-digit form: the four words, whatever the byte image.
std::string ClassIdText(const TUID cid) {
  char text[33];
  for (int n = 0; n < 16; ++n) std::snprintf(text + 2 * n, 3, "%02X", static_cast<uint8>(cid[Uid::kImageIndex[n]]));
  return text;
}

std::string SubCategories(const std::string& joined) {
  std::string out = "[";
  size_t start = 0;
  while (start <= joined.size()) {
    const size_t bar = joined.find('|', start);
    const size_t end = bar == std::string::npos ? joined.size() : bar;
    if (out.size() > 1) out += ", ";
    out += Json(joined.substr(start, end - start));
    if (bar == std::string::npos) break;
    start = bar + 1;
  }
  return out + "]";
}

std::string ModuleInfo(const std::string& name, IPluginFactory* factory) {
  PFactoryInfo info{};
  factory->getFactoryInfo(&info);
  IPluginFactory2* factory2 = nullptr;
  factory->queryInterface(IPluginFactory2::iid.data, reinterpret_cast<void**>(&factory2));

  std::string classes;
  std::string version;
  for (int32 i = 0; factory2 && i < factory->countClasses(); ++i) {
    PClassInfo2 c{};
    if (factory2->getClassInfo2(i, &c) != kResultOk) continue;
    if (version.empty()) version = Field(c.version);
    if (!classes.empty()) classes += ",\n";
    classes += "    {\n      \"CID\": " + Json(ClassIdText(c.cid)) + ",\n      \"Category\": " +
               Json(Field(c.category)) + ",\n      \"Name\": " + Json(Field(c.name)) +
               ",\n      \"Vendor\": " + Json(Field(c.vendor)) + ",\n      \"Version\": " + Json(Field(c.version)) +
               ",\n      \"SDKVersion\": " + Json(Field(c.sdkVersion)) + ",\n      \"Sub Categories\": " +
               SubCategories(Field(c.subCategories)) + ",\n      \"Class Flags\": " + std::to_string(c.classFlags) +
               ",\n      \"Cardinality\": " + std::to_string(c.cardinality) + ",\n      \"Snapshots\": []\n    }";
  }
  if (factory2) factory2->release();

  return "{\n  \"Name\": " + Json(name) + ",\n  \"Version\": " + Json(version) +
         ",\n  \"Factory Info\": {\n    \"Vendor\": " + Json(Field(info.vendor)) + ",\n    \"URL\": " +
         Json(Field(info.url)) + ",\n    \"E-Mail\": " + Json(Field(info.email)) +
         ",\n    \"Flags\": {\n      \"Unicode\": " + Bool(info.flags & PFactoryInfo::kUnicode) +
         ",\n      \"Classes Discardable\": " + Bool(info.flags & PFactoryInfo::kClassesDiscardable) +
         ",\n      \"Component Non Discardable\": " + Bool(info.flags & PFactoryInfo::kComponentNonDiscardable) +
         "\n    }\n  },\n  \"Compatibility\": [],\n  \"Classes\": [\n" + classes + "\n  ]\n}\n";
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: Vst3ModuleInfo <module> <bundle name> <output.json>\n");
    return 2;
  }
  Vst3ModuleLoader module(argv[1]);
  if (!module.Loaded()) {
    std::fprintf(stderr, "Vst3ModuleInfo: cannot load %s: %s\n", argv[1], module.Error().c_str());
    return 1;
  }
  IPluginFactory* factory = module.Enter();
  if (!factory) {
    std::fprintf(stderr, "Vst3ModuleInfo: %s gives no factory\n", argv[1]);
    return 1;
  }
  const std::string json = ModuleInfo(argv[2], factory);
  factory->release();
  module.Unload();

  FILE* out = std::fopen(argv[3], "wb");
  if (!out || std::fwrite(json.data(), 1, json.size(), out) != json.size() || std::fclose(out) != 0) {
    std::fprintf(stderr, "Vst3ModuleInfo: cannot write %s\n", argv[3]);
    return 1;
  }
  return 0;
}
