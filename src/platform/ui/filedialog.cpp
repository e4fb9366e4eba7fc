#include "filedialog.h"

#include "error.h"
#include "msgbox.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace ui {

namespace {

FileDialogService*& installed() {
  static FileDialogService* service = nullptr;
  return service;
}

}  // namespace

FileDialogService* installFileDialogService(FileDialogService* service) {
  FileDialogService* previous = installed();
  installed() = service;
  return previous;
}

void CommonDialog::ShowOpen() {
  const FileDialogRequest request{DialogTitle, FileName, InitDir, Flags, Filter, DefaultExt};
  std::optional<QString> chosen;
  if (FileDialogService* service = installed()) {
    chosen = service->showOpen(request);
  } else {
    QtFileDialogService qt;
    chosen = qt.showOpen(request);
  }
  if (chosen) {
    FileName = *chosen;
  } else if (CancelError) {
    throw vb::Error(cdlCancel, QStringLiteral("Se seleccionó Cancelar."));
  }
}

QStringList qtNameFilters(const QString& vbFilter) {
  QStringList result;
  const QStringList parts = vbFilter.split(QLatin1Char('|'));
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QStringList patterns;
    for (const QString& raw : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
      QString p = raw.trimmed();
      if (p == QStringLiteral("*.*")) p = QStringLiteral("*");  // Windows' "every file"
      for (const QString& variant : {p, p.toLower(), p.toUpper()})
        if (!variant.isEmpty() && !patterns.contains(variant)) patterns.append(variant);
    }
    if (patterns.isEmpty()) continue;
    result.append(parts[i].trimmed() + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                  QLatin1Char(')'));
  }
  return result;
}

std::optional<QString> QtFileDialogService::showOpen(const FileDialogRequest& request) {
  QFileDialog dialog(QApplication::activeWindow(), request.title, request.initDir);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  const bool mustExist = request.flags & cdlOFNFileMustExist;
  dialog.setFileMode(mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  const QStringList filters = qtNameFilters(request.filter);
  if (!filters.isEmpty()) dialog.setNameFilters(filters);
  QString ext = request.defaultExt;
  if (ext.startsWith(QLatin1Char('.'))) ext.remove(0, 1);
  dialog.setDefaultSuffix(ext);
  if (!request.fileName.isEmpty()) dialog.selectFile(request.fileName);

  for (;;) {
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QString path = dialog.selectedFiles().value(0);
    if (path.isEmpty()) return std::nullopt;
    const QFileInfo info(path);
    if ((request.flags & cdlOFNPathMustExist) && !info.absoluteDir().exists()) {
      MsgBox(QDir::toNativeSeparators(info.absolutePath()) +
                 QStringLiteral("\nLa ruta no existe. Compruebe que la ruta es correcta."),
             vbExclamation, request.title);
      continue;
    }
    if (!info.exists() && (request.flags & cdlOFNCreatePrompt) &&
        MsgBox(QDir::toNativeSeparators(path) +
                   QStringLiteral("\nEl archivo no existe.\n¿Desea crearlo?"),
               vbYesNo | vbQuestion, request.title) != vbYes)
      continue;
    return QDir::toNativeSeparators(info.absoluteFilePath());
  }
}

}  // namespace ui
