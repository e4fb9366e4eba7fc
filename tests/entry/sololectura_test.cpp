// A bid whose file or folder cannot be written, in the program: it opens saying so once; its windows
// and dialogs open, recalculate and close without a word; each edit, which tries to store, says 3027
// once and leaves the file as it was.
#include "boundgrid.h"
#include "forms.h"
#include "frmmone.h"
#include "frmpre.h"
#include "arranque.h"
#include "quarvel.h"
#include "solo_lectura.h"

#include "qt_print.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

namespace entrytest {
namespace {

QByteArray huella(const QString& ruta) {
  QFile f(ruta);
  return f.open(QIODevice::ReadOnly) ? QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256) : QByteArray();
}

class SoloLectura : public ProgramaTest {};

TEST_F(SoloLectura, ItsWindowsOpenAndCloseWithoutAWordAndEachEditSays3027Once) {
  const QString k3027 = dao::errorDescription(3027);
  for (const bool enCarpeta : {false, true}) {
    SCOPED_TRACE(enCarpeta ? "carpeta" : "archivo");
    ASSERT_TRUE(clic(QStringLiteral("mnuCer")));
    const QByteArray antes = huella(obra);
    {
      testsupport::SoloLectura soloLectura(enCarpeta ? QFileInfo(obra).absolutePath() : obra,
                                           testsupport::SoloLectura::SoloPermisos);
      const size_t vistas = cajas.shown().size();
      cajas.answer(ui::vbOK);
      abre(obra);
      espera();
      ASSERT_TRUE(quarvel::obraAbierta);
      ASSERT_EQ(cajas.shown().size(), vistas + 1);
      EXPECT_TRUE(cajas.texts().back().startsWith("La obra se abrió sólo para lectura")) << cajas.texts().back().toStdString();

      for (const char* herramienta : {"PU", "Monedas", "Partidas", "Programa", "Indirectos", "miherramientasca"}) {
        EXPECT_TRUE(clic(QString::fromLatin1(herramienta))) << herramienta;
        espera();
      }
      ui::Forms::instance().descargaFormas(QStringLiteral("MDIToolbar"));
      espera();
      EXPECT_EQ(cajas.shown().size(), vistas + 1) << cajas.texts().join(" | ").toStdString();

      // A price, then a currency's closing text: each refused once, with the database's message.
      ui::BoundGrid* precios = muestraRejilla(QStringLiteral("PU"));
      ASSERT_NE(precios, nullptr);
      ve(precios, "A01001", 1, FrmPre::cPrecio);
      cajas.answer(ui::vbOK);
      EXPECT_FALSE(teclea(precios, FrmPre::cPrecio, "20"));
      ASSERT_EQ(cajas.shown().size(), vistas + 2) << cajas.texts().join(" | ").toStdString();
      EXPECT_TRUE(cajas.texts().back().endsWith(k3027)) << cajas.texts().back().toStdString();
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
      espera();

      ui::BoundGrid* monedas = muestraRejilla(QStringLiteral("Monedas"));
      ASSERT_NE(monedas, nullptr);
      monedas->setCurrentIndex(monedas->recordsetModel()->index(0, FrmMone::cRemate));
      cajas.answer(ui::vbOK);
      EXPECT_FALSE(teclea(monedas, FrmMone::cRemate, "OTRO"));
      ASSERT_EQ(cajas.shown().size(), vistas + 3) << cajas.texts().join(" | ").toStdString();
      EXPECT_EQ(cajas.texts().back(), k3027);
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
      espera();
      ASSERT_TRUE(clic(QStringLiteral("mnuCer")));
      EXPECT_EQ(cajas.shown().size(), vistas + 3) << cajas.texts().join(" | ").toStdString();
    }
    EXPECT_EQ(huella(obra), antes);
    abre(obra);
    espera();
  }
}

}  // namespace
}  // namespace entrytest
