#pragma once
// The clipboard as the copy and paste of grid blocks see it: plain text whose rows end in CR LF and
// where a lone LF is a line break inside a cell, whatever the platform puts there. The system's
// clipboard is one implementation; tests install their own.
#include <QString>

namespace copiado {

class Portapapeles {
public:
  virtual ~Portapapeles() = default;
  virtual QString Texto() = 0;
  virtual void PonTexto(const QString& texto) = 0;
  virtual void Limpia() = 0;
};

// The clipboard in use: the one installed, else the system's.
Portapapeles& portapapeles();
// Makes `otro` the clipboard in use and returns the one it replaces; nullptr brings back the
// system's. The caller keeps ownership.
Portapapeles* instalaPortapapeles(Portapapeles* otro);

// Line ends between the system's text and ours. Where rows end in LF alone (Linux, macOS), reading
// turns every LF into a row end, CR LF; writing turns CR LF back into LF and a lone LF (a line break
// inside a cell) into a blank, so that a spreadsheet program keeps the rows and cells. On Windows the
// text passes as it is.
QString desdeSistema(const QString& texto);
QString haciaSistema(const QString& texto);

}  // namespace copiado
