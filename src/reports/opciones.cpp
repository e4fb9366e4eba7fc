// The report options store: one row of repOpciones per report, workbook, sheet and option.
#include "contextoreporte.h"

#include "dao.h"
#include "internos.h"
#include "msgbox.h"
#include "quarvel.h"
#include "utilidades.h"
#include "vbdate.h"

namespace repgen {

namespace {

using detalle::comillas;

// Finds the option's row from the first one; letter case is ignored, as the table's comparison does.
bool buscaOpcion(dao::Recordset& rs, const QString& reporte, const QString& libro, const QString& hoja,
                 const QString& parametro) {
  rs.FindFirst(QStringLiteral("Reporte=") + comillas(reporte) + QStringLiteral(" AND Libro=") + comillas(libro) +
               QStringLiteral(" AND Hoja=") + comillas(hoja) + QStringLiteral(" AND Parametro=") + comillas(parametro));
  return !rs.NoMatch();
}

// An option variable: its key and how the stored text reaches it.
struct Opcion {
  const char* clave;
  std::function<QString()> lee;               // the current value as text (the default of the read)
  std::function<void(const QString&)> pone;   // the stored text converted to the variable's type
};

Opcion entera(const char* clave, int16_t& v) {
  return {clave, [&v] { return QString::number(v); }, [&v](const QString& s) { v = vb::CInt(vb::Variant(s)); }};
}
Opcion texto(const char* clave, QString& v) {
  return {clave, [&v] { return v; }, [&v](const QString& s) { v = s; }};
}
Opcion logica(const char* clave, bool& v) {
  return {clave, [&v] { return vb::CStr(vb::Variant(v)); }, [&v](const QString& s) { v = vb::CBool(vb::Variant(s)); }};
}

}  // namespace

void grabaOpcion(const QString& reporte, const QString& libro, const QString& hoja, const QString& parametro,
                 const vb::Variant& valor) {
  auto& rs = detalle::abierto(quarvel::rsRepOpciones);
  if (!buscaOpcion(rs, reporte, libro, hoja, parametro)) {
    rs.AddNew();
    rs.SetValue(QStringLiteral("Reporte"), reporte);
    rs.SetValue(QStringLiteral("Libro"), libro);
    rs.SetValue(QStringLiteral("Hoja"), hoja);
    rs.SetValue(QStringLiteral("Parametro"), parametro);
  } else {
    rs.Edit();
  }
  rs.SetValue(QStringLiteral("Valor"), general::esNulo(valor) ? vb::Variant(" ") : vb::Variant(vb::CStr(valor)));
  rs.Update();
}

QString LeeRepOpciones(const QString& reporte, const QString& libro, const QString& hoja, const QString& parametro,
                       const QString& porOmision) {
  try {
    auto& rs = detalle::abierto(quarvel::rsRepOpciones);
    if (buscaOpcion(rs, reporte, libro, hoja, parametro)) {
      const vb::Variant v = rs.Value(QStringLiteral("Valor"));
      if (!v.isNull())
        return vb::CStr(v);
    }
  } catch (const vb::Error& e) {
    ui::MsgBox(QStringLiteral("Repgen.LeeRepOpciones %1 %2").arg(e.number()).arg(e.description()));
  }
  return porOmision;
}

void ContextoReporte::LeeParametros() {
  try {
    const QString reporte = textoReporte(tipo);
    std::vector<Opcion> opciones;
    const auto presupuesto = [&](int cuantas) {
      const std::vector<Opcion> todas = {
          entera("PreImprimirIva", ImprimirIva),          entera("preTodaslasPartidas", TodasLasPartidas),
          texto("prePartidaInicial", PartidaInicial),      texto("prePartidaFinal", PartidaFinal),
          entera("preClasificacion", Clasificacion),       entera("preIndirectosalFinal", IndirectosAlFinal),
          entera("preAcumularImportes", AcumularImportes), entera("preSaltarHoja", SaltarHoja),
          entera("preLongitudConcepto", LongitudConcepto), entera("preLongitudPartida", LongitudPartida),
          entera("preDescriDetallada", DescriDetallada),   entera("prePaginaInicial", PaginaInicial)};
      opciones.assign(todas.begin(), todas.begin() + cuantas);
    };
    // The defaults of the reports that list concepts.
    const auto conceptos = [&] {
      PartidaInicial = QStringLiteral("AAA");
      PartidaFinal = QStringLiteral("ZZZ");
      Clasificacion = 1;
      LongitudConcepto = 255;
      DescriDetallada = 1;
      ModoReporte = 2;
    };
    switch (tipo) {
      case kPresupuesto:
        ImprimirIva = 0;
        TodasLasPartidas = 1;
        PartidaInicial = QStringLiteral("AAA");
        PartidaFinal = QStringLiteral("ZZZ");
        Clasificacion = 1;
        IndirectosAlFinal = 0;
        AcumularImportes = 0;
        SaltarHoja = 0;
        LongitudConcepto = 255;
        LongitudPartida = 80;
        DescriDetallada = 1;
        PaginaInicial = 1;
        presupuesto(12);
        break;
      case kTotalesPresupuesto:
        TodasLasPartidas = 1;
        PartidaInicial = QStringLiteral("AAA");
        PartidaFinal = QStringLiteral("ZZZ");
        IndirectosAlFinal = 0;
        ImprimirIva = 1;  // the VAT lines print unless stored otherwise
        presupuesto(8);
        opciones.push_back(entera("preImprimirIva", ImprimirIva));
        break;
      case kProgramaObra:
      case kMontosMensuales: {
        auto& dg = detalle::abierto(quarvel::rsDatosGenerales);
        conceptos();
        ImprimePorEjercicio = false;
        EjercicioInicial = int16_t(vb::year(vb::CDate(dg.Value(QStringLiteral("FechaInicioProy")))));
        EjercicioFinal = int16_t(vb::year(vb::CDate(dg.Value(QStringLiteral("FechaFinalProy")))));
        opciones = {logica("ImpPorEjer", ImprimePorEjercicio), entera("EjerInicio", EjercicioInicial),
                    entera("EjerFinal", EjercicioFinal)};
        break;
      }
      case kConceptosPrecios:
        conceptos();
        break;
      default:
        return;
    }
    for (const Opcion& o : opciones)
      o.pone(LeeRepOpciones(reporte, libro, hoja, QString::fromLatin1(o.clave), o.lee()));
  } catch (const vb::Error& e) {
    ui::MsgBox(QStringLiteral("Error en RepGen.LeeParametros no.: %1 - %2 En la linea: 0")
                   .arg(e.number())
                   .arg(e.description()));
  }
}

}  // namespace repgen
