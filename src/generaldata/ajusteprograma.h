#pragma once
// What a save of the general data does to the work schedule when it moves the project dates or
// changes the periodicity. One rule for both editions:
//  - another periodicity numbers other periods: every volume goes and every TotalVol becomes 0;
//  - otherwise periods are calendar periods (months, fortnights, weeks, days), so a new start only
//    renumbers them: each volume stays in its period under the period's new number, and the volumes
//    of periods now outside the project (before the new start's period, after the new end's) go; the
//    TotalVol of each concept that had one becomes the sum it keeps;
//  - a bid without a start date has periods on no calendar: their numbers stay.
// Concepts dated outside the new project get dates inside it: an end after the project's end becomes
// that end (and so does a start after it), a start before the project's start becomes that start
// (and so does an end before it). A save that changes neither the dates nor the periodicity changes
// nothing here.
//
//   const Calendario antes = calendarioDe(*quarvel::rsDatosGenerales);   // before the boxes are written
//   ...                                                                  // the boxes into the row
//   AjustePrograma ajuste = AjustePrograma::planea(*quarvel::dbObra, antes, calendarioDe(rs));
//   if (ajuste.pierdeVolumenes() && ui::MsgBox(ajuste.pregunta(), ...) != ui::vbYes) ...
//   ajuste.aplica(*quarvel::dbObra);
// No widgets here; database errors reach the caller.
#include <variant.h>

#include <QString>

namespace dao {
class Database;
class Recordset;
}  // namespace dao

namespace datgen {

// What numbers the schedule's periods, as a general-data row holds it.
struct Calendario {
  vb::Variant inicio;        // FechaInicioProy; Null when none
  vb::Variant fin;           // FechaFinalProy; Null when none
  int16_t periodicidad = 1;  // 1 to 4; any other stored value counts as monthly
  int16_t periodos = 0;
};

// The row's values as they stand (an edit under way included).
Calendario calendarioDe(dao::Recordset& datosGenerales);

class AjustePrograma {
public:
  static AjustePrograma planea(dao::Database& obra, const Calendario& antes, const Calendario& despues);

  // Volumes that will be deleted, and the concepts that hold them.
  int volumenes() const { return volumenes_; }
  int conceptos() const { return conceptos_; }
  bool pierdeVolumenes() const { return volumenes_ > 0; }
  // The Yes/No question that comes before the save when volumes will be deleted.
  QString pregunta() const;
  // The schedule's rows change (the schedule window must read them again).
  bool cambiaPrograma() const { return pierdeVolumenes() || desplaza_ != 0; }
  void aplica(dao::Database& obra) const;

private:
  bool borraTodo_ = false;  // another periodicity
  int desplaza_ = 0;        // added to a kept volume's period
  int16_t periodos_ = 0;    // the periods of the new project
  int volumenes_ = 0;
  int conceptos_ = 0;
  bool fechas_ = false;     // the concepts' dates are brought inside the project
  int conceptosFechas_ = 0; // concepts whose dates that moves
  double inicio_ = 0;
  double fin_ = 0;
};

}  // namespace datgen
