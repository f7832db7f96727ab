#pragma once
// The platform-neutral editor: the ordered list of controls of the front panel
// and the value flow between the controls and the plug-in. The window back end
// derives from it.

#include <memory>
#include <vector>

#include "graphics/IControl.h"
#include "lice/LICE_SysBitmap.h"

class IPlugBase;

class IGraphics {
public:
  IGraphics(IPlugBase* plug, int width, int height, int frameRate);
  virtual ~IGraphics();
  IGraphics(const IGraphics&) = delete;
  IGraphics& operator=(const IGraphics&) = delete;

  // Appends and takes ownership; answers the control's index.
  int AddControl(IControl* control);
  int ControlCount() const { return static_cast<int>(controls_.size()); }
  IControl* GetControl(int i) const;

  // User-interface thread: makes the back buffer, width x height, that every
  // control draws into; runs when the editor is attached and on resize.
  void CreateSurfaces();
  LICE_SysBitmap* BackBuffer() const { return backBuffer_.get(); }

  // Any thread: hands a plug-in value to every control bound to the parameter.
  // Writes only control values and dirty flags; takes no lock.
  void SetParamFromPlug(int paramIdx, double value, bool normalized);

  IPlugBase* Plug() const { return plug_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  int FrameRate() const { return frameRate_; }

private:
  IPlugBase* plug_;
  std::vector<std::unique_ptr<IControl>> controls_;
  int width_;
  int height_;
  int frameRate_;
  std::unique_ptr<LICE_SysBitmap> backBuffer_;
};
