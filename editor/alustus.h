#pragma once
// The editor's grid set-up and fills. They reach the window's grids and word
// list through Form1.

#include <QString>

// The letter palette: A to O, then P to Z, Å, Ä, Ö; the current-letter label empty.
void FillPalette();
// Every cell of the puzzle grid empty.
void ClearGrid();
// "A" to "Z", each equally likely.
QString RandomLetter();
// Every empty cell a random letter, column by column.
void FillRandomLetters();
// Every empty cell one of the first 29 distinct characters of the word
// list, each equally likely.
void FillWordLetters();

// The distinct characters of the lines, in the order met, at most 29.
QStringList WordCharacters(const QStringList& lines);
