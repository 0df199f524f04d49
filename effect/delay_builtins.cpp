// The script built-ins the graphics section draws with: pictures by number,
// filled rectangles, numbered strings and fonts, in the current colour.
#include <algorithm>
#include <cmath>
#include <string>

#include "effect/morvox_effect.h"
#include "runtime/bitmap_holder_impl.h"
#include "runtime/graphics_primitives.h"
#include "runtime/module_files.h"
#include "runtime/script_value.h"

namespace {

int ColourByte(double component) {
  return std::clamp(morvox::ToIndex(component * 255), 0, 255);
}

}  // namespace

int TMorvoxEffect::ColourComponent(double component) {
  return ColourByte(component);
}

ImageInfo& TMorvoxEffect::LoadImage(std::int32_t number) {
  ImageInfo& image = images[number];
  if (image.holder != nullptr) return image;  // a failed load is not retried
  const auto name = FileNameTable.find(number);
  if (name == FileNameTable.end()) return image;
  ReleaseBitmapHolder(image.holder);
  image.holder = morvox::NewHolder();
  image.width = image.height = 0;
  if (morvox::LoadFromResourceNumber(image.holder, number) != 0) {
    image.width = morvox::HolderWidth(image.holder);
    image.height = morvox::HolderHeight(image.holder);
    return image;
  }
  const std::string path = morvox::ResolvePath(name->second);
  if (morvox::LoadFromFile(image.holder, path.c_str()) != 0) {
    image.width = morvox::HolderWidth(image.holder);
    image.height = morvox::HolderHeight(image.holder);
    return image;
  }
  morvox::WriteLog("Unable to load: " + path);
  return image;
}

void TMorvoxEffect::BlitImage(std::int32_t number, double, double, double sourceX, double sourceY) {
  ImageInfo& image = LoadImage(number);
  const double left = gfxX, top = gfxY, right = gfxX + image.width, bottom = gfxY + image.height;
  if (morvox::DrawHolder(plugin, image.holder, left, top, right, bottom, sourceX, sourceY) != 0) return;
  // A picture that never loaded has no size; its mark still has to show.
  constexpr double kMarkSize = 32;
  const double markRight = image.width > 0 ? right : left + kMarkSize;
  const double markBottom = image.height > 0 ? bottom : top + kMarkSize;
  morvox::SetFillColour(plugin, 255, 0, 0, 255);
  morvox::DrawRectangle(plugin, left, top, markRight, markBottom, 1);
  morvox::SetTextColour(plugin, 255, 255, 0, 255);
  morvox::DrawTextInRect(plugin, "ERROR", left, top, markRight, markBottom, false, 1);
}

void TMorvoxEffect::FillRect(double x, double y, double width, double height) {
  morvox::SetFillColour(plugin, ColourByte(v.gfxR), ColourByte(v.gfxG), ColourByte(v.gfxB),
                        ColourByte(v.gfxA));
  morvox::SetSmoothing(plugin, 0);
  morvox::DrawRectangle(plugin, std::floor(x), std::floor(y), std::floor(x + width), std::floor(y + height),
                        1);
  gfxX = x + width;
  gfxY = y + height;
}

void TMorvoxEffect::DrawNumberedString(double number) {
  morvox::SetTextColour(plugin, ColourByte(v.gfxR), ColourByte(v.gfxG), ColourByte(v.gfxB),
                        ColourByte(v.gfxA));
  morvox::SetSmoothing(plugin, 3);
  const std::string text = GetString(number);
  std::size_t start = 0;
  double lastWidth = 0;
  while (true) {
    const std::size_t end = text.find('\n', start);
    const std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
    lastWidth = morvox::TextWidth(plugin, line.c_str());
    morvox::DrawTextInRect(plugin, line.c_str(), gfxX, gfxY, gfxX + lastWidth, gfxY + textHeight + 2, false,
                           0);
    if (end == std::string::npos) break;
    gfxY += textHeight;
    start = end + 1;
  }
  gfxX += lastWidth;
}

double TMorvoxEffect::SelectFont(double fontNumber, double faceString, double size, double styleCode) {
  v.fontNumber = fontNumber;
  double height;
  if (size < 0) {
    height = -size;
    textHeight = -size / 0.85;
  } else if (size > 0) {
    height = size * 0.85;
    textHeight = size;
  } else {
    height = 16;
    textHeight = 16 / 0.85;
  }
  FontEntry& font = fonts[morvox::ToIndex(fontNumber)];
  font.face = GetString(faceString);
  font.size = std::max(height, 1.0);
  const auto code = static_cast<std::uint32_t>(morvox::ToIndex(styleCode));
  font.style = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const char letter = static_cast<char>((code >> shift) & 0xFF);
    if (letter == 'b') font.style |= 1;
    if (letter == 'i') font.style |= 2;
    if (letter == 'u') font.style |= 4;
  }
  const int pixelSize = morvox::ToIndex(font.size);
  if (plugin == nullptr || plugin->SetFont(font.face.c_str(), pixelSize, font.style) == 0) {
    if (plugin != nullptr) plugin->SetFont("verdana", pixelSize, font.style);
  }
  return 1;
}
