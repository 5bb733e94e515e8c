#pragma once
#include <QString>

// The per-user settings store: sections of text values, kept in an INI file of the
// user's configuration folder (Quibolet/Vorsk App Quibolet.ini).
namespace platform {

// The value of key in section, or defaultValue when there is none.
QString GetSetting(const QString& section, const QString& key, const QString& defaultValue = QString());
// Read back at once; written to the file a moment later, off the caller's thread, and in
// any case before the program ends.
void SaveSetting(const QString& section, const QString& key, const QString& value);
// Waits until the file holds every setting saved.
void flushSettings();
// The file that holds them.
QString settingsFile();

}  // namespace platform
