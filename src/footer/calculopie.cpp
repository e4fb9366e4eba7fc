// The footer's evaluation: one formula per row of Pie for the evaluator, each row's Total written
// back, and the integrated factor (the last row's Total / 100).
#include "paginapie.h"

#include "copiapie.h"
#include "objgenerasql.h"

#include "dao.h"
#include "korgen.h"
#include "msgbox.h"
#include "quarvel.h"

#include <algorithm>

namespace footer {

namespace {

// The general number text of a factor: "16", "12.5", "0.25", "1E-05".
QString factorTexto(double f) { return vb::numberText(f); }

}  // namespace

void PaginaPie::AsignaIndirectosAevaluador() {
  sinReferencias_.clear();
  evaluador_.reset();
  try {
    evaluador_ = Evaluador::crear(quarvel::rutaPrograma);
    evaluador_->Variables()->Add(QStringLiteral("V99"), vb::Variant(int16_t(100)));
    evaluador_->Variables()->Add(QStringLiteral("VA"), vb::Variant("0.0000001"));
    auto rs = quarvel::dbObra->OpenRecordset(QStringLiteral("SELECT * FROM Pie ORDER BY Renglon"),
                                             dao::RecordsetType::Snapshot);
    for (; !rs->EOF_(); rs->MoveNext()) {
      const int16_t renglon = rs->Value(QStringLiteral("Renglon")).toInteger();
      QString t;
      for (int k = 1; k <= 9; ++k) {
        const int16_t n = rs->Value(QStringLiteral("Renglon%1").arg(k)).toInteger();
        if (n == 0) continue;
        // The first term is never negated; the direct cost is always added.
        if (t.isEmpty())
          t = QStringLiteral("(");
        else
          t += n == 99 ? QStringLiteral("+") : (k >= 8 ? QStringLiteral("-") : QStringLiteral("+"));
        t += n == 99 ? QStringLiteral("V99") : QStringLiteral("E%1").arg(n);
      }
      if (t.isEmpty()) {
        sinReferencias_.push_back(renglon);
        continue;
      }
      t += QLatin1Char(')');
      const double guardado = rs->Value(QStringLiteral("Factor")).toDouble();
      const vb::Variant porcen = rs->Value(QStringLiteral("Porcen"));
      const bool porcentaje = !porcen.isNull() && porcen.toString() == QLatin1String("%");
      // A missing plain factor multiplies by one; a zero percentage stays zero.
      const double f = !porcentaje && guardado == 0 ? 1 : guardado;
      const vb::Variant operacion = rs->Value(QStringLiteral("Operacion"));
      // "/" with a factor stored as zero divides by nothing: the sum of the references stays as it is.
      if (!operacion.isNull() && !(operacion.toString() == QLatin1String("/") && guardado == 0)) {
        t += operacion.toString();
        t += porcentaje ? QStringLiteral("(") + factorTexto(f) + QStringLiteral("/ 100)") : factorTexto(f);
      }
      if (t.contains(QLatin1Char('*')) || t.contains(QLatin1Char('/')))
        t = QStringLiteral("round(") + t + QStringLiteral("+ VA,2)");
      evaluador_->Expresiones()->Add(QStringLiteral("E%1").arg(renglon), t);
    }
    rs->Close();
  } catch (const vb::Error& e) {
    ui::MsgBox(textoError(QStringLiteral("FrmDatGen.AsignaIndirectosAevaluador: "), e, QStringLiteral(" ")));
  }
}

void PaginaPie::CalculaPieTotal() {
  int i = 0;
  try {
    AsignaIndirectosAevaluador();
    const int n = arreglo_->Rows();
    for (; i < n; ++i) {
      const vb::Variant renglon = arreglo_->Value(i, colRenglon);
      vb::Currency resultado;
      const std::shared_ptr<Expresion> e =
          evaluador_ ? evaluador_->Expresiones()->Item(QStringLiteral("E%1").arg(i + 1)) : nullptr;
      if (e) {
        resultado = vb::CCur(e->Calcular(QString()));
      } else if (std::find(sinReferencias_.begin(), sinReferencias_.end(), int(i + 1)) == sinReferencias_.end()) {
        throw vb::Error(91);
      }
      // A row without references (a heading, a row still being typed) adds nothing: it carries 0 and
      // the rows after it are still evaluated.
      GeneraSql& g = objGeneraSql();
      g.ParametrosSQL(QStringLiteral("Pie"), 2, false);
      g.DameValores(QStringLiteral("Total"), 1, vb::Variant(resultado));
      g.CondicionSQL(QString(), QStringLiteral("Renglon"), QStringLiteral("="), renglon, 1, false);
      sentencia_ = g.DameSentencia();
      quarvel::dbObra->Execute(sentencia_);
      arreglo_->SetValue(i, colTotal, vb::Variant(resultado));
    }
    evaluador_.reset();
  } catch (const vb::Error& e) {
    sinTotalDesde(i);
    ui::MsgBox(textoError(QStringLiteral("frmDatGen.CalculaPieTotal "), e, QStringLiteral(" - ")));
  }
}

// The rows from the one the pass stopped on have no total of this footer: they show none rather
// than one of an earlier footer.
void PaginaPie::sinTotalDesde(int fila) {
  if (fila >= arreglo_->Rows()) return;
  try {
    quarvel::dbObra->Execute(QStringLiteral("UPDATE Pie SET Total = Null WHERE Renglon >= ") +
                             QString::number(arreglo_->Value(fila, colRenglon).toInteger()));
  } catch (const vb::Error&) {
    // Pie keeps what it holds; the message of the pass tells what went wrong.
  }
  for (int i = fila; i < arreglo_->Rows(); ++i) arreglo_->SetValue(i, colTotal, vb::Variant::null());
}

vb::Currency PaginaPie::CalculaFactorIntegrado() {
  auto rs = quarvel::dbObra->OpenRecordset(QStringLiteral("SELECT TOP 1 Total FROM Pie ORDER BY Renglon Desc"),
                                           dao::RecordsetType::Snapshot);
  vb::Currency factor;
  // A closing row without a total (its evaluation stopped) gives no factor.
  if (!rs->EOF_() && !rs->Value(QStringLiteral("Total")).isNull())
    factor = vb::CCur(vb::Variant(KorGen::redondeaEspecial(rs->Value(QStringLiteral("Total")).toDouble() / 100, 4)));
  rs->Close();
  return factor;
}

void PaginaPie::GrabaFactorIntegrado() {
  dao::Recordset& datos = *quarvel::rsDatosGenerales;
  if (datos.GetEditMode() == dao::EditMode::None) datos.Edit();
  datos.SetValue(QStringLiteral("FactorIntegrado"), vb::Variant(CalculaFactorIntegrado()));
  datos.Update();
}

}  // namespace footer
