#pragma once
// The game's printout: the words still to find, the numbers-mode hints and
// the print title in a column of 50 rows, and the 12 x 12 grid as it shows
// now (letters, or codes in numbers mode), on one page.

class TGameBoard;
class TPrnCells;

void PrintPuzzle(TGameBoard& board, TPrnCells& cells);

// From now on a job printed to a PDF file tells the user where the file is.
void AnnouncePrintFiles();
