#pragma once
// The platform-neutral editor: the ordered list of controls of the front panel,
// the back buffer they draw into, the rules by which a region is repainted and
// by which mouse and keyboard input reaches a control, and the value flow
// between the controls and the plug-in. A window back end derives from it and
// supplies the operations declared abstract below.
//
// Everything runs on the UI thread (the thread that owns the editor window),
// except SetParamFromPlug. The control list changes only under the plug-in's
// instance lock, because SetParamFromPlug walks it under that lock from the
// audio thread. The image and font caches are shared by every editor of the
// module, each under its own module-wide lock.

#include <memory>
#include <string>
#include <vector>

#include "graphics/IControl.h"
#include "graphics/IGraphicsStructs.h"
#include "lice/LICE_SysBitmap.h"

class IParamDef;
class IPlugBase;
class LICE_IFont;

class IGraphics {
public:
  IGraphics(IPlugBase* plug, int width, int height, int frameRate);
  IGraphics(const IGraphics&) = delete;
  IGraphics& operator=(const IGraphics&) = delete;

  // --- Virtual operations, in slot order ---------------------------------

  // UI thread, no lock: copies region of the back buffer to the window.
  virtual bool PresentRegion(const IBounds& region) = 0;
  // UI thread, no lock: DrawTextIn in measure mode.
  virtual bool MeasureText(const ITextStyle& style, const char* text, IBounds& rect);
  // UI thread, no lock: closes an open text entry without using its text.
  virtual void CancelTextEntry() = 0;
  // UI thread; takes the instance lock to empty the list and to tell the
  // plug-in (ApplyEditorSize) the new size. A new size empties
  // the editor (controls and mouse state) and rebuilds the back buffer; the
  // owner rebuilds the panel. Sizes below 1 x 1 are refused: there is no window
  // of that size.
  virtual void ResizeEditor(int width, int height);
  // UI thread, no lock, like every operation below that names no thread.
  virtual bool HasWindow() const { return false; }
  virtual const char* BackendName() const { return ""; }
  // Answers the button the user pressed.
  virtual int ShowMessageBox(const char* text, const char* caption, int type) = 0;
  // The menu (or submenu) holding the chosen item, with its chosen index set;
  // null when nothing was chosen.
  virtual IChoiceMenu* ShowPopupMenu(IChoiceMenu& menu, const IBounds& rect) = 0;
  // Opens a one-line text entry for control (param may be null); the committed
  // text reaches the control through CommitEnteredText.
  virtual void ShowTextEntry(IControl* control, const ITextStyle& style, const IBounds& rect,
                             const char* initialText, const IParamDef* param) = 0;
  virtual void HostExecutablePath(std::string& path) = 0;
  virtual void PluginModulePath(std::string& path) = 0;
  virtual void DesktopPath(std::string& path) = 0;
  virtual void AppDataPath(std::string& path, bool systemWide) = 0;
  virtual void UserAppDataPath(std::string& path) = 0;
  // Action 1 saves, anything else opens; extensions is a space-separated list.
  virtual void PromptForFile(std::string& fileName, int action, std::string& folder,
                             const char* extensions) = 0;
  // Replaces red, green and blue on OK (alpha stays); false on cancel.
  virtual bool PromptForColour(IColorARGB& colour, const char* prompt) = 0;
  virtual bool OpenUrl(const char* address, const char* caption, const char* confirmText,
                       const char* errorText) = 0;
  virtual void* ReservedQuery() { return nullptr; }
  // Creates the editor window inside parent; null on failure.
  virtual void* OpenWindow(void* parent) = 0;
  virtual void ReservedHook() {}
  virtual void CloseWindow() = 0;
  virtual void* WindowHandle() const = 0;
  virtual bool ReadClipboardText(std::string& text) = 0;
  // Deletes the key catcher, the controls from the last to the first and the
  // back buffer; images and fonts stay in the module-wide caches.
  virtual ~IGraphics();
  virtual void ConcealCursor() {}
  virtual void RevealCursor() {}
  virtual void ReservedBackendHook() = 0;
  // Decodes the image resource id (file name for its type); null when there is
  // none. The caller owns the result.
  virtual LICE_IBitmap* LoadImageResource(int id, const char* fileName) = 0;

  // --- Panel ---------------------------------------------------------------

  // UI thread; takes the instance lock. Appends and takes ownership; answers
  // the control's index (-1 for no control).
  int AddControl(IControl* control);
  // UI thread; takes the instance lock. An opaque still image at (0, 0)
  // without parameter, as index 0.
  void InsertBackground(const IImageStrip& strip);
  // UI thread, no lock (the cache takes its own): the image, decoded once per
  // module. A missing image gives a strip of size 0 x 0 that draws nothing.
  IImageStrip LoadImageStrip(int id, const char* fileName, int frames);
  int ControlCount() const { return static_cast<int>(controls_.size()); }
  // UI thread, or any thread under the instance lock. Null for an index
  // outside the list.
  IControl* GetControl(int i) const;
  // UI thread, no lock. Takes ownership: receives keys no panel control takes.
  void SetKeyCatcher(IControl* catcher);
  IControl* KeyCatcher() const { return keyCatcher_.get(); }

  // --- Drawing -------------------------------------------------------------

