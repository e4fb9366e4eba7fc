// The program started as a user starts it: the main window, its menus in both states and both
// editions, opening, closing and the command dispatch.
#include "barcontrol.h"
#include "dao.h"
#include "forms.h"
#include "frmcierre.h"
#include "general.h"
#include "maneobra.h"
#include "placement.h"
#include "mditool.h"
#include "mditoolbar.h"
#include "printers.h"
#include "qt_print.h"
#include "quarvel.h"
#include "settings.h"
#include "shellfixture.h"
#include "ventanas.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QLineEdit>
#include <QRadioButton>
#include <QMdiArea>
#include <QToolBar>

using namespace shelltest;

namespace {

const QStringList kSinObra = {"miarchivoabrir", "miarchivosalir", "miayudaacerca", "miherramientasca",
                              "miherramientasrc", "mnuAbr", "mnuRepCom"};

// Every named tool of the bands (the popup menu left out), but the recent bids beyond the first n.
QStringList todasMenosRecientes(const ui::BarControl& barra, int recientes) {
  QStringList nombres;
  for (const auto& banda : barra.bands()) {
    if (banda->name() == QLatin1String("poppresu"))
      continue;
    for (ui::Tool* t : banda->tools()) {
      const QString n = t->name();
      if (n.isEmpty() || nombres.contains(n))
        continue;
      if (n.startsWith(QLatin1String("mnuobra")) && n.mid(7).toInt() > recientes)
        continue;
      nombres.append(n);
    }
  }
  nombres.sort();
  return nombres;
}

// A child window for the window commands: an MDI child form of the registry.
class Hija : public QWidget, public ui::Form {
  Q_OBJECT
public:
  Hija() { setProperty("MDIChild", true); }
};

}  // namespace

class Arranque : public ShellTest, public ::testing::WithParamInterface<std::pair<const char*, int>> {};

TEST_P(Arranque, StartsWithoutABidInEitherEdition) {
  const auto [producto, edicion] = GetParam();
  QDir::setCurrent(QDir::tempPath());  // started from elsewhere: the program folder is still found
  MDIToolbar* principal = arranca(QString::fromLatin1(producto));
  ASSERT_NE(principal, nullptr);
  EXPECT_EQ(quarvel::edicion, edicion);
  EXPECT_EQ(quarvel::rutaPrograma, carpeta.ruta());
  EXPECT_EQ(QDir::currentPath(), carpeta.ruta());
  EXPECT_TRUE(principal->isVisible());
  EXPECT_EQ(modales, QStringList({"frmPresenta"}));  // the splash waited for, before the main window
  EXPECT_EQ(caption(), "Tornavo de Presupuesto");
  EXPECT_FALSE(quarvel::obraAbierta);
  EXPECT_EQ(quarvel::dbObra, nullptr);
  EXPECT_EQ(quarvel::rsPresupuesto, nullptr);
  EXPECT_NE(quarvel::rsReportes, nullptr);
  EXPECT_EQ(clicables(), kSinObra);
  // The File menu's bid entries are hidden, the left bar's are greyed.
  EXPECT_FALSE(barra().tool("miarchivocerrar")->isVisible());
  EXPECT_FALSE(barra().tool("mnuedicion")->isVisible());
  EXPECT_TRUE(barra().tool("mnuCer")->isVisible());
  EXPECT_FALSE(barra().tool("mnuCer")->isEnabled());
  EXPECT_FALSE(barra().tool("PU")->isEnabled());
  // Boxes are titled with the edition's product name.
  cajas.answer(ui::vbOK);
  ui::MsgBox("x");
  EXPECT_EQ(cajas.shown().back().title, QString::fromLatin1(producto));

  // The same states with a bid open, in either edition.
  abre(carpeta.archivo("Ejemplo.mdb"));
  EXPECT_EQ(clicables(), todasMenosRecientes(barra(), 1));
  EXPECT_TRUE(barra().tool("mnuCer")->isEnabled());
  clic("mnuCer");
  EXPECT_EQ(clicables(), QStringList(kSinObra) << "mnuobra1");
}

INSTANTIATE_TEST_SUITE_P(Ediciones, Arranque,
                         ::testing::Values(std::pair{"Tornavo", 2}, std::pair{"Plicadora", 1},
                                           std::pair{"plicadora", 2}, std::pair{"Plicadora ", 2}));

