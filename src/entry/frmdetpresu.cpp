#include "frmdetpresu.h"

#include "boundgrid.h"
#include "datacontrol.h"
#include "frmpre.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

struct Campo {
  const char* etiqueta;
  const char* campo;
  const char* formato;
};
const Campo kCampos[10] = {
    {"Partida:", "partida", ""},
    {"Renglón:", "renglon", ""},
    {"Código:", "codigo", ""},
    {"Código auxiliar:", "codemp", ""},
    {"Texto completo:", "descri", ""},
    {"Unidad:", "unidad", ""},
    {"Cantidad:", "cantidad", "###,###,###,##0.00##"},
    {"Precio:", "precio", "$#,##.00"},
    {"Importe:", "importe", "$#,##.00"},
    {"Moneda:", "moneda", ""},
};
constexpr int kTexto = 4;

ui::BoundGrid* gridDePrecios() {
  FrmPre* precios = ui::Forms::instance().find<FrmPre>();
  return precios ? precios->Grid1() : nullptr;
}

}  // namespace

FrmDetPresu::FrmDetPresu() {
  setObjectName(QStringLiteral("FrmDetPresu"));
  setWindowTitle(QStringLiteral("Detalle partida"));
  auto* campos = new QFormLayout;
  for (int i = 0; i < 10; ++i) {
    if (i == kTexto) {
      auto* t = new QPlainTextEdit(this);
      t->setFixedHeight(fontMetrics().lineSpacing() * 5 + 10);
      TxtCampo[i] = t;
    } else {
      TxtCampo[i] = new QLineEdit(this);
    }
    TxtCampo[i]->setObjectName(QStringLiteral("TxtCampo%1").arg(i));
    campos->addRow(QString::fromUtf8(kCampos[i].etiqueta), TxtCampo[i]);
  }
  CmdAnt = new QPushButton(QStringLiteral("<- Anterior"), this);
  CmdAnt->setToolTip(QStringLiteral("Anterior registro"));
  CmdSig = new QPushButton(QStringLiteral("Siguiente ->"), this);
  CmdSig->setToolTip(QStringLiteral("Siguiente registro"));
  CmdCerrar = new QPushButton(QStringLiteral("&Cerrar"), this);
  CmdCerrar->setToolTip(QStringLiteral("Cerrar detalle"));
  for (QPushButton* b : {CmdAnt, CmdSig, CmdCerrar})
    b->setAutoDefault(false);
  CmdAnt->setObjectName(QStringLiteral("CmdAnt"));
  CmdSig->setObjectName(QStringLiteral("CmdSig"));
  CmdCerrar->setObjectName(QStringLiteral("CmdCerrar"));
  connect(CmdAnt, &QPushButton::clicked, this, &FrmDetPresu::CmdAnt_Click);
  connect(CmdSig, &QPushButton::clicked, this, &FrmDetPresu::CmdSig_Click);
  connect(CmdCerrar, &QPushButton::clicked, this, &FrmDetPresu::CmdCerrar_Click);

  auto* botones = new QHBoxLayout;
  botones->addWidget(CmdAnt);
  botones->addWidget(CmdSig);
  botones->addStretch();
  botones->addWidget(CmdCerrar);
  auto* todo = new QVBoxLayout(this);
  todo->addLayout(campos);
  todo->addLayout(botones);
  resize(520, sizeHint().height());
}

void FrmDetPresu::Muestra() {
  ui::Forms& formas = ui::Forms::instance();
  QPointer<FrmDetPresu> forma = formas.create<FrmDetPresu>();
  if (!forma)
    return;
  formas.showModal(forma);
  if (forma)
    formas.unload(forma);
}

QString FrmDetPresu::texto(int index) const {
  if (auto* t = qobject_cast<QPlainTextEdit*>(TxtCampo[index]))
    return t->toPlainText();
  return static_cast<QLineEdit*>(TxtCampo[index])->text();
}

void FrmDetPresu::Form_Load() {
  ui::BoundGrid* grid = gridDePrecios();
  if (!grid) {  // no unit-price grid to show the row of
    ui::Forms::instance().unload(this);
    return;
  }
  if (!grid->Bookmark().isValid())  // no current row
    grid->MoveFirst();
  muestraRenglon();
}

void FrmDetPresu::muestraRenglon() {
  ui::BoundGrid* grid = gridDePrecios();
  if (!grid)
    return;
  for (int i = 0; i < 10; ++i) {
    const vb::Variant v = grid->Columns(QString::fromLatin1(kCampos[i].campo)).Value();
    const QString formato = QString::fromLatin1(kCampos[i].formato);
    const QString t = v.isNull() ? QString() : formato.isEmpty() ? vb::CStr(v) : vb::Format(v, formato);
    if (auto* texto = qobject_cast<QPlainTextEdit*>(TxtCampo[i]))
      texto->setPlainText(t);
    else
      static_cast<QLineEdit*>(TxtCampo[i])->setText(t);
  }
}

void FrmDetPresu::CmdAnt_Click() {
  if (ui::BoundGrid* grid = gridDePrecios())
    grid->MovePrevious();
  muestraRenglon();
}

void FrmDetPresu::CmdSig_Click() {
  if (ui::BoundGrid* grid = gridDePrecios())
    grid->MoveNext();
  muestraRenglon();
}

void FrmDetPresu::CmdCerrar_Click() { ui::Forms::instance().unload(this); }
