// The test binding's editor for the product: with a panel asked for, a
// window-less editor that decodes the panel's images from the committed files,
// as the Windows modules decode them from their resources.
#include <string>
#include <vector>

#include "graphics/IGraphicsHeadless.h"
#include "lice/LICE_MemBitmap.h"
#include "lice/LICE_PNG.h"
#include "plugin/ZAVROPanel.h"
#include "tests/lice/FileBytes.h"

namespace {

class PanelFilesEditor : public IGraphicsHeadless {
public:
  using IGraphicsHeadless::IGraphicsHeadless;
  LICE_IBitmap* LoadImageResource(int id, const char* fileName) override {
    imagesRequested.push_back(id);
    const std::vector<unsigned char> bytes = testing_lice::ReadFileBytes(std::string(ZAVRO_SOURCE_DIR) + "/" + fileName);
    if (bytes.empty()) return nullptr;
    return DecodePngImage(bytes.data(), static_cast<int>(bytes.size()));
  }
};

}  // namespace

IGraphics* CreatePanelEditor(IPlugBase* plug, const IPlugInstanceInfo& instanceInfo, int width, int height,
                             int frameRate) {
  if (!instanceInfo.withPanel) return nullptr;
  return new PanelFilesEditor(plug, width, height, frameRate);
}
