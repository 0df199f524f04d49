// The font descriptions an adapter keeps for the script's drawing: one per
// face, made on first use and kept until the adapter goes (they outlive
// editors, so a reopened editor finds them again). [gui]
#pragma once

#include <vector>

namespace VSTGUI {
class CDrawContext;
class CFontDesc;
}  // namespace VSTGUI

namespace morvox {

// Selects a font of `face` in `context`, from the cache or newly added to
// it; 0 without a context or face.
int SelectCachedFont(std::vector<VSTGUI::CFontDesc*>& cache, VSTGUI::CDrawContext* context, const char* face,
                     int size, int style);
// Drops the cache's reference to each description and empties it.
void ReleaseCachedFonts(std::vector<VSTGUI::CFontDesc*>& cache);

}  // namespace morvox
