#include "screens/sprite_list.h"

SpriteList spriteList;

SpriteList::SpriteList() : sprites(new PtrArray) {}

SpriteList::~SpriteList() { DestroyAll(); }

int32_t SpriteList::Add(Sprite* sprite) {
  if (sprites == NULL || sprite == NULL) return 0;
  sprites->Append(sprite);
  return 1;
}

void SpriteList::AnimateAndDraw(LPDIRECTDRAWSURFACE target) {
  if (sprites == NULL) return;
  for (int32_t i = 0; i < sprites->Count(); ++i) {
    Sprite* sprite = sprites->At<Sprite>(i);
    if (sprite == NULL) continue;
    sprite->Animate();
    if (sprite->currentFrame >= sprite->rangeStart && sprite->currentFrame < sprite->rangeEnd) sprite->Draw(target);
  }
}

void SpriteList::DestroyAll() {
  if (sprites == NULL) return;
  for (int32_t i = 0; i < sprites->Count(); ++i) delete sprites->At<Sprite>(i);
  delete sprites;
  sprites = NULL;
}
