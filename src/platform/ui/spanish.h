#pragma once
// The program speaks Mexican Spanish whatever the machine's locale: Qt's own dialogs (file dialog,
// print dialog, standard buttons) take Qt's Spanish translation, and QLocale defaults to es_MX.
namespace ui {

// Call once after the QApplication exists. Without the translation files Qt stays in English.
void installSpanish();

}  // namespace ui
