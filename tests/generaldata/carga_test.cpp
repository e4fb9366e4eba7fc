// Loading the general-data dialog: its pages, what each edition shows, locks and loads, and a row
// that holds nothing.
#include "datgenfixture.h"

#include "boundgrid.h"
#include "datacontrol.h"
#include "vbcontrols.h"

#include <QPlainTextEdit>

#include <QGroupBox>
#include <QTreeWidget>

namespace {

using namespace datgentest;

class Carga : public DatGenTest {};

QStringList nodos(FrmDatGen* f) {
  auto* arbol = f->findChild<QTreeWidget*>(QStringLiteral("tvwOpciones"));
  QStringList t;
  for (int i = 0; i < arbol->topLevelItemCount(); ++i) t << arbol->topLevelItem(i)->text(0);
  return t;
}

bool bloqueada(FrmDatGen* f, const char* nombre) {
  QWidget* c = f->caja(QString::fromLatin1(nombre));
  if (auto* e = qobject_cast<QLineEdit*>(c)) return e->isReadOnly() || !e->isEnabled();
  return static_cast<QPlainTextEdit*>(c)->isReadOnly();
}

TEST_F(Carga, TheDialogListsItsEightPagesSortedAndOpensOnConcurso) {
  abre(2);
  ASSERT_TRUE(carga());
  EXPECT_EQ(forma->windowTitle(), "Parámetros");
  EXPECT_EQ(nodos(forma), (QStringList{"Concurso", "Datos de la Empresa", "Dependencias", "Firmas", "Indirectos",
                                       "Obra", "Partidas", "Totales por moneda."}));
  EXPECT_EQ(paginaVisible(), "Concurso");
  // The navigator's width, its own height for the pages, and no room left for a title bar it has not:
  // the design size, the smallest the dialog takes; it may grow from there, the buttons with its corner.
  EXPECT_EQ(forma->minimumWidth(), 763);
  EXPECT_EQ(forma->height(), forma->Aceptar->geometry().bottom() + 1 + 8);
  EXPECT_GT(forma->maximumWidth(), forma->minimumWidth()) << "not a fixed size";
  EXPECT_LT(forma->Cancelar->geometry().right(), forma->width());
  EXPECT_EQ(forma->Aceptar->geometry().top(), forma->Cancelar->geometry().top());
  // The footer page sits in its frame, the totals per currency in theirs.
  EXPECT_TRUE(forma->fraMarco(8)->isAncestorOf(forma->pagina));
  EXPECT_TRUE(forma->fraMarco(1)->isAncestorOf(static_cast<QWidget*>(forma->TDBGrid1)));
  EXPECT_EQ(quarvel::banderaDatGen, false);
  EXPECT_TRUE(general::objListaOpciones);
}

TEST_F(Carga, ContractorEditionLoadsTheBidsRowAndLocksTheContractingBodysFields) {
  abre(2);
  ASSERT_TRUE(carga());
  const std::pair<const char*, const char*> esperados[] = {
      {"empresa", "CONSTRUCTORA EJEMPLO DEL BAJÍO, S.A. DE C.V."},
      {"responsable", "ING. ROBERTO MÉNDEZ SALAZAR"},
      {"cp", "45080"},
      {"telefono", "33 3612 4580"},
      {"NomDep1", "H. AYUNTAMIENTO DE SAN MARTÍN DE LAS FLORES"},
      {"area", "SUBDIRECCIÓN DE CONCURSOS Y CONTRATOS"},
      {"depto", "DEPARTAMENTO DE COSTOS Y PRESUPUESTOS"},
      {"numcon", "LO-SMF-OP-014/2025"},
      {"VerCon", "1"},
      {"Redondeo", "2"},
      {"Contrato", ""},
      {"nomobra1", "CONSTRUCCIÓN DE ESCUELA PRIMARIA DE NUEVE AULAS,"},
      {"nomobra3", ""},
      {"obraedo", "JALISCO"},
      {"nivel1", "1"},
      {"nivel3", "3"},
      {"nivel4", "0"},  // a stored 0 is no blank
      {"Titulo", "ADMINISTRADOR ÚNICO"},
      {"Nombre2", "ARQ. LAURA PATRICIA RÍOS OCHOA"},
      {"Titulo3", ""},
      {"txtAnticipo", "30.00"},
      {"txtEstimacion", "0.50"},
      {"txtFiniquito", "0.00"},
      {"txtIVA", "16.00"},
  };
  for (const auto& [nombre, valor] : esperados) EXPECT_EQ(caja(nombre), QString::fromUtf8(valor)) << nombre;
  EXPECT_EQ(dia(forma->FechaIni), QDate(2025, 3, 3));
  EXPECT_EQ(dia(forma->FechaFin), QDate(2025, 8, 29));
  EXPECT_EQ(dia(forma->FechaTope), QDate(2025, 8, 31));
  EXPECT_EQ(dia(forma->FechaCon), QDate(2025, 2, 14));
  EXPECT_EQ(forma->DiasCal->text(), "180");

  // The contractor's layout: percentages, one permission, no periodicity, no footer formats.
  EXPECT_FALSE(forma->Frame1->isHidden());
  EXPECT_TRUE(forma->chkPermiteTornavo->isEnabled());
  EXPECT_FALSE(forma->chkPermiteCeroCuadro->isEnabled());
  EXPECT_FALSE(forma->chkCantidadesEnCero->isEnabled());
  EXPECT_TRUE(forma->gbPeriodicidad->isHidden());
  EXPECT_TRUE(forma->lblPeriodos->isHidden());
  EXPECT_TRUE(forma->Periodos->isHidden());
  EXPECT_EQ(forma->Periodos->text(), "0");
  for (QWidget* b : {static_cast<QWidget*>(forma->pagina->Command1), static_cast<QWidget*>(forma->pagina->Command5),
                     static_cast<QWidget*>(forma->pagina->Command6), static_cast<QWidget*>(forma->pagina->Commmand3)})
    EXPECT_TRUE(b->isHidden());

  // Locked on activation: the boxes still take the focus; FechaFin stays open to the contractor.
  for (const char* nombre : {"NomDep1", "NomDep3", "area", "depto", "nomobra1", "nomobra6", "obradirec", "obraciudad",
                             "obraedo", "numcon", "VerCon", "lugar", "nivel1", "nivel7", "Titulo", "Nombre",
                             "Titulo5", "Nombre5", "Redondeo"})
    EXPECT_TRUE(bloqueada(forma, nombre)) << nombre;
  for (const char* nombre : {"empresa", "responsable", "DomFiscal", "telefono", "Contrato", "txtAnticipo", "txtIVA"})
    EXPECT_FALSE(bloqueada(forma, nombre)) << nombre;
  EXPECT_FALSE(forma->FechaIni->isEnabled());
  EXPECT_FALSE(forma->FechaTope->isEnabled());
  EXPECT_FALSE(forma->FechaCon->isEnabled());
  EXPECT_TRUE(forma->FechaFin->isEnabled());
  EXPECT_FALSE(forma->Redondeo->isEnabled());
  EXPECT_EQ(forma->caja("nomobra1")->focusPolicy() & Qt::TabFocus, Qt::TabFocus);
  EXPECT_NE(forma->caja("nomobra1")->palette().color(QPalette::Base),
            forma->caja("empresa")->palette().color(QPalette::Base));
}

TEST_F(Carga, PlicadoraEditionTakesTheContractingBodyAndSignaturesFromTitgen) {
  abre(1, QStringLiteral("Ejemplo.mdb"), [](dao::Database& obra, dao::Database& biblioteca) {
    biblioteca.Execute("UPDATE titgen SET nomdependencia1 = 'SECRETARÍA DE OBRAS', area = '   ', "
                       "Titulo = 'DIRECTOR', Nombre2 = 'ING. PÉREZ', Titulo5 = ' SUBDIRECTOR '");
    obra.Execute("UPDATE DatosGenerales SET PermitePreciosCero = True, PermiteCantidadCero = True");
  });
  ASSERT_TRUE(carga());
  EXPECT_EQ(caja("NomDep1"), "SECRETARÍA DE OBRAS");
  EXPECT_EQ(caja("NomDep2"), "") << "not the bid's own contracting body";
  EXPECT_EQ(caja("area"), "") << "blanks count as nothing";
  EXPECT_EQ(caja("Titulo"), "DIRECTOR");
  EXPECT_EQ(caja("Nombre"), "");
  EXPECT_EQ(caja("Nombre2"), "ING. PÉREZ");
  EXPECT_EQ(caja("Titulo2"), "");
  EXPECT_EQ(caja("Titulo5"), " SUBDIRECTOR ");
  EXPECT_EQ(caja("empresa"), "CONSTRUCTORA EJEMPLO DEL BAJÍO, S.A. DE C.V.") << "the company is always the bid's";

  EXPECT_TRUE(forma->Frame1->isHidden());
  EXPECT_EQ(caja("txtAnticipo"), "0") << "the percentages are not loaded";
  EXPECT_TRUE(forma->chkPermiteTornavo->isChecked());
  EXPECT_TRUE(forma->chkCantidadesEnCero->isChecked());
  EXPECT_FALSE(forma->chkPermiteCeroCuadro->isChecked());
  EXPECT_TRUE(forma->chkPermiteCeroCuadro->isEnabled());
  EXPECT_FALSE(forma->gbPeriodicidad->isHidden());
  EXPECT_TRUE(forma->optMensual->isChecked());
  EXPECT_EQ(forma->Periodos->text(), "6");
  for (QWidget* b : {static_cast<QWidget*>(forma->pagina->Command1), static_cast<QWidget*>(forma->pagina->Command6)})
    EXPECT_FALSE(b->isHidden());
  // Nothing is locked in this edition.
  EXPECT_TRUE(forma->FechaIni->isEnabled());
  EXPECT_TRUE(forma->Redondeo->isEnabled());
  EXPECT_FALSE(bloqueada(forma, "NomDep1"));
  EXPECT_FALSE(bloqueada(forma, "nivel1"));
}

// A general-data row that holds nothing at all.
void vacia(dao::Database& obra, dao::Database&) {
  QStringList campos;
  auto rs = obra.OpenRecordset("SELECT * FROM DatosGenerales", dao::RecordsetType::Snapshot);
  for (int i = 0; i < rs->FieldCount(); ++i) campos << rs->Fields(i).Name() + " = Null";
  obra.Execute("UPDATE DatosGenerales SET " + campos.join(", "));
}

TEST_F(Carga, ARowOfNullsOpensEmptyWithThePickersAtTheirDesignDate) {
  for (int16_t edicion : {int16_t(2), int16_t(1)}) {
    SCOPED_TRACE(edicion);
    abre(edicion, QStringLiteral("Ejemplo.mdb"), vacia);
    ASSERT_TRUE(carga());
    for (const char* nombre : {"empresa", "NomDep1", "numcon", "VerCon", "nomobra1", "obradirec", "nivel1", "Titulo"})
      EXPECT_EQ(caja(nombre), "") << nombre;
    EXPECT_EQ(caja("Redondeo"), "0");
    for (ui::DatePicker* p : {forma->FechaIni, forma->FechaFin, forma->FechaTope, forma->FechaCon})
      EXPECT_EQ(dia(p), QDate(1999, 6, 2));
    EXPECT_FALSE(forma->chkPermiteTornavo->isChecked());
    EXPECT_EQ(forma->DiasCal->text(), "1");
    if (edicion == 2) {
      EXPECT_EQ(forma->Periodos->text(), "0");
      EXPECT_EQ(caja("txtIVA"), "0.00");
      EXPECT_EQ(caja("txtAnticipo"), "0.00");
    } else {
      EXPECT_TRUE(forma->optMensual->isChecked()) << "no periodicity stored: monthly";
      EXPECT_EQ(forma->Periodos->text(), "1") << "the monthly count of the dates shown";
    }
    ui::Forms::instance().unload(forma);
  }
}

TEST_F(Carga, PlicadoraPeriodicityAndStoredCountWinOverTheDates) {
  struct Caso {
    const char* sql;
    QRadioButton* FrmDatGen::*opcion;
    const char* periodos;
  } casos[] = {
      {"Periodicidad = 7, Periodos = 6", &FrmDatGen::optMensual, "6"},
      {"Periodicidad = 3, Periodos = 12", &FrmDatGen::optSemanal, "12"},
      {"Periodicidad = 4, Periodos = Null", &FrmDatGen::optDiaria, "180"},
      {"Periodicidad = 2, Periodos = Null", &FrmDatGen::optQuincenal, "12"},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.sql);
    abre(1, QStringLiteral("Ejemplo.mdb"), [&](dao::Database& obra, dao::Database&) {
      obra.Execute(QStringLiteral("UPDATE DatosGenerales SET ") + c.sql);
    });
    ASSERT_TRUE(carga());
    EXPECT_TRUE((forma->*c.opcion)->isChecked());
    EXPECT_EQ(forma->Periodos->text(), c.periodos);
    ui::Forms::instance().unload(forma);
  }
}

TEST_F(Carga, DatesThePickersCannotShowLeaveThemEmptyAndTheDialogOpens) {
  abre(2, QStringLiteral("Ejemplo.mdb"), [](dao::Database& obra, dao::Database&) {
    obra.Execute("UPDATE DatosGenerales SET FechaConcurso = 'mañana', FechaTope = #1/1/1500#");
  });
  ASSERT_TRUE(carga());
  EXPECT_FALSE(forma->FechaCon->HasDate());
  EXPECT_FALSE(forma->FechaTope->HasDate());
  EXPECT_EQ(dia(forma->FechaFin), QDate(2025, 8, 29));
  EXPECT_TRUE(cajas.shown().empty());
}

TEST_F(Carga, ALoadThatFailsLeavesNothingLoaded) {
  abre(2);
  quarvel::dbObra->QueryDefs().Delete("TotalMonedas");
  bool fallo = false;
  try {
    carga(false);
  } catch (const vb::Error&) {
    fallo = true;
  }
  EXPECT_TRUE(fallo);
  EXPECT_FALSE(ui::Forms::instance().find<FrmDatGen>());
  EXPECT_FALSE(general::objListaOpciones);
}

}  // namespace
