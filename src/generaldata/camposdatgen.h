#pragma once
// Which text box of the general-data dialog holds which field, group by group, in the order the dialog
// loads and saves them. The boxes of several lines (empresa, area, depto, lugar, obradirec) are the
// ones whose line breaks become blanks when saved.
#include <QSet>
#include <QString>

#include <variant.h>

#include <span>

namespace datgen {

struct Campo {
  const char* control;
  const char* campo;
};

// The bidder's company.
inline constexpr Campo kEmpresa[] = {
    {"empresa", "NombreEmpresa"}, {"responsable", "responsable"}, {"cargo", "cargo"},
    {"DomFiscal", "DomicilioFiscal"}, {"colonia", "ColoniaEmpresa"}, {"cp", "cpEmpresa"},
    {"rfc", "rfcEmpresa"}, {"telefono", "telefonoEmpresa"},
};

// The contracting body (titgen in the Plicadora edition).
inline constexpr Campo kDependencia[] = {
    {"NomDep1", "nomdependencia1"}, {"NomDep2", "nomdependencia2"}, {"NomDep3", "nomdependencia3"},
    {"area", "area"}, {"depto", "departamento"},
};

// The contest, as loaded; the save writes numcon, lugar and VerCon with the contest group and
// Contrato and Redondeo later, each by its own rule.
inline constexpr Campo kConcursoCarga[] = {
    {"numcon", "NumeroConcurso"}, {"VerCon", "versionconcurso"}, {"lugar", "LugarConcurso"},
    {"Redondeo", "Redondeo"}, {"Contrato", "numContrato"},
};
inline constexpr Campo kConcursoGraba[] = {
    {"numcon", "NumeroConcurso"}, {"lugar", "LugarConcurso"}, {"VerCon", "versionconcurso"},
};

// The percentages (contractor edition).
inline constexpr Campo kPorcentajes[] = {
    {"txtAnticipo", "anticipo"}, {"txtEstimacion", "contraest"}, {"txtFiniquito", "finiquito"}, {"txtIVA", "Iva"},
};

// The works.
inline constexpr Campo kObra[] = {
    {"nomobra1", "NombreObra"}, {"nomobra2", "NombreObra2"}, {"nomobra3", "NombreObra3"},
    {"nomobra4", "NombreObra4"}, {"nomobra5", "NombreObra5"}, {"nomobra6", "NombreObra6"},
    {"obradirec", "ubicadireccion"}, {"obraciudad", "ubicaciudad"}, {"obraedo", "ubicaestado"},
};

// The widths of the section-code levels.
inline constexpr Campo kNiveles[] = {
    {"nivel1", "nivel1"}, {"nivel2", "nivel2"}, {"nivel3", "nivel3"}, {"nivel4", "nivel4"},
    {"nivel5", "nivel5"}, {"nivel6", "nivel6"}, {"nivel7", "nivel7"},
};

// The signatures (titgen in the Plicadora edition).
inline constexpr Campo kFirmas[] = {
    {"Titulo", "Titulo"}, {"Nombre", "Nombre"}, {"Titulo2", "Titulo2"}, {"Nombre2", "Nombre2"},
    {"Titulo3", "Titulo3"}, {"Nombre3", "Nombre3"}, {"Titulo4", "Titulo4"}, {"Nombre4", "Nombre4"},
    {"Titulo5", "Titulo5"}, {"Nombre5", "Nombre5"},
};

// A Yes/No field as its check box shows it: Null, and anything that is not a truth value, unticked.
inline bool activado(const vb::Variant& v) {
  if (v.isNull() || v.isEmpty()) return false;
  try {
    return v.toBool();
  } catch (const vb::Error&) {
    return false;
  }
}

// The text boxes that do not select their text when they get the focus.
inline QSet<QString> sinSeleccion() {
  return {QStringLiteral("DomFiscal"), QStringLiteral("colonia"), QStringLiteral("cp"), QStringLiteral("rfc"),
          QStringLiteral("telefono")};
}

}  // namespace datgen
