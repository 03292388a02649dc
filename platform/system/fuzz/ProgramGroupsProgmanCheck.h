#pragma once
// The check of the program manager's command parser on any input (one fuzz
// target and the replay of its kept inputs): the input either parses into
// commands that, written back from their raw arguments, parse the same, or
// is refused with EProgmanCommandError; nothing else is raised.

#include <QByteArray>
#include <QString>

// "" when the input passes, else what went wrong.
QString CheckProgmanCommands(const QByteArray& bytes);