TEST_F(ShellTest, StartFailsWithoutTheLibraryDatabase) {
  ASSERT_TRUE(QFile::remove(carpeta.archivo("paratorn.kor")));
  cajas.answer(ui::vbOK);
  EXPECT_EQ(arranca(), nullptr);
  ASSERT_EQ(cajas.texts().size(), 1);
  EXPECT_TRUE(cajas.texts()[0].startsWith("Error en Mditool.Main 3024 ")) << cajas.texts()[0].toStdString();
  EXPECT_TRUE(cajas.texts()[0].endsWith(" Linea: 5")) << cajas.texts()[0].toStdString();
  EXPECT_EQ(MDIToolbar::instancia(), nullptr);
}

TEST_F(ShellTest, LibraryDatabaseFoundWhateverTheLetterCase) {
  ASSERT_TRUE(QFile::rename(carpeta.archivo("paratorn.kor"), carpeta.archivo("PARATORN.KOR")));
  ASSERT_NE(arranca(), nullptr);
  EXPECT_TRUE(quarvel::dbParametros->Name().endsWith("PARATORN.KOR"));
}

TEST_F(ShellTest, OpensAndClosesTheSampleBid) {
  int frmPre = 0;
  ventanas::registro().FrmPre = [&] { ++frmPre; };
  MDIToolbar* principal = arranca();
  ASSERT_NE(principal, nullptr);
  const QString ejemplo = carpeta.archivo("Ejemplo.mdb");
  abre(ejemplo);

  ASSERT_EQ(dialogos.shown().size(), 1u);
  const ui::FileDialogRequest& pedido = dialogos.shown()[0];
  EXPECT_EQ(pedido.title, "Abrir");
  EXPECT_EQ(pedido.filter, "Base de datos|*.mdb");
  EXPECT_EQ(pedido.flags, ui::cdlOFNFileMustExist | ui::cdlOFNPathMustExist | ui::cdlOFNHideReadOnly);
  EXPECT_TRUE(cajas.texts().isEmpty()) << cajas.texts().join(" | ").toStdString();

  EXPECT_TRUE(quarvel::obraAbierta);
  EXPECT_EQ(caption(), "Obra: " + ejemplo);
  EXPECT_EQ(quarvel::rutaObra, ejemplo);
  EXPECT_EQ(quarvel::carpetaObra, carpeta.ruta() + "/");
  EXPECT_EQ(quarvel::archivoObra, "Ejemplo.mdb");
  EXPECT_EQ(frmPre, 1);
  EXPECT_TRUE(quarvel::dbObra->Exclusive());
  EXPECT_EQ(quarvel::rsPresupuesto->RecordCount(), 257);
  EXPECT_EQ(quarvel::rsMonedas->RecordCount(), 2);
  EXPECT_EQ(quarvel::unidadRedondeo, vb::Currency::fromInt(100));  // the sample keeps two decimals
  EXPECT_EQ(recientes(), QStringList({ejemplo, "", "", ""}));
  EXPECT_TRUE(barra().tool("mnuobra1")->isVisible());
  EXPECT_EQ(barra().tool("mnuobra1")->caption(), "&1 " + ejemplo);
  EXPECT_FALSE(barra().tool("mnuobra2")->isVisible());
  {
    OtroPrograma otro(ejemplo, false);
    EXPECT_EQ(otro.error(), 3356);  // held exclusively
  }

  // Choosing the open bid again, in other letters, opens nothing (its price window is shown again).
  dialogos.choose(carpeta.ruta() + "/EJEMPLO.MDB");
  clic("miarchivoabrir");
  EXPECT_EQ(frmPre, 2);
  EXPECT_EQ(quarvel::rutaObra, ejemplo);

  clic("miarchivocerrar");
  EXPECT_FALSE(quarvel::obraAbierta);
  EXPECT_EQ(caption(), "Tornavo de Presupuesto");
  EXPECT_FALSE(quarvel::dbObra->IsOpen());
  EXPECT_EQ(errorOf([] { quarvel::rsPresupuesto->MoveFirst(); }), 3420);
  OtroPrograma otro(ejemplo, true);
  EXPECT_EQ(otro.error(), 0);

  // The next start remembers the bid: the dialog starts there, its tool shows it.
  ui::Forms::instance().unload(principal);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  ASSERT_NE(arranca(), nullptr);
  EXPECT_EQ(quarvel::rutaObra, ejemplo);
  EXPECT_FALSE(quarvel::obraAbierta);
  EXPECT_EQ(barra().tool("mnuobra1")->caption(), "&1 " + ejemplo);
  dialogos.cancel();
  clic("mnuAbr");
  EXPECT_EQ(dialogos.shown().back().initDir, carpeta.ruta() + "/");
  EXPECT_EQ(dialogos.shown().back().fileName, "Ejemplo.mdb");
  EXPECT_EQ(caption(), "Tornavo de Presupuesto");
}

