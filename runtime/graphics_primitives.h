// The script's drawing primitives: thin forwarders to the draw context of
// the repaint in progress. Outside a repaint (no adapter or no draw context)
// each does nothing and answers 0. [gui]
#pragma once

#include <cstdint>

#include "runtime/bitmap_holder.h"

class MorvoxHost;

namespace morvox {

int SetSmoothing(MorvoxHost* plugin, std::int32_t mode);  // 3 on, anything else off
int SetTextColour(MorvoxHost* plugin, int red, int green, int blue, int alpha);
int SetFillColour(MorvoxHost* plugin, int red, int green, int blue, int alpha);
int SetLineColour(MorvoxHost* plugin, int red, int green, int blue, int alpha);
double TextWidth(MorvoxHost* plugin, const char* text);
int FontSize(MorvoxHost* plugin);
int MoveTo(MorvoxHost* plugin, double x, double y);
int LineTo(MorvoxHost* plugin, double x, double y);
// style 0 outline, 1 filled, 2 filled and outlined
int DrawRectangle(MorvoxHost* plugin, double left, double top, double right, double bottom,
                  std::int32_t style);
int DrawEllipse(MorvoxHost* plugin, double left, double top, double right, double bottom, std::int32_t style);
int DrawArc(MorvoxHost* plugin, double left, double top, double right, double bottom, double startAngle,
            double endAngle, std::int32_t style);
// alignment 0 left, 1 centred, 2 right
int DrawTextInRect(MorvoxHost* plugin, const char* text, double left, double top, double right, double bottom,
                   bool opaque, std::int32_t alignment);
int DrawTextAt(MorvoxHost* plugin, const char* text, double x, double y, bool antialias);
int DrawPoint(MorvoxHost* plugin, double x, double y, int red, int green, int blue, int alpha);
int ReadPixel(MorvoxHost* plugin, double x, double y, int& red, int& green, int& blue, int& alpha);
int EditorSize(MorvoxHost* plugin, std::int32_t& width, std::int32_t& height);

// Bitmap holders. Every one but NewHolder answers 0 for a null holder; the
// queries and draws also for an empty one.
BitmapHolder* NewHolder();
int LoadFromResourceNumber(BitmapHolder* holder, std::int32_t number);
int LoadFromResourceName(BitmapHolder* holder, const char* name);
int LoadFromFile(BitmapHolder* holder, const char* path);
int HolderWidth(BitmapHolder* holder);
int HolderHeight(BitmapHolder* holder);
int GetTransparentColour(BitmapHolder* holder, int& red, int& green, int& blue, int& alpha);
int SetTransparentColour(BitmapHolder* holder, int red, int green, int blue, int alpha);
int GetNoAlpha(BitmapHolder* holder);
int SetNoAlpha(BitmapHolder* holder, bool noAlpha);
int DrawHolder(MorvoxHost* plugin, BitmapHolder* holder, double left, double top, double right, double bottom,
               double sourceX, double sourceY);
int DrawHolderTransparent(MorvoxHost* plugin, BitmapHolder* holder, double left, double top, double right,
                          double bottom, double sourceX, double sourceY);
int DrawHolderBlended(MorvoxHost* plugin, BitmapHolder* holder, double left, double top, double right,
                      double bottom, double sourceX, double sourceY, int alpha);

}  // namespace morvox
