#pragma once
// The file-open dialog service. Windows keep a CommonDialog with the properties of the dialog they
// own and call ShowOpen(); the dialog itself comes from the installed service, so that tests choose
// the file from a script and read back what was asked.
#include <QString>
#include <QStringList>
#include <optional>

namespace ui {

// Flags of the open dialog, VB's numbers.
enum FileOpenConstants : int {
  cdlOFNReadOnly = 0x1,
  cdlOFNOverwritePrompt = 0x2,
  cdlOFNHideReadOnly = 0x4,
  cdlOFNNoChangeDir = 0x8,
  cdlOFNPathMustExist = 0x800,
  cdlOFNFileMustExist = 0x1000,
  cdlOFNCreatePrompt = 0x2000,
};

// The error a cancelled dialog raises when its CancelError is set.
inline constexpr int cdlCancel = 32755;

struct FileDialogRequest {
  QString title;
  QString fileName;    // file name shown at first (may hold a folder)
  QString initDir;     // folder shown at first; empty: the current folder
  int flags = 0;       // FileOpenConstants
  QString filter;      // VB syntax: "Base de datos|*.mdb|Todos|*.*"
  QString defaultExt;  // added to a typed name without extension, e.g. ".OCX"
};

class FileDialogService {
public:
  virtual ~FileDialogService() = default;
  // The chosen file's full path, or nothing when the user cancelled.
  virtual std::optional<QString> showOpen(const FileDialogRequest& request) = 0;
};

// Makes `service` answer every file dialog from now on and returns the one it replaces;
// nullptr brings back the windowed dialog. The caller keeps ownership.
FileDialogService* installFileDialogService(FileDialogService* service);

// A file dialog owned by a window; its properties persist between calls, as the Parts rely on.
class CommonDialog {
public:
  QString DialogTitle;
  QString FileName;
  QString InitDir;
  QString Filter;
  QString DefaultExt;
  int Flags = 0;
  bool CancelError = true;  // cancel raises vb::Error 32755; otherwise it leaves FileName unchanged

  // Shows the open dialog; on a choice FileName becomes the chosen file's full path.
  void ShowOpen();
};

// A VB filter "Desc|*.a;*.b|Desc2|*.c" as Qt name filters "Desc (*.a *.b)", ... Patterns also
// match names in other letter case, as they did on Windows.
QStringList qtNameFilters(const QString& vbFilter);

// QFileDialog in open mode, honouring the flags that matter: file must exist, path must exist,
// prompt to create.
class QtFileDialogService : public FileDialogService {
public:
  std::optional<QString> showOpen(const FileDialogRequest& request) override;
};

}  // namespace ui
