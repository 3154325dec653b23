// The title screen's pictures and the new-record banner: the overlays whose
// key-coloured pixels let the backdrop show through.
#pragma once

#include "make_assets/canvas.h"

namespace assets {

Canvas MakeFront();         // 240 x 240, the moth and the name as windows
Canvas MakeTitlePanel();    // 240 x 80, "tap to start"
Canvas MakeRecordBanner();  // 240 x 120: key, black outline, letters

}  // namespace assets
