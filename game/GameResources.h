#pragma once
// The game's embedded resources (forms, clips, pictures) live in a static
// library, so the program registers them before the first form reads its
// file, together with every class the game's form files name.

// Registers resources and classes; later calls do nothing more.
void InitGameResources();
