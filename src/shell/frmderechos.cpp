#include "frmderechos.h"

#include "dialogos.h"
#include "frmacercade.h"
#include "frmpresenta.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTextBrowser>

using dialogos::control;
using dialogos::twips;

frmDerechos::frmDerechos(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("frmDerechos"));
  setWindowTitle(QStringLiteral("Derechos reservados"));
  setFixedSize(ui::twipsToPixels(QSizeF(7680, 6360)));

  lblProducto = control<QLabel>(this, QStringLiteral("lblProducto"), twips(240, 180, 7200, 300));
  QFont negrita = lblProducto->font();
  negrita.setBold(true);
  lblProducto->setFont(negrita);
  lblDependencias = control<QLabel>(this, QStringLiteral("lblDependencias"), kDependencias,
                                    twips(240, 480, 7200, 270));
  rtfDerechos = control<QTextBrowser>(this, QStringLiteral("rtfDerechos"), twips(240, 840, 7200, 4800));
  rtfDerechos->setOpenLinks(false);
  cmdEquipo = control<QPushButton>(this, QStringLiteral("cmdEquipo"), QStringLiteral("Info. del sistema"),
                                   twips(4200, 5820, 1575, 375));
  cmdAceptar = control<QPushButton>(this, QStringLiteral("cmdAceptar"), QStringLiteral("&Aceptar"),
                                    twips(5865, 5820, 1575, 375));
  cmdAceptar->setDefault(true);
  connect(cmdAceptar, &QPushButton::clicked, this, [this] { cmdAceptar_Click(); });
  connect(cmdEquipo, &QPushButton::clicked, this, [this] { cmdEquipo_Click(); });
}

QString frmDerechos::TextoDerechos() {
  QFile texto(QStringLiteral(":/derechos.html"));
  if (!texto.open(QIODevice::ReadOnly)) return {};
  return QString::fromUtf8(texto.readAll());
}

void frmDerechos::Form_Load() {
  const VersionPrograma v = versionPrograma();
  lblProducto->setText(QStringLiteral("Quarvel") + QChar(0x00AE) + QStringLiteral(" Tornavo de contratistas ") +
                       QString::number(v.Minor) + QStringLiteral("   ") + versionCorta());
  rtfDerechos->setHtml(TextoDerechos());
}

void frmDerechos::cmdAceptar_Click() {
  if (!ui::Forms::instance().unload(this)) QDialog::reject();
}

void frmDerechos::reject() { cmdAceptar_Click(); }

void frmDerechos::cmdEquipo_Click() { FrmAcercaDe::StartSysInfo(); }