TEST_F(ShellTest, RecentBidsNeverTwiceAndAtMostFour) {
  ASSERT_NE(arranca(), nullptr);
  QStringList rutas;
  for (const char* n : {"a/uno.mdb", "b/dos.mdb", "c/tres.mdb", "d/cuatro.mdb", "e/cinco.mdb"})
    rutas.append(carpeta.copiaEjemplo(QString::fromLatin1(n)));
  for (const QString& r : rutas)
    abre(r);
  EXPECT_EQ(recientes(), QStringList({rutas[4], rutas[3], rutas[2], rutas[1]}));

  // Opening one of the list again moves it to the top; so does its recent-bid tool.
  abre(rutas[2]);
  EXPECT_EQ(recientes(), QStringList({rutas[2], rutas[4], rutas[3], rutas[1]}));
  ASSERT_TRUE(clic("mnuobra3"));
  EXPECT_EQ(quarvel::rutaObra, rutas[3]);
  EXPECT_EQ(recientes(), QStringList({rutas[3], rutas[2], rutas[4], rutas[1]}));
  EXPECT_EQ(barra().tool("mnuobra2")->caption(), "&2 " + rutas[2]);

  // Stored entries with blanks around count as the same bid.
  quarvel::rsTitgen->Edit();
  quarvel::rsTitgen->SetValue("obra1", "  " + rutas[0] + " ");
  quarvel::rsTitgen->SetValue("obra2", rutas[1]);
  quarvel::rsTitgen->SetValue("obra3", rutas[0]);
  quarvel::rsTitgen->SetValue("obra4", vb::Variant::null());
  quarvel::rsTitgen->Update();
  quarvel::rutaObra = rutas[1];
  maneobra::ActualizaObrasRecientes();
  EXPECT_EQ(recientes(), QStringList({rutas[1], rutas[0], "", ""}));
}

// Bids are files: names that differ only in letter case are two files here, a symbolic link is the
// file it points to, and a name in other letters that no file has is the file it opens.
TEST_F(ShellTest, BidsAreComparedAsFilesNotAsLetters) {
  int frmPre = 0;
  ventanas::registro().FrmPre = [&] { ++frmPre; };
  const QString mayusculas = carpeta.copiaEjemplo("c/Obra.mdb");
  const QString minusculas = carpeta.copiaEjemplo("c/obra.mdb");
  const QString enlace = carpeta.archivo("c/enlace.mdb");
  ASSERT_TRUE(QFile::link(mayusculas, enlace));
  ASSERT_NE(arranca(), nullptr);

  abre(mayusculas);
  abre(minusculas);
  EXPECT_EQ(quarvel::rutaObra, minusculas);  // the other file was opened
  EXPECT_EQ(frmPre, 2);
  EXPECT_EQ(recientes(), QStringList({minusculas, mayusculas, "", ""}));

  abre(mayusculas);
  abre(enlace);  // the open bid itself: nothing opens, its price window is shown again
  EXPECT_EQ(quarvel::rutaObra, mayusculas);
  EXPECT_EQ(frmPre, 4);
  maneobra::Abrearchivo(enlace);
  EXPECT_EQ(quarvel::rutaObra, mayusculas);
  abre(carpeta.archivo("c/ENLACE.MDB"));
  EXPECT_EQ(quarvel::rutaObra, mayusculas);
  EXPECT_EQ(recientes(), QStringList({mayusculas, minusculas, "", ""}));
  EXPECT_TRUE(cajas.texts().isEmpty()) << cajas.texts().join(" | ").toStdString();

  // The recent list holds a file once, whatever path reaches it.
  quarvel::rsTitgen->Edit();
  quarvel::rsTitgen->SetValue("obra1", enlace);
  quarvel::rsTitgen->SetValue("obra2", minusculas);
  quarvel::rsTitgen->SetValue("obra3", mayusculas);
  quarvel::rsTitgen->Update();
  maneobra::ActualizaObrasRecientes();
  EXPECT_EQ(recientes(), QStringList({mayusculas, minusculas, "", ""}));
}

