// The equaliser as the VST 2.4 entry point creates it.
#include "plugin/ZAVRO.h"

IPlugVST* CreateVst2Plugin(const IPlugInstanceInfo& instanceInfo) {
  return new ZAVRO(instanceInfo);
}
