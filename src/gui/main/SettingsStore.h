// Where the remembered values live between runs, and the rules for reading them back.
#pragma once

#include <QSettings>
#include <memory>

#include "core/workflow/MessageBoxes.h"
#include "core/workflow/ProgramSettings.h"
#include "gui/common/SettingsFile.h"

// The group that holds the values: the registry key "Software\Tamsk\VelkMerge\3.0" under
// HKEY_CURRENT_USER on Windows, the [3.0] section of the user's Tamsk/VelkMerge.ini elsewhere.
inline constexpr const char* settingsGroup = "3.0";

// Fills `settings` from `store`. A number is taken when it is an integer that fits 32 bits unsigned,
// and then only its low 16 bits; LastBrowse is taken when it is shorter than 256 bytes. Anything else
// (absent, not a number, too wide, too long) leaves the field as it was, silently. True when the
// group exists at all. CustomLayout, which older versions neither write nor read, is taken when it names
// a layout's columns.
[[nodiscard]] bool loadSettings(ProgramSettings& settings, QSettings& store);

// Writes the values and flushes them; a failure shows "Unable to save program settings (%d)"
// in an error box through `boxes`.
void saveSettings(const ProgramSettings& settings, QSettings& store, MessageBoxes& boxes);
