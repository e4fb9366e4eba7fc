#pragma once
// A temporary program folder holding copies of the program files the build generated ("TORNAVO.KOR",
// "paratorn.kor", the sample bid "Ejemplo.mdb"), so that a test may change them freely.
#include <QString>
#include <QTemporaryDir>

namespace shelltest {

class CarpetaPrograma {
public:
  CarpetaPrograma();
  bool copiada() const { return copiada_; }
  QString ruta() const { return dir_.path(); }  // no separator at the end
  QString archivo(const QString& nombre) const { return dir_.filePath(nombre); }
  // A copy of the sample bid at a path relative to the folder (its folders are made).
  QString copiaEjemplo(const QString& relativa) const;

private:
  QTemporaryDir dir_;
  bool copiada_ = false;
};

}  // namespace shelltest
