#include "maneobra.h"

#include "barcontrol.h"
#include "dao.h"
#include "filedialog.h"
#include "files.h"
#include "forms.h"
#include "general.h"
#include "korgen.h"
#include "mditoolbar.h"
#include "msgbox.h"
#include "puntero.h"
#include "quarvel.h"
#include "utilidades.h"
#include "ventanas.h"
#include "verifica.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <optional>

namespace maneobra {

namespace {

const QString kSinObra = QStringLiteral("Tornavo de Presupuesto");
const QString kPlantilla = QStringLiteral("TORNAVO.KOR");

QString numeroYDescripcion(const vb::Error& e) { return QString::number(e.number()) + e.description(); }

void ponCaption(const QString& caption) {
  if (MDIToolbar* principal = MDIToolbar::instancia())
    principal->setWindowTitle(caption);
}

// Runs one step of a procedure that passes its errors over: a failing step is skipped, and the last
// error is kept for the one message at the end.
template <class F>
void pasa(std::optional<vb::Error>& ultimo, F&& paso) {
  try {
    paso();
  } catch (const vb::Error& e) {
    ultimo = e;
  }
}

// A bid whose file or folder cannot be written opens all the same, read-only: said once, with why.
void avisaSoloLectura(const dao::Database& obra) {
  const dao::FileAccess acceso = obra.Access();
  if (acceso == dao::FileAccess::Writable)
    return;
  const QFileInfo archivo(obra.Name());
  const QString porque =
      acceso == dao::FileAccess::FileReadOnly
          ? QStringLiteral("el archivo %1 es de sólo lectura").arg(QDir::toNativeSeparators(archivo.absoluteFilePath()))
          : QStringLiteral("la carpeta %1 es de sólo lectura").arg(QDir::toNativeSeparators(archivo.absolutePath()));
  ui::MsgBox(QStringLiteral("La obra se abrió sólo para lectura porque %1.\r\n"
                            "Se puede consultar e imprimir, pero no se guardará ningún cambio.")
                 .arg(porque),
             ui::vbInformation);
}

struct Rutas {
  QString carpeta, archivo, ruta;
};

Rutas rutasActuales() { return {quarvel::carpetaObra, quarvel::archivoObra, quarvel::rutaObra}; }

void ponRutas(const Rutas& r) {
  quarvel::carpetaObra = r.carpeta;
  quarvel::archivoObra = r.archivo;
  quarvel::rutaObra = r.ruta;
}

// The windows of the open bid are unloaded and its database closed. The shared recordsets stay as
// closed ones (any use raises 3420) until the next bid replaces them.
void liberaObra() {
  ui::Forms::instance().descargaFormas(QStringLiteral("MDIToolbar"));
  if (quarvel::dbObra)
    quarvel::dbObra->Close();
  quarvel::obraAbierta = false;
}

// Opens the bid the paths globals name, once it was chosen and test-opened: the structure check,
// the exclusive open, the recent bids, the caption and the shared recordsets. True when the bid is
// open. Errors are passed over as pideObra does and the last one is left in `error`.
//
// The bid open until now stays open when the check refuses the new one (and the paths name it
// again, so that they keep telling which file dbObra is). When the exclusive open fails, nothing is
// left open: the flag is never set before the open succeeded.
bool abreElegida(const Rutas& previas, std::optional<vb::Error>& error) {
  bool valida = false;
  pasa(error, [&] { valida = VERIFICA::VerificaEstructura(quarvel::rutaObra); });
  if (!valida) {
    if (quarvel::obraAbierta)
      ponRutas(previas);
    return false;
  }
  std::shared_ptr<dao::Database> db;
  try {
    db = dao::DBEngine::OpenDatabase(quarvel::rutaObra, true, false, quarvel::kConexion);
  } catch (const vb::Error& e) {
    error = e;
    const Rutas elegida = rutasActuales();
    CierraArchivo();
    ponRutas(elegida);
    return false;
  }
  liberaObra();
  quarvel::dbObra = std::move(db);
  quarvel::obraAbierta = true;
  pasa(error, [] { ActualizaObrasRecientes(); });
  ponCaption(QStringLiteral("Obra: ") + quarvel::rutaObra);
  abreRecordSets();
  avisaSoloLectura(*quarvel::dbObra);
  return true;
}

}  // namespace

ui::CommonDialog& dialogoObras() {
  if (MDIToolbar* principal = MDIToolbar::instancia())
    return principal->CommonDialog1;
  static ui::CommonDialog propio = [] {
    ui::CommonDialog d;
    d.DialogTitle = QStringLiteral("Abrir");
    d.Filter = QStringLiteral("Base de datos|*.mdb");
    d.CancelError = true;
    return d;
  }();
  return propio;
}

int buscaObra(QString& archivo, QString& carpeta, bool nuevo, const QString& titulo) {
  int resultado = kCancelada;
  try {
    ui::CommonDialog& dialogo = dialogoObras();
    dialogo.DialogTitle = titulo;
    dialogo.FileName = archivo;
    dialogo.InitDir = carpeta;
    dialogo.Flags = nuevo ? (ui::cdlOFNCreatePrompt | ui::cdlOFNPathMustExist | ui::cdlOFNHideReadOnly)
                          : (ui::cdlOFNFileMustExist | ui::cdlOFNPathMustExist | ui::cdlOFNHideReadOnly);
    dialogo.ShowOpen();
    QCoreApplication::processEvents();
    general::SeparaRuta(dialogo.FileName, carpeta, archivo);

    auto db = dao::DBEngine::OpenDatabase(carpeta + archivo, false, false, quarvel::kConexion);
    int tablas = 0;
    dao::TableDefList& definiciones = db->TableDefs();
    for (int i = 0; i < definiciones.Count(); ++i) {
      const QString nombre = definiciones.Item(i).Name();
      if (nombre == QLatin1String("Monedas") || nombre == QLatin1String("Partidas") ||
          nombre == QLatin1String("Presupuesto"))
        ++tablas;
    }
    db->Close();
    if (tablas == 3)
      resultado = kObraValida;
    else
      ui::MsgBox(QStringLiteral("El archivo no es formato Tornavo"), ui::vbExclamation);
  } catch (const vb::Error& e) {
    if (e.number() == 3024)
      resultado = kNoExiste;
    else if (e.number() != ui::cdlCancel)
      ui::MsgBox(QStringLiteral("maneobra.buscaObra ") + numeroYDescripcion(e));
  }
  return resultado;
}

void pideObra(bool nuevo, const QString& titulo) {
  // The dialog starts at the last bid (the main window's load put it in the paths).
  QString archivo = vb::Trim(quarvel::archivoObra);
  QString carpeta = vb::Trim(quarvel::carpetaObra);
  for (;;) {
    const int codigo = buscaObra(archivo, carpeta, nuevo, titulo);
    if (codigo == kCancelada)
      return;
    if (quarvel::obraAbierta && general::MismaObra(carpeta + archivo, quarvel::rutaObra))
      return;  // the open bid itself
    if (codigo == kNoExiste) {
      if (!nuevo) {
        ui::MsgBox(QStringLiteral("La obra seleccionanada ya existe, rectifique"));
        continue;
      }
      if (!creaObra(carpeta + archivo, kPlantilla))
        return;
    }
    break;
  }

  const Rutas previas = rutasActuales();
  ponRutas({carpeta, archivo, carpeta + archivo});
  std::optional<vb::Error> error;
  abreElegida(previas, error);
  if (error && error->number() != 3024 && error->number() != 3044)
    ui::MsgBox(QStringLiteral("maneobra.pideObra ") + numeroYDescripcion(*error));
}

void Abrearchivo(const QString& ruta) {
  std::optional<vb::Error> error;
  try {
    if (quarvel::obraAbierta && general::MismaObra(ruta, quarvel::rutaObra))
      return;
    dao::DBEngine::OpenDatabase(ruta, false, false, quarvel::kConexion)->Close();
    const Rutas previas = rutasActuales();
    quarvel::rutaObra = ruta;
    general::SeparaRuta(ruta, quarvel::carpetaObra, quarvel::archivoObra);
    abreElegida(previas, error);
  } catch (const vb::Error& e) {
    error = e;
  }
  if (!error)
    return;
  if (error->number() == 3024)
    ui::MsgBox(QStringLiteral("El archivo no existe"), ui::vbInformation);
  else if (error->number() == 3044)
    ui::MsgBox(QStringLiteral("El directorio no existe"), ui::vbInformation);
  else
    ui::MsgBox(QStringLiteral("MDITool.Abrearchivo ") + numeroYDescripcion(*error));
}

bool creaObra(const QString& destino, const QString& archivo) {
  puntero::Reloj();
  bool creada = false;
  try {
    const QString plantilla = general::ArchivoPrograma(archivo);
    if (!QFileInfo(plantilla).isFile())
      throw vb::Error(53);
    // A file copy replaces the destination, as FileCopy does, by the one writer of files: a new
    // bid is a new file of the user's (the template's permissions stay the template's), an existing
    // one is replaced whole, keeping its owner and permissions, or not at all.
    QFile origen(plantilla);
    if (!origen.open(QIODevice::ReadOnly))
      throw vb::Error(70);
    files::write(destino, origen.readAll());
    creada = true;
  } catch (const vb::Error& e) {
    puntero::Normal();
    if (e.number() == 70)
      ui::MsgBox(QStringLiteral("Perminso denegado, Eval.Kor esta siendo por otro usuario"));
    else
      ui::MsgBox(QStringLiteral("maneobra.creaObra ") + QString::number(e.number()) + u' ' + e.description());
  }
  puntero::Normal();
  return creada;
}

void abreRecordSets() {
  using dao::RecordsetType;
  std::optional<vb::Error> ignorado;  // the steps fail silently
  const std::shared_ptr<dao::Database> db = quarvel::dbObra;
  if (!db)
    return;
  pasa(ignorado, [&] {
    quarvel::rsDatosGenerales = db->OpenRecordset(QStringLiteral("SELECT * FROM DatosGenerales"), RecordsetType::Dynaset);
  });
  // Budget rows without dates take the project's (the date written as its serial day number); a
  // read-only bid takes them in memory.
  {
    dao::MemoryWrites fechas;
    pasa(ignorado, [&] {
      const double inicio = vb::CDbl(quarvel::rsDatosGenerales->Value(QStringLiteral("FechaInicioProy")));
      db->Execute(QStringLiteral("UPDATE presupuesto SET FechaIni =") + vb::numberText(inicio) +
                  QStringLiteral(" where isnull(fechaini)"));
    });
    pasa(ignorado, [&] {
      const double fin = vb::CDbl(quarvel::rsDatosGenerales->Value(QStringLiteral("FechaFinalProy")));
      db->Execute(QStringLiteral("UPDATE presupuesto SET FechaFin =") + vb::numberText(fin) +
                  QStringLiteral(" where isnull(fechafin)"));
    });
  }
  pasa(ignorado, [&] {
    quarvel::rsPresupuesto = db->OpenRecordset(QStringLiteral("SELECT * FROM Presupuesto"), RecordsetType::Dynaset);
    quarvel::rsPresupuestoClon = quarvel::rsPresupuesto->Clone();
    quarvel::rsPresupuestoClon2 = quarvel::rsPresupuesto->Clone();
  });
  pasa(ignorado, [&] {
    quarvel::rsMonedas = db->OpenRecordset(QStringLiteral("SELECT * FROM Monedas"), RecordsetType::Dynaset);
    quarvel::rsMonedasClon = quarvel::rsMonedas->Clone();
  });
  pasa(ignorado, [&] {
    quarvel::rsPartidas = db->OpenRecordset(QStringLiteral("SELECT * FROM Partidas"), RecordsetType::Dynaset);
    quarvel::rsPartidasClon = quarvel::rsPartidas->Clone();
  });
  pasa(ignorado, [&] {
    quarvel::rsPrograma = db->OpenRecordset(QStringLiteral("SELECT * FROM Programa"), RecordsetType::Dynaset);
  });
  pasa(ignorado, [&] {
    quarvel::rsTotalPartidas = db->OpenRecordset(QStringLiteral("TotalPartidas"), RecordsetType::Dynaset);
    quarvel::rsProgramaObra = db->OpenRecordset(QStringLiteral("ProgramaObra"), RecordsetType::Dynaset);
  });
  pasa(ignorado, [&] {
    quarvel::qdBuscaPre = db->QueryDefs().Get(QStringLiteral("BuscaPre"));
    quarvel::qdBuscaPre->Parameters(QStringLiteral("CRenglon")).SetValue(vb::Variant(int16_t{0}));
    quarvel::qdBuscaPre->Parameters(QStringLiteral("CPartida")).SetValue(vb::Variant(QString()));
    quarvel::rsBuscaPre = quarvel::qdBuscaPre->OpenRecordset();
  });
  pasa(ignorado, [] { general::CalculaRedondeo(); });
  QCoreApplication::processEvents();
}

void ActualizaObrasRecientes() {
  if (!quarvel::rsTitgen)
    throw vb::Error(91);
  dao::Recordset& titgen = *quarvel::rsTitgen;
  const vb::Variant primera = titgen.Value(QStringLiteral("obra1"));
  if (!primera.isNull() && vb::CStr(primera) == quarvel::rutaObra)
    return;
  QStringList lista{quarvel::rutaObra};
  for (int n = 1; n <= 4; ++n) {
    const vb::Variant v = titgen.Value(QStringLiteral("obra%1").arg(n));
    if (general::esNulo(v))
      continue;
    const QString ruta = vb::Trim(vb::CStr(v));
    bool repetida = false;
    for (const QString& antes : lista)
      repetida = repetida || general::MismaObra(antes, ruta);
    if (!repetida)
      lista.append(ruta);
  }
  titgen.Edit();
  for (int n = 1; n <= 4; ++n)
    titgen.SetValue(QStringLiteral("obra%1").arg(n), n <= lista.size() ? vb::Variant(lista[n - 1]) : vb::Variant::null());
  titgen.Update();
}

void MuestraObrasRecientes() {
  MDIToolbar* principal = MDIToolbar::instancia();
  if (!principal || !quarvel::rsTitgen)
    return;
  for (int n = 1; n <= 4; ++n) {
    ui::Tool* herramienta = principal->ActiveBar1().tool(QStringLiteral("miarchivo"), QStringLiteral("mnuobra%1").arg(n));
    const vb::Variant ruta = quarvel::rsTitgen->Value(QStringLiteral("obra%1").arg(n));
    if (general::esNulo(ruta)) {
      herramienta->setVisible(false);
    } else {
      herramienta->setVisible(true);
      // The access key ("&1") and then the path as it is, "&" and all.
      herramienta->setCaption(herramienta->designCaption().left(2) + u' ' + vb::Trim(vb::CStr(ruta)), 2);
    }
  }
}

void AbreObraReciente(const QString& caption) {
  Abrearchivo(caption.mid(3));
  MuestraObrasRecientes();
}

void CierraArchivo() {
  liberaObra();
  ponCaption(kSinObra);
  if (MDIToolbar* principal = MDIToolbar::instancia())
    principal->MDIForm_Activate();
}

void SueltaObra() {
  using namespace quarvel;
  for (RecordsetPtr* rs : {&rsPresupuesto, &rsPresupuestoClon, &rsPresupuestoClon2, &rsTotalPartidas, &rsMonedas,
                           &rsMonedasClon, &rsDatosGenerales, &rsPartidas, &rsPartidasClon, &rsPrograma,
                           &rsProgramaObra, &rsBuscaPre, &rsPie, &rsCalCab, &rsCalDet, &rsContratistas,
                           &rsContratistas2})
    rs->reset();
  qdBuscaPre.reset();
  qdPeriodo.reset();
  if (dbObra)
    dbObra->Close();
  dbObra.reset();
  obraAbierta = false;
}

void CierraBiblioteca() {
  using namespace quarvel;
  for (RecordsetPtr* rs : {&rsTitgen, &rsReportes, &rsRepOpciones})
    rs->reset();
  if (dbParametros)
    dbParametros->Close();
  dbParametros.reset();
}

void AbreReportes() {
  if (!quarvel::dbParametros)
    throw vb::Error(91);
  quarvel::rsReportes = quarvel::dbParametros->OpenRecordset(QStringLiteral("SELECT * FROM reportes"));
  quarvel::rsRepOpciones = quarvel::dbParametros->OpenRecordset(QStringLiteral("SELECT * FROM repOpciones"));
}

void mnuReparar() {
  try {
    const bool abierta = quarvel::obraAbierta;
    QString carpeta = vb::Trim(quarvel::carpetaObra);
    QString archivo = vb::Trim(quarvel::archivoObra);
    if (!abierta) {
      if (buscaObra(archivo, carpeta, false, QStringLiteral("Reparar base de datos")) != kObraValida) {
        dialogoObras().DialogTitle = QStringLiteral("Abrir");
        return;
      }
    }
    CierraArchivo();
    RepararObra(carpeta, archivo, quarvel::kConexion);

    if (quarvel::dbParametros)
      quarvel::dbParametros->Close();
    RepararObra(quarvel::rutaPrograma, QStringLiteral("/paratorn.kor"), quarvel::kConexion);
    quarvel::dbParametros = dao::DBEngine::OpenDatabase(general::ArchivoPrograma(QStringLiteral("paratorn.kor")),
                                                        false, false, quarvel::kConexion);
    quarvel::rsTitgen = quarvel::dbParametros->OpenRecordset(QStringLiteral("SELECT * FROM titgen"),
                                                             dao::RecordsetType::Dynaset);
    AbreReportes();

    if (abierta) {
      if (MDIToolbar* principal = MDIToolbar::instancia())
        AbreObraReciente(principal->ActiveBar1().tool(QStringLiteral("miarchivo"), QStringLiteral("mnuobra1"))->caption());
    }
  } catch (const vb::Error& e) {
    if (e.number() == 3356)
      ui::MsgBox(QStringLiteral("La base de datos esta siendo utilizada por otra persona\r\n"
                                "Se necesita que la base este libre para poderse reparar"));
    else
      ui::MsgBox(QStringLiteral("mnuReparar ") + numeroYDescripcion(e));
  }
}

bool RepararObra(const QString& carpeta, const QString& archivo, const QString& clave) {
  QString ruta = carpeta + archivo;
  // Paths of the program folder are written with a leading separator ("/paratorn.kor").
  ruta.replace(QStringLiteral("//"), QStringLiteral("/"));
  const QString actual = dao::DBEngine::ResolvePath(ruta);
  // The .bak goes beside the file repaired, a symbolic link followed to it.
  const QString objetivo = files::writeTarget(actual);
  const QString bak = objetivo.left(objetivo.size() - 4) + QStringLiteral(".bak");
  try {
    // The compacted copy is written beside the file and takes its place in one step, the file as it
    // was staying as the .bak: whatever stops the repair, the name holds a whole database.
    dao::DBEngine::CompactInPlace(actual, bak, clave);
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

bool PuedeImprimir(int16_t destino) {
  const auto& revisa = ventanas::registro().revisaImpresion;
  if (revisa && !revisa())
    return false;
  quarvel::destinoReporte = destino;
  if (KorGen::HayImpresora())
    return true;
  ui::MsgBox(QStringLiteral("Debe instalar una impresora"), ui::vbExclamation);
  return false;
}

}  // namespace maneobra