TEST_F(ShellTest, BidsThatCannotBeOpened) {
  int frmPre = 0;
  ventanas::registro().FrmPre = [&] { ++frmPre; };
  ASSERT_NE(arranca(), nullptr);
  // A database of the program that is not a bid: the library itself.
  const QString biblioteca = carpeta.archivo("paratorn.kor");
  // Not a database at all.
  const QString basura = carpeta.archivo("basura.mdb");
  QFile f(basura);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(QByteArray(4096, 'x'));
  f.close();
  // A bid of another password.
  const QString ajena = carpeta.archivo("ajena.mdb");
  {
    auto db = dao::DBEngine::CreateDatabase(ajena, ";pwd=OTRA");
    for (const char* t : {"Monedas", "Partidas", "Presupuesto"}) {
      auto td = db->CreateTableDef(t);
      td->Fields().Append(td->CreateField("Clave", dao::DataType::Text, 10));
      db->TableDefs().Append(td);
    }
  }

  struct Caso {
    QString ruta;
    QString mensaje;  // the start of the one box shown
  };
  const Caso casos[] = {
      {biblioteca, "El archivo no es formato Tornavo"},
      {basura, "maneobra.buscaObra 3343"},
      {ajena, "maneobra.buscaObra 3031"},
  };
  for (const Caso& c : casos) {
    cajas.answer(ui::vbOK);
    abre(c.ruta);
    ASSERT_FALSE(cajas.texts().isEmpty()) << c.ruta.toStdString();
    EXPECT_TRUE(cajas.texts().back().startsWith(c.mensaje)) << cajas.texts().back().toStdString();
    EXPECT_FALSE(quarvel::obraAbierta) << c.ruta.toStdString();
    EXPECT_EQ(caption(), "Tornavo de Presupuesto");
  }
  EXPECT_EQ(cajas.shown()[0].icon(), ui::vbExclamation);
  EXPECT_EQ(frmPre, 0);
  EXPECT_EQ(recientes(), QStringList({"", "", "", ""}));

  // A file that is gone by the time it is opened: asked again, then cancelled.
  dialogos.choose(carpeta.archivo("falta.mdb")).cancel();
  cajas.answer(ui::vbOK);
  clic("mnuAbr");
  EXPECT_EQ(cajas.texts().back(), "La obra seleccionanada ya existe, rectifique");
  EXPECT_EQ(dialogos.shown().size(), 5u);
  EXPECT_FALSE(quarvel::obraAbierta);
}

TEST_F(ShellTest, MissingRecentBidsAreReported) {
  ASSERT_NE(arranca(), nullptr);
  const QString uno = carpeta.copiaEjemplo("obras/uno.mdb");
  const QString dos = carpeta.copiaEjemplo("viejas/dos.mdb");
  abre(uno);
  abre(dos);
  clic("mnuCer");
  ASSERT_TRUE(QFile::remove(uno));
  ASSERT_TRUE(QDir(carpeta.archivo("viejas")).removeRecursively());
  cajas.answer(ui::vbOK).answer(ui::vbOK);
  ASSERT_TRUE(clic("mnuobra2"));
  ASSERT_TRUE(clic("mnuobra1"));
  EXPECT_EQ(cajas.texts(), QStringList({"El archivo no existe", "El directorio no existe"}));
  EXPECT_EQ(cajas.shown()[0].icon(), ui::vbInformation);
  EXPECT_FALSE(quarvel::obraAbierta);
  EXPECT_EQ(caption(), "Tornavo de Presupuesto");
}

// Without the template bid "TORNAVO.KOR" in the program folder no bid can be checked: opening one,
// from the dialog or the recent bids, names that missing file of the program, not the bid (which is
// there), and nothing is opened.
TEST_F(ShellTest, AMissingTemplateIsNamedWhenABidIsOpened) {
  ASSERT_NE(arranca(), nullptr);
  const QString obra = carpeta.copiaEjemplo("obras/uno.mdb");
  abre(obra);
  ASSERT_TRUE(quarvel::obraAbierta);
  clic("mnuCer");
  ASSERT_TRUE(QFile::remove(carpeta.archivo("TORNAVO.KOR")));
  const QString falta = QStringLiteral("No se encuentra el archivo del programa TORNAVO.KOR en ") +
                        QDir::toNativeSeparators(quarvel::rutaPrograma) +
                        QStringLiteral(": sin él no se puede abrir ninguna obra. Vuelva a instalar el programa.");
  cajas.answer(ui::vbOK).answer(ui::vbOK);
  abre(obra);
  ASSERT_TRUE(clic("mnuobra1"));
  EXPECT_EQ(cajas.texts(), QStringList({falta, falta}));
  EXPECT_EQ(cajas.shown()[0].icon(), ui::vbExclamation);
  EXPECT_FALSE(quarvel::obraAbierta);
  EXPECT_EQ(caption(), "Tornavo de Presupuesto");
  EXPECT_TRUE(QFile::exists(obra));
}

