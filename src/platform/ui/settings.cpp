#include "settings.h"

#include "error.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>
#include <memory>

namespace ui {

namespace {

// Every program of the product keeps its applications' settings side by side in one folder of the
// user's configuration, one file per application.
QString& redirectFolder() {
  static QString folder;
  return folder;
}

QString storeFolder() {
  if (!redirectFolder().isEmpty()) return redirectFolder();
  return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
      .filePath(QStringLiteral("tornavo"));
}

std::unique_ptr<QSettings> openStore(const QString& appName) {
  const QDir folder(storeFolder());
  QString file = appName + QStringLiteral(".conf");
  // Application names ignore case, as the registry did.
  for (const QString& existing : folder.entryList({QStringLiteral("*.conf")}, QDir::Files))
    if (existing.compare(file, Qt::CaseInsensitive) == 0) {
      file = existing;
      break;
    }
  return std::make_unique<QSettings>(folder.filePath(file), QSettings::IniFormat);
}

// The stored spelling of a name, matched without regard to case (the registry ignored case).
QString storedName(const QStringList& names, const QString& wanted) {
  if (names.contains(wanted)) return wanted;
  for (const QString& n : names)
    if (n.compare(wanted, Qt::CaseInsensitive) == 0) return n;
  return QString();
}

QString asText(const QVariant& v) {
  // A value edited by hand as "a, b" reads back as a list; give the text as written.
  if (v.typeId() == QMetaType::QStringList) return v.toStringList().join(QStringLiteral(", "));
  return v.toString();
}

}  // namespace

QString GetSetting(const QString& appName, const QString& section, const QString& key,
                   const QString& defaultValue) {
  if (appName.isEmpty() || section.isEmpty() || key.isEmpty()) return defaultValue;
  auto store = openStore(appName);
  const QString group = storedName(store->childGroups(), section);
  if (group.isEmpty()) return defaultValue;
  store->beginGroup(group);
  const QString name = storedName(store->childKeys(), key);
  if (name.isEmpty()) return defaultValue;
  return asText(store->value(name));
}

void SaveSetting(const QString& appName, const QString& section, const QString& key,
                 const QString& setting) {
  if (appName.isEmpty() || section.isEmpty() || key.isEmpty()) throw vb::Error(5);
  auto store = openStore(appName);
  QString group = storedName(store->childGroups(), section);
  store->beginGroup(group.isEmpty() ? section : group);
  QString name = storedName(store->childKeys(), key);
  store->setValue(name.isEmpty() ? key : name, setting);
  store->endGroup();
  store->sync();
  if (store->status() != QSettings::NoError)
    throw vb::Error(75, QStringLiteral("Error de acceso a la ruta o el archivo"));
}

SettingsRedirect::SettingsRedirect(const QString& folder) : previous_(redirectFolder()) {
  redirectFolder() = folder;
}

SettingsRedirect::~SettingsRedirect() { redirectFolder() = previous_; }

}  // namespace ui
