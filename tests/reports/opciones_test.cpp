// The report options store: one value per report, workbook, sheet and option, read back into the
// window's option variables with the kind's defaults.
#include "dao.h"
#include "obraprueba.h"
#include "quarvel.h"

namespace {

using repgen::grabaOpcion;
using repgen::LeeRepOpciones;

class Opciones : public prueba::ObraPrueba {
protected:
  QString libro() const { return ruta("Parator1.kor"); }
  // Rows of repOpciones, read from the file.
  int filas() {
    quarvel::dbParametros->Flush();
    auto rs = quarvel::dbParametros->OpenRecordset("SELECT * FROM repOpciones", dao::RecordsetType::Snapshot);
    return int(rs->RecordCount());
  }
};

TEST_F(Opciones, AnOptionIsStoredPerReportWorkbookAndSheet) {
  grabaOpcion("Presupuesto", libro(), "Presupuesto", "preLongitudConcepto", 120);
  EXPECT_EQ(LeeRepOpciones("Presupuesto", libro(), "Presupuesto", "preLongitudConcepto", "255"), "120");
  // Letter case is ignored; another sheet, workbook or report does not see it.
  EXPECT_EQ(LeeRepOpciones("PRESUPUESTO", libro(), "presupuesto", "PRELONGITUDCONCEPTO", "255"), "120");
  EXPECT_EQ(LeeRepOpciones("Presupuesto", libro(), "Hoja2", "preLongitudConcepto", "255"), "255");
  EXPECT_EQ(LeeRepOpciones("Presupuesto", ruta("otro.kor"), "Presupuesto", "preLongitudConcepto", "255"), "255");
  EXPECT_EQ(LeeRepOpciones("Montos mensuales", libro(), "Presupuesto", "preLongitudConcepto", "255"), "255");
  // Storing again replaces the value.
  grabaOpcion("Presupuesto", libro(), "Presupuesto", "PRELONGITUDCONCEPTO", 90);
  EXPECT_EQ(LeeRepOpciones("Presupuesto", libro(), "Presupuesto", "preLongitudConcepto", "255"), "90");
  EXPECT_EQ(filas(), 1);
}

TEST_F(Opciones, AnEmptyValueIsStoredAsOneBlank) {
  for (const vb::Variant& v : {vb::Variant(""), vb::Variant("   "), vb::Variant::null()}) {
    grabaOpcion("Presupuesto", libro(), "Presupuesto", "prePartidaInicial", v);
    EXPECT_EQ(LeeRepOpciones("Presupuesto", libro(), "Presupuesto", "prePartidaInicial", "AAA"), " ");
  }
}

TEST_F(Opciones, APathWithAnApostropheIsStoredAndFound) {
  const QString raro = ruta("D'Angelo/Parator1.kor");
  grabaOpcion("Presupuesto", raro, "Presupuesto", "PreImprimirIva", 1);
  EXPECT_EQ(LeeRepOpciones("Presupuesto", raro, "Presupuesto", "PreImprimirIva", "0"), "1");
  EXPECT_TRUE(cajas_.shown().empty());
}

// No stored option: the kind's defaults. Stored ones replace them, each converted to its type.
TEST_F(Opciones, ParametersOfEachKind) {
  elige(repgen::kPresupuesto);
  rep_->LeeParametros();
  EXPECT_EQ(rep_->LongitudConcepto, 255);
  EXPECT_EQ(rep_->LongitudPartida, 80);
  EXPECT_EQ(rep_->PartidaInicial, "AAA");
  EXPECT_EQ(rep_->PartidaFinal, "ZZZ");
  EXPECT_EQ(rep_->ImprimirIva, 0);

  grabaOpcion("Presupuesto", rep_->libro, rep_->hoja, "preLongitudConcepto", 120);
  grabaOpcion("Presupuesto", rep_->libro, rep_->hoja, "prePartidaInicial", "A01");
  rep_->LeeParametros();
  EXPECT_EQ(rep_->LongitudConcepto, 120);
  EXPECT_EQ(rep_->PartidaInicial, "A01");

  // Totals: the VAT lines print unless stored otherwise, under either spelling of the key.
  elige(repgen::kTotalesPresupuesto);
  rep_->LeeParametros();
  EXPECT_EQ(rep_->ImprimirIva, 1);
  grabaOpcion(repgen::textoReporte(repgen::kTotalesPresupuesto), rep_->libro, rep_->hoja, "PreImprimirIva", 0);
  rep_->LeeParametros();
  EXPECT_EQ(rep_->ImprimirIva, 0);

  // Schedules: by fiscal year, the years of the project unless stored.
  elige(repgen::kMontosMensuales);
  rep_->LeeParametros();
  EXPECT_FALSE(rep_->ImprimePorEjercicio);
  EXPECT_EQ(rep_->EjercicioInicial, 2025);
  EXPECT_EQ(rep_->EjercicioFinal, 2025);
  EXPECT_EQ(rep_->ModoReporte, 2);
  grabaOpcion("Montos mensuales", rep_->libro, rep_->hoja, "ImpPorEjer", true);
  grabaOpcion("Montos mensuales", rep_->libro, rep_->hoja, "EjerInicio", 2026);
  rep_->LeeParametros();
  EXPECT_TRUE(rep_->ImprimePorEjercicio);
  EXPECT_EQ(rep_->EjercicioInicial, 2026);
  EXPECT_EQ(rep_->EjercicioFinal, 2025);
  EXPECT_TRUE(cajas_.shown().empty());
}

// A stored value that is not of the option's type stops the reading with the message; what was read
// before it stays.
TEST_F(Opciones, AnUnreadableValueIsReported) {
  elige(repgen::kPresupuesto);
  grabaOpcion("Presupuesto", rep_->libro, rep_->hoja, "prePartidaInicial", "B");
  grabaOpcion("Presupuesto", rep_->libro, rep_->hoja, "preClasificacion", "");
  cajas_.answer(ui::vbOK);
  rep_->LeeParametros();
  ASSERT_EQ(cajas_.shown().size(), 1u);
  EXPECT_TRUE(cajas_.shown()[0].prompt.startsWith("Error en RepGen.LeeParametros no.: 13 - "));
  EXPECT_EQ(rep_->PartidaInicial, "B");
  EXPECT_EQ(rep_->LongitudConcepto, 255);
}

}  // namespace
