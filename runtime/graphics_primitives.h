// The script's drawing primitives: thin forwarders to the draw context of
// the repaint in progress. Outside a repaint (no adapter or no draw context)
// each does nothing and answers 0. [gui]
#pragma once

#include <cstdint>

#include "runtime/bitmap_holder.h"

class CHoxa;

namespace morvox {

int SetSmoothing(CHoxa* plugin, std::int32_t mode);  // 3 on, anything else off
int SetTextColour(CHoxa* plugin, int red, int green, int blue, int alpha);
int SetFillColour(CHoxa* plugin, int red, int green, int blue, int alpha);
int SetLineColour(CHoxa* plugin, int red, int green, int blue, int alpha);
double TextWidth(CHoxa* plugin, const char* text);
int FontSize(CHoxa* plugin);
int MoveTo(CHoxa* plugin, double x, double y);
int LineTo(CHoxa* plugin, double x, double y);
// style 0 outline, 1 filled, 2 filled and outlined
int DrawRectangle(CHoxa* plugin, double left, double top, double right, double bottom, std::int32_t style);
int DrawEllipse(CHoxa* plugin, double left, double top, double right, double bottom, std::int32_t style);
int DrawArc(CHoxa* plugin, double left, double top, double right, double bottom, double startAngle,
            double endAngle, std::int32_t style);
// alignment 0 left, 1 centred, 2 right
int DrawTextInRect(CHoxa* plugin, const char* text, double left, double top, double right, double bottom,
                   bool opaque, std::int32_t alignment);
int DrawTextAt(CHoxa* plugin, const char* text, double x, double y, bool antialias);
int DrawPoint(CHoxa* plugin, double x, double y, int red, int green, int blue, int alpha);
int ReadPixel(CHoxa* plugin, double x, double y, int& red, int& green, int& blue, int& alpha);
int EditorSize(CHoxa* plugin, std::int32_t& width, std::int32_t& height);

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
int DrawHolder(CHoxa* plugin, BitmapHolder* holder, double left, double top, double right, double bottom,
               double sourceX, double sourceY);
int DrawHolderTransparent(CHoxa* plugin, BitmapHolder* holder, double left, double top, double right,
                          double bottom, double sourceX, double sourceY);
int DrawHolderBlended(CHoxa* plugin, BitmapHolder* holder, double left, double top, double right,
                      double bottom, double sourceX, double sourceY, int alpha);

}  // namespace morvox
