#pragma once
// The per-user settings store: values kept by application, section and key, read back as text.
// It stands where the program kept window placement and the registration utility's choices.
#include <QString>

namespace ui {

// The stored text, or defaultValue when the key (or its application or section) is absent.
// Names match without regard to letter case.
QString GetSetting(const QString& appName, const QString& section, const QString& key,
                   const QString& defaultValue = QString());

// Stores the text at once. An empty application, section or key name raises error 5;
// a store that cannot be written raises error 75.
void SaveSetting(const QString& appName, const QString& section, const QString& key,
                 const QString& setting);

// While alive, every application's settings live in "<folder>/<application>.conf" instead of the
// user's configuration folder; tests use it to keep the user's own settings out of reach.
class SettingsRedirect {
public:
  explicit SettingsRedirect(const QString& folder);
  ~SettingsRedirect();
  SettingsRedirect(const SettingsRedirect&) = delete;
  SettingsRedirect& operator=(const SettingsRedirect&) = delete;

private:
  QString previous_;
};

}  // namespace ui
