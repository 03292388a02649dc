#pragma once
// Word selection and checking: a left press and release on the grid span one
// of eight straight lines; its letters are compared with the word list and a
// listed word is removed and painted in the found colour.

#include "game/GameState.h"

#include <QString>

// The eight lines through a press cell, or none.
enum class TLine { None, Right, Left, Up, Down, UpRight, DownRight, UpLeft, DownLeft };

// The line from the press cell to the release cell, by the first of the
// eight tests that holds. A press or release outside the cells ((-1, -1) or
// beyond the board) gives TLine::None.
TLine ChooseLine(int downCol, int downRow, int upCol, int upRow, int colCount = GridSize,
                 int rowCount = GridSize);

// Column and row step of a line (0, 0 for None).
int ColStep(TLine line);
int RowStep(TLine line);

// Sets the state's one direction flag of a line, the others cleared.
void SetDirection(TGameState& state, TLine line);

// Reads the cells of a line from the press cell to the end cell, both
// included. Normal mode returns their texts joined; numbers mode sets the
// selection slots to "?", stores the k-th cell's text in slot 29 + k and
// returns an empty text.
QString ExtractLine(TGameBoard& board, TLine line, int downCol, int downRow, int upCol,
                    int upRow);

// Decodes the selection slots through the number table (unknown texts add
// nothing) and sets them back to "?".
QString DecodeSelection(TGameState& state);

// Compares a word with the list (numbers mode: the decoded selection slots
// instead); a hit removes the first equal line (with InOrder only the first
// line is looked at) and updates the words-left counter. Runs the game-over
// test in every case. True when a word was removed.
bool CheckWord(TGameBoard& board, const QString& word);

// Paints the cells of the found line, chosen by the direction flag, with the
// found colour (each cell's own font colour).
void MarkFoundWord(TGameBoard& board, int downCol, int downRow, int upCol, int upRow);

// When the word list is empty: starts the end animation, returns true.
bool CheckGameOver(TGameBoard& board);

// Left button pressed on a cell ((-1, -1) outside the cells).
void PressCell(TGameBoard& board, int col, int row);

// Left button released on a cell: choose the line, read, check, paint.
void SelectionReleased(TGameBoard& board, int upCol, int upRow);

// Right button released on a cell: in numbers mode the cell's hint.
void HintReleased(TGameBoard& board, int col, int row);
