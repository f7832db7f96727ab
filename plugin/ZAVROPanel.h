#pragma once
// The equaliser's front panel: the editor each build makes for it, and the
// composition of that editor from the layout table.

#include "plugin/ZAVROBinding.h"

class IGraphics;
class IPlugBase;

// Product constructor: the editor this build shows the panel in, width x height
// redrawn frameRate times a second, or null where the build has no window for
// it (the Linux modules, whose hosts then show their own parameter view).
// Defined once per binding.
IGraphics* CreatePanelEditor(IPlugBase* plug, const IPlugInstanceInfo& instanceInfo, int width, int height,
                             int frameRate);

// Product constructor, before the editor is attached: loads the panel's strips
// and adds its 46 controls in the layout's order, the background first.
void ComposePanel(IGraphics& editor);
