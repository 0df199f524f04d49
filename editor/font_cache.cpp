#include "editor/font_cache.h"

#include "gui/cdraw_context.h"
#include "gui/cfont_desc.h"
#include "runtime/text_ops.h"

namespace morvox {

int SelectCachedFont(std::vector<VSTGUI::CFontDesc*>& cache, VSTGUI::CDrawContext* context, const char* face,
                     int size, int style) {
  if (context == nullptr || face == nullptr) return 0;
  VSTGUI::CFontDesc* font = nullptr;
  for (auto it = cache.rbegin(); it != cache.rend(); ++it) {
    // Face names compare ignoring case, as the Windows runtime's _stricmp does.
    if ((*it)->getName() != nullptr && TextEqualIgnoringCase((*it)->getName(), face)) {
      font = *it;
      break;
    }
  }
  if (font == nullptr) {
    font = new VSTGUI::CFontDesc(face, 0, 0);
    cache.push_back(font);
  }
  context->setFont(font, size, style);
  return 1;
}

void ReleaseCachedFonts(std::vector<VSTGUI::CFontDesc*>& cache) {
  for (VSTGUI::CFontDesc* font : cache) font->forget();
  cache.clear();
}

}  // namespace morvox