// With a bid open and no child window, Copiar and Pegar of the left bar and of the Edition menu have
// nothing to act on: nothing happens, and no error is reported.
TEST_F(ShellTest, CopyAndPasteWithoutAChildWindowDoNothing) {
  QStringList llamadas;
  ventanas::registro().copiaClipboard = [&](QWidget*) { llamadas << "copia"; };
  ventanas::registro().pegaClipboard = [&](QWidget*) { llamadas << "pega"; };
  ASSERT_NE(arranca(), nullptr);
  abre(carpeta.archivo("Ejemplo.mdb"));
  ASSERT_TRUE(quarvel::obraAbierta);
  ASSERT_EQ(ui::Forms::instance().activeChild(), nullptr);
  for (const char* herramienta : {"mnuCop", "mnuPeg", "miedicioncopiar", "miedicionpegar"})
    EXPECT_TRUE(clic(herramienta)) << herramienta;
  // A locked bid too: there is nothing to paste into, so nothing to refuse.
  quarvel::dbObra->Execute("UPDATE DatosGenerales SET BaseCerrada = -1");
  quarvel::rsDatosGenerales->Requery();
  EXPECT_TRUE(clic("mnuPeg"));
  EXPECT_TRUE(llamadas.isEmpty());
  EXPECT_TRUE(cajas.texts().isEmpty()) << cajas.texts().join(" | ").toStdString();
}

TEST_F(ShellTest, BidHeldByAnotherProgram) {
  ASSERT_NE(arranca(), nullptr);
  const QString ejemplo = carpeta.archivo("Ejemplo.mdb");
  const QString otra = carpeta.copiaEjemplo("otra.mdb");

  // Held exclusively: the test open already fails.
  {
    OtroPrograma otro(ejemplo, true);
    ASSERT_EQ(otro.error(), 0);
    cajas.answer(ui::vbOK);
    abre(ejemplo);
    EXPECT_TRUE(cajas.texts().back().startsWith("maneobra.buscaObra 3356")) << cajas.texts().back().toStdString();
    EXPECT_FALSE(quarvel::obraAbierta);
  }
  // Held shared: the exclusive open fails. Nothing stays open, not even the bid open before.
  abre(otra);
  ASSERT_TRUE(quarvel::obraAbierta);
  const QStringList antes = recientes();
  {
    OtroPrograma otro(ejemplo, false);
    ASSERT_EQ(otro.error(), 0);
    cajas.answer(ui::vbOK);
    abre(ejemplo);
    EXPECT_TRUE(cajas.texts().back().startsWith("maneobra.pideObra 3356")) << cajas.texts().back().toStdString();
  }
  EXPECT_FALSE(quarvel::obraAbierta);
  EXPECT_EQ(caption(), "Tornavo de Presupuesto");
  EXPECT_FALSE(quarvel::dbObra->IsOpen());
  EXPECT_EQ(clicables(), QStringList(kSinObra) << "mnuobra1");
  EXPECT_EQ(recientes(), antes);
  OtroPrograma despues(otra, true);
  EXPECT_EQ(despues.error(), 0);  // the bid open before was closed
}

TEST_F(ShellTest, PrintAndPreviewGoThroughThePrintGate) {
  std::vector<bool> reportes;
  int revisiones = 0;
  bool revisionBuena = true;
  ventanas::registro().frmRep = [&](bool modal) { reportes.push_back(modal); };
  ventanas::registro().revisaImpresion = [&] {
    ++revisiones;
    return revisionBuena;
  };
  ASSERT_NE(arranca(), nullptr);
  abre(carpeta.archivo("Ejemplo.mdb"));

  clic("mnuImp");
  EXPECT_EQ(quarvel::destinoReporte, 0);
  clic("miarchivopreview");
  EXPECT_EQ(quarvel::destinoReporte, 1);
  EXPECT_EQ(reportes, std::vector<bool>({true, false}));  // modal for the printer, modeless for the preview

  revisionBuena = false;  // a pre-print check failed (and showed its own message)
  clic("mnuPre");
  EXPECT_EQ(reportes.size(), 2u);

  revisionBuena = true;
  ui::overridePrinterList(QStringList());
  cajas.answer(ui::vbOK).answer(ui::vbOK);
  clic("mnuPre");
  clic("miarchivoprint");
  EXPECT_EQ(cajas.texts(), QStringList({"Debe instalar una impresora", "Debe instalar una impresora"}));
  EXPECT_EQ(cajas.shown()[0].icon(), ui::vbExclamation);
  EXPECT_EQ(reportes.size(), 2u);
  EXPECT_EQ(revisiones, 5);
}

