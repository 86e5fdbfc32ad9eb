#pragma once
// The settings file through the platform's INI profile functions. Writing goes to a copy of the
// file beside it, which then replaces the file in one step: an interrupted write leaves the
// previous settings as they were.
#include <string>

#include "app/settings.h"

namespace tesmar {

Settings ReadSettingsFile(const std::u16string& iniPath, const SettingsContext& ctx);

// Every key of the table except exeName is written; keys of the file that are not written
// (exeName, anything else) are kept as they stood. Throws std::runtime_error on failure.
void WriteSettingsFile(const std::u16string& iniPath, const Settings& s);

}  // namespace tesmar
