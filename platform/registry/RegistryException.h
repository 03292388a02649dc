#pragma once
// The registry's exception: failed reads and writes of data ("Failed to get
// data for '%s'", "Failed to set data for '%s'", "Invalid data type for
// '%s'"), keys that cannot be created, and hive files that cannot be opened.

#include "platform/rtl/Exceptions.h"

QX_EXCEPTION(ERegistryException, Exception);