TEST_F(ShellTest, PasteIsRefusedOnALockedBid) {
  int pegados = 0;
  ventanas::registro().pegaClipboard = [&](QWidget*) { ++pegados; };
  ASSERT_NE(arranca(), nullptr);
  abre(carpeta.archivo("Ejemplo.mdb"));
  auto* hija = ui::Forms::instance().get<Hija>();
  ui::Forms::instance().show(hija);

  struct Caso {
    vb::Variant baseCerrada, cerrada;
    bool rechazado;
  };
  const Caso casos[] = {
      {false, false, false}, {vb::Variant::null(), vb::Variant::null(), false},
      {false, true, true},   {true, false, true},
      {vb::Variant::null(), true, true},
  };
  for (const Caso& c : casos) {
    quarvel::rsDatosGenerales->Edit();
    quarvel::rsDatosGenerales->SetValue("BaseCerrada", c.baseCerrada);
    quarvel::rsDatosGenerales->SetValue("Cerrada", c.cerrada);
    quarvel::rsDatosGenerales->Update();
    const int antes = pegados;
    if (c.rechazado)
      cajas.answer(ui::vbOK);
    clic("mnuPeg");
    EXPECT_EQ(pegados - antes, c.rechazado ? 0 : 1);
  }
  EXPECT_EQ(cajas.texts(), QStringList(3, "La base de datos esta cerrada no se puede modificar"));
  EXPECT_EQ(cajas.shown()[0].icon(), ui::vbInformation);
}

TEST_F(ShellTest, LockingTheSampleBidThroughTheLockDialog) {
  int pegados = 0;
  ventanas::registro().pegaClipboard = [&](QWidget*) { ++pegados; };
  QString clave;
  ui::Forms::instance().setModalRunner([&](QDialog* d) {
    modales.append(ui::Forms::name(d));
    if (auto* cierre = qobject_cast<FrmCierre*>(d)) {
      cierre->Contrasena->setText(clave);
      cierre->Confirma->setText(clave);
      cierre->Aceptar_Click();
    }
    ui::Forms::instance().unload(d);
    return 0;
  });
  ASSERT_NE(arranca(), nullptr);
  const QString ejemplo = carpeta.archivo("Ejemplo.mdb");
  abre(ejemplo);
  ui::Forms::instance().show(ui::Forms::instance().get<Hija>());

  clave = "secreto ";
  ASSERT_TRUE(clic("miherramientasca"));
  EXPECT_TRUE(vb::CBool(quarvel::rsDatosGenerales->Value("BaseCerrada")));
  EXPECT_EQ(vb::CStr(quarvel::rsDatosGenerales->Value("Contraseña")), "SECRETO");
  cajas.answer(ui::vbOK);
  clic("miedicionpegar");
  EXPECT_EQ(pegados, 0);

  // Locked it stays, through closing and opening again; the right password opens it.
  clic("mnuCer");
  abre(ejemplo);
  EXPECT_TRUE(vb::CBool(quarvel::rsDatosGenerales->Value("BaseCerrada")));
  clave = "Secreto";
  ASSERT_TRUE(clic("miherramientasca"));
  EXPECT_FALSE(vb::CBool(quarvel::rsDatosGenerales->Value("BaseCerrada")));
  ui::Forms::instance().show(ui::Forms::instance().get<Hija>());
  clic("mnuPeg");
  EXPECT_EQ(pegados, 1);
  EXPECT_EQ(cajas.texts(), QStringList({"La base de datos esta cerrada no se puede modificar"}));
  EXPECT_EQ(modales.mid(1), QStringList({"FrmCierre", "FrmCierre"}));
}

