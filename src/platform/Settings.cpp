#include "Settings.h"

#include <QSettings>

namespace platform {
namespace {

QSettings store() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Quibolet"),
                     QStringLiteral("Vorsk App Quibolet"));
}

}  // namespace

QString GetSetting(const QString& section, const QString& key, const QString& defaultValue) {
    return store().value(section + u'/' + key, defaultValue).toString();
}

void SaveSetting(const QString& section, const QString& key, const QString& value) {
    QSettings settings = store();
    settings.setValue(section + u'/' + key, value);
    settings.sync();
}

QString settingsFile() { return store().fileName(); }

}  // namespace platform
