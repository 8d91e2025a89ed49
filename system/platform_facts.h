// The facts the platform query answers from the system: the date-time text, the user's
// documents and application-data folders and the device identifier kept in the latter.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

// YYYY-MM-DD hh:mm:ss, the year without leading zeros.
std::string DateTimeText(const std::tm& fields);
// The calendar time in local time or UTC.
std::string DateTimeTextAt(std::time_t time, bool utc);

// XDG_DOCUMENTS_DIR of the user-dirs file ("$HOME" expanded), else $HOME/Documents; empty
// without HOME. Not created.
std::string DocumentsFolder();

// ${XDG_DATA_HOME:-$HOME/.local/share}/Quarnel, made with any missing parents; empty without
// HOME and XDG_DATA_HOME.
std::string AppDataFolder();

// The identifier kept in folder + "/quarnel.deviceid": the file's text trimmed of blanks, or a
// new 32-digit identifier written there when the file is missing, unreadable, blank or larger
// than 4096 bytes; "FA17ED" when a new one cannot be stored.
std::string DeviceIdText(std::string_view folder);
