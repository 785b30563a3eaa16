// An owning list of sprites animated and drawn together, one call per frame.
// The game keeps one and destroys its sprites when the game screen goes; after
// that the list stays empty for good. Main thread only.
#pragma once

#include <windows.h>
#include <ddraw.h>

#include <cstdint>

#include "gfx/ptr_array.h"
#include "screens/sprite.h"

class SpriteList {
 public:
  SpriteList();
  ~SpriteList();
  SpriteList(const SpriteList&) = delete;
  SpriteList& operator=(const SpriteList&) = delete;

  // Takes ownership of the sprite; 1 when added. After DestroyAll (or for a null
  // sprite) nothing is added, the caller keeps the sprite and 0 is returned.
  int32_t Add(Sprite* sprite);
  // Animates every sprite, then draws those whose frame lies in their range
  // (vanished and frameless sprites stay in the list, undrawn).
  void AnimateAndDraw(LPDIRECTDRAWSURFACE target);
  // Destroys every sprite and the list itself; the list does nothing afterwards.
  void DestroyAll();

  int32_t Count() const { return sprites != NULL ? sprites->Count() : 0; }

 private:
  PtrArray* sprites;
};

extern SpriteList spriteList;
