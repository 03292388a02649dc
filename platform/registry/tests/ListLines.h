#pragma once
// The lines of a string list, for comparing in tests.

#include "platform/rtl/StringList.h"

#include <QStringList>

inline QStringList Lines(const TStrings& strings) {
  QStringList list;
  for (int i = 0; i < strings.Count(); ++i)
    list.append(strings[i]);
  return list;
}
