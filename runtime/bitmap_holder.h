// Holders of decoded pictures for the script's image table.
#pragma once

struct BitmapHolder;

// Drops the holder's picture and frees the holder; nothing for null.
void ReleaseBitmapHolder(BitmapHolder* holder);
