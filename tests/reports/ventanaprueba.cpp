#include "ventanaprueba.h"

#include "dao.h"
#include "forms.h"
#include "maneobra.h"
#include "printing.h"
#include "quarvel.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QPrinter>

namespace prueba {

void VentanaPrueba::SetUp() {
  ObraPrueba::SetUp();
  quarvel::rutaObra = ruta(QStringLiteral("Ejemplo.mdb"));
  for (int tipo = 0; tipo < repgen::kTiposReporte; ++tipo)
    frmRep::escritores()[size_t(tipo)] = [this, propio = repgen::escritorReporte(tipo)](repgen::ContextoReporte& rep) {
      llamadas.push_back({rep.tipo, rep.soloMuestra, rep.hojaIndice, rep.hoja});
      (escritor ? escritor : propio)(rep);
    };
  ui::Forms::instance().setModalRunner([this](QDialog* d) {
    modales.append(ui::Forms::name(d));
    if (responde)
      responde(d);
    ui::Forms::instance().unload(d);
    return int(QDialog::Accepted);
  });
}

void VentanaPrueba::TearDown() {
  ui::Forms::instance().descargaFormas(QString());
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  ui::Forms::instance().setModalRunner({});
  frmRep::escritores() = {};
  wb::PrintService::instance().setPrintDialogHook(nullptr);
  wb::PrintService::instance().setPreviewHook(nullptr);
  ObraPrueba::TearDown();  // quarvel's paths and report destination too
}

void VentanaPrueba::imprimeA(const QString& pdf, std::function<void()> alMostrar) {
  wb::PrintService::instance().setPrintDialogHook([this, pdf, alMostrar](QPrinter& p) {
    ++dialogosImpresion;
    if (alMostrar)
      alMostrar();
    p.setOutputFileName(pdf);
    return true;
  });
}

frmRep* VentanaPrueba::ventana() { return ui::Forms::instance().get<frmRep>(); }

void VentanaPrueba::elige(QComboBox* lista, int indice) {
  lista->setCurrentIndex(indice);
  emit lista->activated(indice);
}

void VentanaPrueba::ejecutaLibreria(const QString& sql) {
  quarvel::dbParametros->Execute(sql);
  maneobra::AbreReportes();
}

QString VentanaPrueba::consultaLibreria(const QString& sql) {
  auto rs = quarvel::dbParametros->OpenRecordset(sql, dao::RecordsetType::Snapshot);
  if (rs->EOF_())
    return QString();
  const vb::Variant v = rs->Fields(0).Value();
  return v.isNull() ? QString() : vb::CStr(v);
}

}  // namespace prueba
