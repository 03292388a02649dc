#pragma once
// Where a job printed to a PDF file goes, and how the user hears of it.

#include <QString>

#include <functional>

// The folder printed files go to: $XDG_DOCUMENTS_DIR, then the user's
// documents folder, then the home folder, the first that exists.
QString PrintFileFolder();

// Reserves a new file in folder named after title: "title.pdf", else
// "title (2).pdf", "title (3).pdf", ... An existing file is never touched;
// the reserved one is created empty so no other job takes its name.
// Characters a file name cannot hold become "_"; an empty title gives
// "document". Raises EPrinter when the folder takes no new file.
QString ReservePrintFile(const QString& folder, const QString& title);

// Told the path of every file a finished job has written (the application
// shows it to the user). None by default; ResetProcessState removes it.
using TPrintFileNotice = std::function<void(const QString& path)>;
void SetPrintFileNotice(TPrintFileNotice notice);
void NotifyPrintFile(const QString& path);