TEST_F(ShellTest, EveryToolRunsItsCommand) {
  QStringList llamadas;
  ventanas::Registro& r = ventanas::registro();
  const auto anota = [&](const char* nombre) { return [&llamadas, nombre] { llamadas.append(nombre); }; };
  r.FrmPre = anota("FrmPre");
  r.FrmParTorn = anota("FrmParTorn");
  r.FrmMone = anota("FrmMone");
  r.FrmPrograma = anota("FrmPrograma");
  r.FrmDatGen = anota("FrmDatGen");
  r.FrmColGrid = anota("FrmColGrid");
  r.FrmDetPresu = anota("FrmDetPresu");
  r.frmRep = [&](bool modal) { llamadas.append(modal ? "frmRep modal" : "frmRep"); };
  r.copiaClipboard = [&](QWidget*) { llamadas.append("copiaClipboard"); };
  r.pegaClipboard = [&](QWidget*) { llamadas.append("pegaClipboard"); };
  r.refrescaPresupuesto = anota("refrescaPresupuesto");
  r.OrdenaGrid = [&](QWidget*, bool descendente) { llamadas.append(descendente ? "descendente" : "ascendente"); };
  r.SeleccionaTodo = [&](QWidget*) { llamadas.append("SeleccionaTodo"); };
  ASSERT_NE(arranca(), nullptr);
  abre(carpeta.archivo("Ejemplo.mdb"));
  ui::Forms::instance().show(ui::Forms::instance().get<Hija>());
  llamadas.clear();

  struct Caso {
    const char* herramienta;
    QStringList esperado;
  };
  const Caso casos[] = {
      {"miverpresupuesto", {"FrmPre"}},   {"mnuCapPre", {"FrmPre"}},       {"PU", {"FrmPre"}},
      {"miverparametros", {"FrmDatGen"}}, {"mnuInd", {"FrmDatGen"}},       {"Indirectos", {"FrmDatGen"}},
      {"miverpartidas", {"FrmParTorn"}},  {"mnuPar", {"FrmParTorn"}},      {"Partidas", {"FrmParTorn"}},
      {"mivermonedas", {"FrmMone"}},      {"mnuMon", {"FrmMone"}},         {"Monedas", {"FrmMone"}},
      {"miverprograma", {"FrmPrograma"}}, {"mnuprograma", {"FrmPrograma"}}, {"Programa", {"FrmPrograma"}},
      {"miherramientascolumnas", {"FrmColGrid"}},
      {"popdetalle", {"FrmDetPresu"}},
      {"miarchivoprint", {"frmRep modal"}}, {"mnuImp", {"frmRep modal"}},
      {"miarchivopreview", {"frmRep"}},     {"mnuPre", {"frmRep"}},
      {"miedicioncopiar", {"copiaClipboard"}}, {"mnuCop", {"copiaClipboard"}},
      {"miedicionpegar", {"pegaClipboard", "refrescaPresupuesto"}},
      {"mnuPeg", {"pegaClipboard", "refrescaPresupuesto"}},
      {"miedicionascendente", {"ascendente"}}, {"mnuascendente", {"ascendente"}},
      {"miediciondescendente", {"descendente"}}, {"mnudescendente", {"descendente"}},
      {"miedicionall", {"SeleccionaTodo"}},
  };
  for (const Caso& c : casos) {
    llamadas.clear();
    EXPECT_TRUE(clic(c.herramienta)) << c.herramienta;
    EXPECT_EQ(llamadas, c.esperado) << c.herramienta;
  }

  // The dialogs of the shell itself, modal.
  modales.clear();
  clic("miherramientasca");
  clic("miayudaacerca");
  EXPECT_EQ(modales, QStringList({"FrmCierre", "FrmAcercaDe"}));

  // A tool of the library that no band shows, and names that are not in the table.
  llamadas.clear();
  EXPECT_FALSE(clic("mnuSel"));
  MDIToolbar::instancia()->ActiveBar1_ToolClick(barra().tool("mnuSel"));
  MDIToolbar::instancia()->ActiveBar1_ToolClick(barra().tool("mnuRepHoj"));
  MDIToolbar::instancia()->ActiveBar1_ToolClick(barra().tool("mnuOpc"));
  EXPECT_EQ(llamadas, QStringList({"SeleccionaTodo"}));
}

TEST_F(ShellTest, WindowsOfLaterIssuesDoNothingUntilRegistered) {
  ASSERT_NE(arranca(), nullptr);
  abre(carpeta.archivo("Ejemplo.mdb"));
  for (const char* h : {"PU", "Indirectos", "Partidas", "Monedas", "Programa", "miherramientascolumnas", "popdetalle",
                        "mnuCop", "mnuPeg", "mnuascendente", "mnudescendente", "miedicionall", "mnuImp", "mnuPre"})
    EXPECT_TRUE(clic(h)) << h;
  EXPECT_TRUE(cajas.texts().isEmpty()) << cajas.texts().join(" | ").toStdString();
  EXPECT_EQ(ui::Forms::instance().loaded().size(), 1);
}

TEST_F(ShellTest, SortErrorsAreReportedButNoChildWindowIsNot) {
  int numero = 0;
  ventanas::registro().OrdenaGrid = [&](QWidget*, bool) {
    if (numero)
      throw vb::Error(numero, "descripción");
  };
  ASSERT_NE(arranca(), nullptr);
  abre(carpeta.archivo("Ejemplo.mdb"));
  clic("mnuascendente");  // no child window: nothing
  ui::Forms::instance().show(ui::Forms::instance().get<Hija>());
  numero = 3117;
  cajas.answer(ui::vbOK).answer(ui::vbOK);
  clic("mnuascendente");
  numero = 3021;
  clic("miediciondescendente");
  EXPECT_EQ(cajas.texts(), QStringList({"No es posible ordenar por campos tipo memo como la descripción completa",
                                        "Error en el modulo MdiToolBar.mnuRegascendente_Click: 3021 descripción"}));
  EXPECT_EQ(cajas.shown()[1].title, "Tornavo: Error");
  EXPECT_EQ(cajas.shown()[1].icon(), ui::vbInformation);
}

