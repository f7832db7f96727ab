#pragma once
// A plug-in with one parameter of each kind the editor treats differently, a
// headless editor attached to it, and generated filmstrips.

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "graphics/IGraphicsHeadless.h"
#include "lice/LICE_MemBitmap.h"
#include "tests/lice/PixelTestSupport.h"
#include "tests/support/IPlugTest.h"

namespace testing_editor {

enum { kGain, kMode, kOnOff, kTestParams };

class EditorPlug : public IPlugTest {
public:
  explicit EditorPlug(PluginApi api = PluginApi::Vst2) : IPlugTest(IPlugInstanceInfo{}, Config(), api) {
    GetParam(kGain)->InitContinuous("Gain", 0.0, -15.0, 15.0, 0.01);
    GetParam(kGain)->SetLabel("dB");
    GetParam(kMode)->InitEnum("Mode", 1, 3);
    GetParam(kMode)->AddDisplayText(0, "Low");
    GetParam(kMode)->AddDisplayText(1, "Mid");
    GetParam(kMode)->AddDisplayText(2, "High");
    GetParam(kOnOff)->InitBool("Power", false);
  }
  void ShowHostContextMenu(int paramIdx, int x, int y) override { hostMenus.push_back({paramIdx, x, y}); }
  void ApplyEditorSize(int width, int height) override {
    IPlugTest::ApplyEditorSize(width, height);
    CountUnlocked();
  }
  std::vector<std::vector<int>> hostMenus;
  // Calls towards the host that arrived without the instance lock.
  int unlockedHostCalls = 0;

private:
  // Held by the caller, the lock cannot be taken by another thread.
  void CountUnlocked() {
    std::thread([this] {
      if (!InstanceLock().try_lock()) return;
      InstanceLock().unlock();
      ++unlockedHostCalls;
    }).join();
  }
  static IPlugConfig Config() {
    IPlugConfig c;
    c.nParams = kTestParams;
    c.channelIOText = "2-2";
    return c;
  }
};

// A vertical strip whose every pixel holds its own row number (opaque), so a
// painted pixel tells which source row it came from.
inline std::unique_ptr<LICE_MemBitmap> RowNumberImage(int w, int h) {
  auto image = std::make_unique<LICE_MemBitmap>(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      image->PixelData()[y * image->RowSpan() + x] = 0xFF000000u | static_cast<LICE_pixel>(y);
  return image;
}

inline IImageStrip StripOf(LICE_IBitmap* image, int frames, bool horizontal = false) {
  IImageStrip s;
  s.image = image;
  s.width = image ? image->Width() : 0;
  s.height = image ? image->Height() : 0;
  s.frames = frames;
  s.horizontal = horizontal;
  return s;
}

inline LICE_pixel BackPixel(const IGraphics& g, int x, int y) {
  return testing_lice::GetPixel(*g.BackBuffer(), x, y);
}

// Records the calls the editor makes on it.
class ProbeControl : public IControl {
public:
  ProbeControl(IPlugBase* plug, const IBounds& rect, int paramIdx, std::vector<std::string>* log,
               const char* name)
      : IControl(plug, rect, paramIdx), log_(log), name_(name) {}
  bool Paint(IGraphics&) override { return Log("paint"); }
  void MouseDown(int, int, const IMouseKeys&) override { Log("down"); }
  void MouseUp(int, int, const IMouseKeys&) override { Log("up"); }
  void MouseDrag(int, int, int dx, int dy, const IMouseKeys&) override {
    Log("drag " + std::to_string(dx) + "," + std::to_string(dy));
  }
  void MouseDoubleClick(int, int, const IMouseKeys&) override { Log("double"); }
  void MouseWheel(int, int, const IMouseKeys&, int notches) override {
    Log("wheel " + std::to_string(notches));
  }
  bool KeyDown(int, int, int code) override { return Log("key " + std::to_string(code)); }
  void MouseOver(int, int, const IMouseKeys&) override { Log("over"); }
  void MouseOut() override { Log("out"); }
  void ReceiveEnteredText(const char* text) override { Log(std::string("text ") + text); }

private:
  bool Log(const std::string& what) {
    log_->push_back(name_ + " " + what);
    return true;
  }
  std::vector<std::string>* log_;
  std::string name_;
};

}  // namespace testing_editor
