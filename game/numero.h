#pragma once
// Numbers mode: every letter of the grid shows a number code drawn for the
// game ("Å" always "0", the other 28 letters 28 different codes of 1..29),
// and a right click reveals a code's letter, three times per switch-on.

#include "game/GameState.h"

#include <QString>

// Letters 1..29 in code order: A..Z, Ö, Ä, Å.
QString CodeLetter(int k);

// The numbers-mode menu command: flips the option and converts the grid.
void ToggleNumbersMode(TGameBoard& board);

// Draws a new code table (random generator seeded from the clock) and
// replaces every letter cell by its code.
void LettersToNumbers(TGameBoard& board);

// Replaces every code cell by its letter with the current table.
void NumbersToLetters(TGameBoard& board);

// The hint for the cell (DownCol, DownRow): counts the request, and while
// fewer than four were asked for shows "code = letter" as the cell's hint on
// silver and keeps it in the first free hint slot.
void vihjeet_esiin(TGameBoard& board);

// Frees the three hint slots.
void ClearHintSlots(TGameState& state);
