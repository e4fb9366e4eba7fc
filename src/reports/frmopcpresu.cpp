#include "frmopcpresu.h"

#include "contextoreporte.h"
#include "dialogos.h"
#include "msgbox.h"
#include "twips.h"

#include <QCheckBox>
#include <QPushButton>

using dialogos::control;
using dialogos::twips;

FrmOpcPresu::FrmOpcPresu(repgen::ContextoReporte& rep, QWidget* parent) : QDialog(parent), rep_(rep) {
  setObjectName(QStringLiteral("FrmOpcPresu"));
  setWindowTitle(QStringLiteral("Parámetros de presupuesto."));
  setFixedSize(ui::twipsToPixels(QSizeF(7380, 1260)));
  Check1 = control<QCheckBox>(this, QStringLiteral("Check1"),
                              QStringLiteral("Imprimir el desglose del i.v.a al final del reporte."),
                              twips(120, 300, 5640, 300));
  Command1 = control<QPushButton>(this, QStringLiteral("Command1"), QStringLiteral("&Aceptar"),
                                  twips(5940, 120, 1215, 375));
  Command2 = control<QPushButton>(this, QStringLiteral("Command2"), QStringLiteral("&Cancelar"),
                                  twips(5940, 600, 1215, 375));
  connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
  connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
}

void FrmOpcPresu::Form_Load() { Check1->setChecked(rep_.ImprimirIva == 1); }

void FrmOpcPresu::Command1_Click() {
  const int16_t valor = Check1->isChecked() ? 1 : 0;
  rep_.ImprimirIva = valor;
  try {
    repgen::grabaOpcion(repgen::textoReporte(rep_.tipo), rep_.libro, rep_.hoja, QStringLiteral("PreImprimirIva"),
                        vb::Variant(valor));
  } catch (const vb::Error& e) {
    // The choice holds for this window; it could not be kept for the next time.
    ui::MsgBox(QStringLiteral("Error en FrmOpcPresu.Command1_Click ") + QString::number(e.number()) +
               QLatin1Char(' ') + e.description());
  }
  ui::Forms::instance().unload(this);
}

void FrmOpcPresu::Command2_Click() { ui::Forms::instance().unload(this); }

void FrmOpcPresu::reject() { Command2_Click(); }
