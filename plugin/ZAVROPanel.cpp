#include "plugin/ZAVROPanel.h"

#include "framework/IParamDef.h"
#include "graphics/IGraphics.h"
#include "plugin/ZAVROLayout.h"

using namespace ZAVROLayout;

namespace {

IImageStrip LoadStrip(IGraphics& editor, int resourceId) {
  const StripDef& strip = StripOf(resourceId);
  return editor.LoadImageStrip(strip.resourceId, strip.fileName, strip.frames);
}

IControl* MakeBitmapControl(IGraphics& editor, const BitmapControlDef& def) {
  const IImageStrip strip = LoadStrip(editor, def.resourceId);
  IPlugBase* plug = editor.Plug();
  if (def.kind == ControlKind::Switch) {
    return new ISwitchControl(plug, def.left, def.top, def.paramIdx, strip, kImageBlendMethod);
  }
  return new IKnobMultiControl(plug, def.left, def.top, def.paramIdx, strip, def.direction, def.gearing);
}

ITextStyle CaptionStyle() {
  ITextStyle style;
  CopyText(style.face, kCaptionText.font, kFaceNameSize);
  style.size = kCaptionText.size;
  style.colour = IColorARGB{kCaptionText.alpha, kCaptionText.red, kCaptionText.green, kCaptionText.blue};
  style.alignment = kCaptionText.align;
  style.style = kCaptionText.style;
  return style;
}

}  // namespace

void ComposePanel(IGraphics& editor) {
  for (const BitmapControlDef& def : kBitmapControls) {
    if (def.kind == ControlKind::Background) {
      // Index 0 and an opaque copy: everything else composes over it.
      editor.InsertBackground(LoadStrip(editor, def.resourceId));
    } else {
      editor.AddControl(MakeBitmapControl(editor, def));
    }
  }
  const ITextStyle style = CaptionStyle();
  for (const CaptionDef& def : kCaptions) {
    auto* caption = new ICaptionControl(editor.Plug(), IBounds{def.left, def.top, def.right, def.bottom},
                                        def.paramIdx, style, kCaptionShowsLabel);
    caption->SetPromptDisabled(kCaptionPromptDisabled);
    editor.AddControl(caption);
  }
}