TEST_F(ShellTest, LeftBarFollowsItsCheckMark) {
  ASSERT_NE(arranca(), nullptr);
  abre(carpeta.archivo("Ejemplo.mdb"));
  ui::Tool* marca = barra().tool("miverbarra");
  ui::Band* izquierda = barra().band("barraTornavo");
  EXPECT_TRUE(marca->isChecked());
  EXPECT_TRUE(izquierda->isVisible());
  clic("miverbarra");
  EXPECT_FALSE(marca->isChecked());
  EXPECT_FALSE(izquierda->isVisible());
  EXPECT_FALSE(barra().canClick(barra().tool("mnuCer")));
  clic("miverbarra");
  EXPECT_TRUE(marca->isChecked());
  EXPECT_TRUE(izquierda->isVisible());
  // The user closes the bar and opens it again.
  izquierda->toolBar()->hide();
  EXPECT_FALSE(marca->isChecked());
  izquierda->toolBar()->show();
  EXPECT_TRUE(marca->isChecked());
}

TEST_F(ShellTest, WindowMenuClosesTheChildOrTheProgram) {
  ASSERT_NE(arranca(), nullptr);
  abre(carpeta.archivo("Ejemplo.mdb"));
  ui::Forms& formas = ui::Forms::instance();
  Hija* hija = formas.get<Hija>();
  formas.show(hija);
  ASSERT_EQ(formas.activeChild(), hija);
  clic("miorganizarvertical");
  clic("miventanacerrar");
  EXPECT_FALSE(formas.isLoaded(hija));
  EXPECT_NE(MDIToolbar::instancia(), nullptr);
  clic("miventanacerrar");  // no child left: the main window closes, the bid with it
  EXPECT_EQ(MDIToolbar::instancia(), nullptr);
  EXPECT_FALSE(quarvel::obraAbierta);
  EXPECT_FALSE(quarvel::dbObra->IsOpen());
}

TEST_F(ShellTest, UnloadClosesTheBidSavesThePlaceAndReleasesTheUtilities) {
  MDIToolbar* principal = arranca();
  ASSERT_NE(principal, nullptr);
  abre(carpeta.archivo("Ejemplo.mdb"));
  bool liberado = false;
  general::objListaOpciones =
      std::shared_ptr<clsListaOpciones>(static_cast<clsListaOpciones*>(nullptr), [&](clsListaOpciones*) { liberado = true; });
  principal->resize(700, 500);
  clic("miarchivosalir");
  EXPECT_EQ(MDIToolbar::instancia(), nullptr);
  EXPECT_TRUE(liberado);
  EXPECT_EQ(general::objListaOpciones, nullptr);
  EXPECT_FALSE(quarvel::obraAbierta);
  EXPECT_EQ(ui::GetSetting(ui::exeName(), "MDIToolbar", "Largo"), "10500");
}

// The end of the program, after Salir or with the main window still loaded (its loop ended some other
// way): no window left, nothing of quarvel held, and both files free for another program.
TEST_F(ShellTest, TheEndOfTheProgramLetsGoOfEverything) {
  for (const bool salir : {true, false}) {
    SCOPED_TRACE(salir ? "after Salir" : "main window still loaded");
    ASSERT_NE(arranca(), nullptr);
    abre(carpeta.archivo("Ejemplo.mdb"));
    ASSERT_TRUE(quarvel::obraAbierta);
    if (salir)
      clic("miarchivosalir");
    mditool::Termina();
    EXPECT_TRUE(ui::Forms::instance().loaded().isEmpty());
    EXPECT_EQ(quarvel::dbObra, nullptr);
    EXPECT_EQ(quarvel::rsPresupuesto, nullptr);
    EXPECT_EQ(quarvel::qdBuscaPre, nullptr);
    EXPECT_EQ(quarvel::dbParametros, nullptr);
    EXPECT_EQ(quarvel::rsTitgen, nullptr);
    EXPECT_EQ(quarvel::rsReportes, nullptr);
    EXPECT_FALSE(quarvel::obraAbierta);
    EXPECT_EQ(OtroPrograma(carpeta.archivo("Ejemplo.mdb"), true).error(), 0);
    EXPECT_EQ(OtroPrograma(carpeta.archivo("paratorn.kor"), true).error(), 0);
  }
}

#include "mditoolbar_test.moc"
