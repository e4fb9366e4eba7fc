#include "frmcolgrid.h"

#include "boundgrid.h"
#include "datacontrol.h"
#include "funcgrid.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

FrmColGrid::FrmColGrid() {
  setObjectName(QStringLiteral("FrmColGrid"));
  setWindowTitle(QStringLiteral("Selección de Columnas"));
  auto* marco = new QGroupBox(QStringLiteral("Columnas"), this);
  List1 = new QListWidget(marco);
  List1->setObjectName(QStringLiteral("List1"));
  List1->setSelectionMode(QAbstractItemView::MultiSelection);
  auto* enMarco = new QVBoxLayout(marco);
  enMarco->addWidget(List1);

  auto* botones = new QVBoxLayout;
  const char* captions[] = {"&Aceptar", "&Cerrar"};
  for (int i = 0; i < 2; ++i) {
    CmdBoton[i] = new QPushButton(QString::fromUtf8(captions[i]), this);
    CmdBoton[i]->setObjectName(QStringLiteral("CmdBoton%1").arg(i));
    CmdBoton[i]->setAutoDefault(false);
    connect(CmdBoton[i], &QPushButton::clicked, this, [this, i] { CmdBoton_Click(i); });
    botones->addWidget(CmdBoton[i]);
  }
  botones->addStretch();
  auto* todo = new QHBoxLayout(this);
  todo->addWidget(marco, 1);
  todo->addLayout(botones);
  resize(340, 300);
}

void FrmColGrid::Muestra() {
  ui::Forms& formas = ui::Forms::instance();
  QPointer<FrmColGrid> forma = formas.get<FrmColGrid>();
  if (!forma)
    return;
  formas.showModal(forma);
  if (forma)
    formas.unload(forma);
}

void FrmColGrid::Form_Load() {
  grid_ = FuncGrid::gridDe(ui::Forms::instance().activeChild());
  if (!grid_) {  // 91: no list window to choose columns of
    ui::Forms::instance().unload(this);
    return;
  }
  for (int i = 0; i < grid_->Columns().Count(); ++i) {
    const ui::Column& c = grid_->Columns(i);
    auto* item = new QListWidgetItem(c.Caption(), List1);
    item->setSelected(c.Visible());
  }
}

void FrmColGrid::CmdBoton_Click(int index) {
  if (index == 0 && grid_) {
    // A value still in its editor is settled first: its column may be about to go.
    grid_->FinishPendingEdit();
    for (int i = 0; i < grid_->Columns().Count() && i < List1->count(); ++i) {
      ui::Column& c = grid_->Columns(i);
      if (List1->item(i)->text() == c.Caption())
        c.SetVisible(List1->item(i)->isSelected());
    }
  }
  ui::Forms::instance().unload(this);
}
