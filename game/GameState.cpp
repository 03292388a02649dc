#include "game/GameState.h"

void TGameState::ClearDirections() {
  Right = false;
  Down = false;
  Left = false;
  Up = false;
  DownRight = false;
  UpRight = false;
  DownLeft = false;
  UpLeft = false;
}