  // UI thread, no lock: makes the back buffer, width x height, that every
  // control draws into; runs when the editor is attached and on resize.
  void CreateSurfaces();
  // UI thread, no lock: the union of the rectangles of controls that need
  // redrawing; false when none does.
  bool CollectDirtyArea(IBounds& area) const;
  // UI thread, no lock: paints the controls meeting region and presents it.
  bool PaintRegion(const IBounds& region);
  // UI thread, no lock: blits the strip's pixels from (sx, sy) to dest, clipped
  // to the paint area; blend may be null.
  bool DrawImageFrame(const IImageStrip& strip, const IBounds& dest, int sx, int sy, const IBlendSpec* blend);
  // UI thread, no lock: draws text within rect, or with measure sets rect to the
  // text's extent for the style's alignment. False when no font could be made.
  bool DrawTextIn(ITextStyle& style, const char* text, IBounds& rect, bool measure);
  // Any thread (takes the font cache's lock): the shared font for the style,
  // also stored in the style; null when the system has no such font.
  LICE_IFont* FindOrCreateFont(ITextStyle& style);

  // --- Values --------------------------------------------------------------

  // Any thread, under the instance lock (or on the UI thread): hands a plug-in
  // value to every control bound to the parameter. Writes only control values
  // and flags, all atomic; the timer repaints. Values for no parameter of the
  // plug-in, and values that are no number, are dropped.
  void SetParamFromPlug(int paramIdx, double value, bool normalized);
  // UI thread; takes the instance lock to read the value. A menu for
  // enumerations (and booleans with texts), a text entry otherwise. The menu
  // ends the edit gesture of the press that opened it.
  void PromptForParamValue(IControl* control, const IParamDef* param, const IBounds* rect);
  // UI thread, no lock: a committed text entry. With a parameter the text
  // becomes its value: for booleans and enumerations the display text it
  // names, else (and for every other kind) the number it starts with; a text
  // that is neither changes nothing. Without one the control receives the text.
  void CommitEnteredText(IControl* control, const IParamDef* param, const char* text);

  // --- Input ---------------------------------------------------------------

  // UI thread, no lock, like the handlers below: the top-most control that is
  // neither hidden nor greyed and is hit at (x, y), or -1.
  int FindControlAt(int x, int y) const;
  // A press on a parameter's control begins its edit gesture with the host and
  // the release ends it, each call under the instance lock. Under VST 3 a right
  // press on one shows the host's menu for the parameter instead, without it.
  void HandleMouseDown(int x, int y, const IMouseKeys& keys);
  void HandleMouseUp(int x, int y, const IMouseKeys& keys);
  void HandleDoubleClick(int x, int y, const IMouseKeys& keys);
  void HandleMouseDrag(int x, int y, const IMouseKeys& keys);
  void HandleWheel(int x, int y, const IMouseKeys& keys, int notches);
  // Answers whether hover handling is on.
  bool HandleMouseOver(int x, int y, const IMouseKeys& keys);
  void HandleMouseOut();
  // Answers whether a control took the key.
  bool HandleKeyDown(int x, int y, int keyCode);
  // Forgets the capturing control and the last mouse position.
  void ResetMouseState();

  // --- Fields' accessors ---------------------------------------------------
  IPlugBase* Plug() const { return plug_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  int FrameRate() const { return frameRate_; }
  // Milliseconds between timer ticks.
  int TimerPeriodMs() const { return frameRate_ > 0 ? 1000 / frameRate_ : 1000; }
  const IBounds& PaintArea() const { return paintArea_; }
  LICE_SysBitmap* BackBuffer() const { return backBuffer_.get(); }
  int Capture() const { return capture_; }
  int Hovered() const { return hovered_; }
  int LastX() const { return lastX_; }
  int LastY() const { return lastY_; }
  bool HoverHandling() const { return hoverHandling_; }
  void SetHoverHandling(bool on) { hoverHandling_ = on; }
  bool StrictDrawing() const { return strictDrawing_; }
  void SetStrictDrawing(bool strict) { strictDrawing_ = strict; }
  bool TooltipsEnabled() const { return tooltips_; }
  void SetTooltipsEnabled(bool on) { tooltips_ = on; }

protected:
  // Kinds of input that look for a control under the mouse.
  enum class MouseEvent { Down, Up, DoubleClick, Wheel, Over, Key };
  // The control an event of this kind goes to: the captured one when the kind
  // follows capture; else, searching from the top, the first control that is
  // shown, hit and not greyed (hover may reach greyed controls that ask for it).
  int RouteTarget(MouseEvent kind, int x, int y) const;
  // Ends the edit gesture a press began, if one is open.
  void EndEditGesture();
  void PaintStrict(const IBounds& region);
  void PaintChanged();
  void DeleteControls();

  IPlugBase* plug_;
  std::vector<std::unique_ptr<IControl>> controls_;
  int width_;
  int height_;
  int frameRate_;
  IBounds paintArea_;
  std::unique_ptr<LICE_SysBitmap> backBuffer_;
  int capture_ = -1;
  int hovered_ = -1;
  int lastX_ = 0;
  int lastY_ = 0;
  bool hoverHandling_ = false;
  bool strictDrawing_ = true;
  bool tooltips_ = false;
  std::unique_ptr<IControl> keyCatcher_;
  bool cursorHidden_ = false;
  int savedCursorX_ = -1;
  int savedCursorY_ = -1;
  // The parameter whose edit gesture a press began, -1 none: the release ends
  // exactly that one.
  int editParam_ = -1;
};

// Places a measured text extent w x h in rect for an alignment: left keeps the
// left edge, centred centres on rect, right (or anything else) keeps the right
// edge; the top stays.
void PlaceMeasuredText(IBounds& rect, int w, int h, int alignment);
