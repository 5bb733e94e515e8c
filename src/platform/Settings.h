#pragma once
#include <QString>

// The per-user settings store: sections of text values, kept in an INI file of the
// user's configuration folder (Quibolet/Vorsk App Quibolet.ini).
namespace platform {

// The value of key in section, or defaultValue when there is none.
QString GetSetting(const QString& section, const QString& key, const QString& defaultValue = QString());
void SaveSetting(const QString& section, const QString& key, const QString& value);
// The file that holds them.
QString settingsFile();

}  // namespace platform
