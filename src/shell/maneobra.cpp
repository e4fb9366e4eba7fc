#include "maneobra.h"

#include "dao.h"
#include "msgbox.h"

#include <QFile>

namespace maneobra {

bool RepararObra(const QString& carpeta, const QString& archivo, const QString& clave) {
  QString ruta = carpeta + archivo;
  // Paths of the program folder are written with a leading separator ("\Paratorn.kor").
  ruta.replace(QStringLiteral("//"), QStringLiteral("/"));
  const QString actual = dao::DBEngine::ResolvePath(ruta);
  const QString bak = actual.left(actual.size() - 4) + QStringLiteral(".bak");
  try {
    if (QFile::exists(bak) && !QFile::remove(bak))
      throw vb::Error(70);
    if (!QFile::exists(actual))
      throw vb::Error(3024, dao::errorDescription(3024, actual));
    if (!QFile::rename(actual, bak))
      throw vb::Error(70);
    try {
      dao::DBEngine::CompactDatabase(bak, actual, clave);
    } catch (...) {
      // Leave the bid where the user left it, not only as a .bak.
      if (!QFile::exists(actual))
        QFile::rename(bak, actual);
      throw;
    }
    return true;
  } catch (const vb::Error& e) {
    if (e.number() == 3356)
      ui::MsgBox(QStringLiteral("La base de datos esta siendo utilizada por otra persona\r\n"
                                "Se necesita que la base este libre para poderse reparar"));
    else
      ui::MsgBox(QStringLiteral("Error en el Módulo MDITool.RepararObra ") + QString::number(e.number()) +
                 QStringLiteral(" ") + e.description());
    return false;
  }
}

}  // namespace maneobra
