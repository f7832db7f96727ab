#pragma once
// The platform-neutral editor: the ordered list of controls of the front panel
// and the value flow between the controls and the plug-in. The window back end
// derives from it.

#include <memory>
#include <vector>

#include "graphics/IControl.h"

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

  // Prepares the drawing surfaces; runs when the editor is attached.
  void CreateSurfaces();

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
};
