#pragma once
// Asks the system for a shell folder by its numeric id, as the registration utility needs the
// folder where the system copy of the spreadsheet control is installed.
#include <QString>
#include <QtGlobal>

// Folder ids and result codes keep the shell's numbers.
namespace shfolder {
inline constexpr qint32 CSIDL_SYSTEMX86 = 0x29;     // the 32-bit system folder
inline constexpr qint32 CSIDL_FLAG_CREATE = 0x8000; // create the folder when it is missing
inline constexpr qint32 CSIDL_FLAG_MASK = 0xFF00;
inline constexpr qint32 S_OK = 0;
inline constexpr qint32 S_FALSE = 1;                // the id is valid but the folder does not exist
inline constexpr qint32 E_INVALIDARG = qint32(0x80070057u);
inline constexpr int MAX_PATH = 260;
}  // namespace shfolder

// The shell's folder look-up: fills `buffer` (shfolder::MAX_PATH characters, NUL-padded) and returns
// its result code. Tests put a scripted one in place.
class ShellFolders {
public:
  virtual ~ShellFolders() = default;
  virtual qint32 GetFolderPath(qint32 folder, QString& buffer) = 0;
};

// This system has none of the Windows shell folders: the 32-bit system folder is a known id
// whose folder does not exist here, any other id is refused.
class PlatformShellFolders : public ShellFolders {
public:
  qint32 GetFolderPath(qint32 folder, QString& buffer) override;
};

class cObtenerDirectorio {
public:
  // `shell` stays the caller's; nullptr uses the platform's look-up.
  explicit cObtenerDirectorio(ShellFolders* shell = nullptr);
  cObtenerDirectorio(const cObtenerDirectorio&) = delete;
  cObtenerDirectorio& operator=(const cObtenerDirectorio&) = delete;

  // The folder's path; the program's own folder when the folder does not exist, empty text for an
  // invalid id, and the untouched 260-character buffer for any other answer.
  QString ObtenerCarpeta(qint32 CualCarpeta, qint32 CrearCarpeta);

private:
  ShellFolders* shell_;
  PlatformShellFolders platform_;
};
