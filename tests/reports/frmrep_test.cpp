// The report window on the sample bid: its lists, the templates put back in the library, the sample
// made again for every choice, the options button, printing and previewing.
#include "archivos.h"
#include "avance.h"
#include "dao.h"
#include "enter_en_boton.h"
#include "forms.h"
#include "frmerrores.h"
#include "vista_previa.h"
#include "printers.h"
#include "printing.h"
#include "quarvel.h"
#include "sheetview.h"
#include "ventanaprueba.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

namespace {

using prueba::VentanaPrueba;

class Ventana : public VentanaPrueba {};

QStringList elementos(const QComboBox* lista) {
  QStringList l;
  for (int i = 0; i < lista->count(); ++i)
    l.append(lista->itemText(i));
  return l;
}

TEST_F(Ventana, ListsTheFiveKindsAndTheTwoDestinations) {
  quarvel::unidadRedondeo = vb::Currency::fromInt(10000);
  frmRep* f = ventana();
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(elementos(f->Combo2), QStringList({"Presupuesto", "Totales del presupuesto", "Programa de obra",
                                               "Montos mensuales", "Conceptos,cantidades y precios"}));
  EXPECT_EQ(f->Combo2->currentIndex(), 0);
  EXPECT_EQ(elementos(f->Combo3), QStringList({"Impresora", "Presentación preliminar"}));
  EXPECT_EQ(f->Combo3->currentIndex(), 0);
  EXPECT_EQ(f->windowTitle(), "Obra : " + ruta("Ejemplo.mdb"));
  EXPECT_EQ(quarvel::unidadRedondeo, vb::Currency::fromInt(100));  // two decimals while reports are made
  // Workbook and sheet are not chosen here.
  for (QWidget* w : {static_cast<QWidget*>(f->Text1), static_cast<QWidget*>(f->Command5),
                     static_cast<QWidget*>(f->Combo1), static_cast<QWidget*>(f->Label1),
                     static_cast<QWidget*>(f->Label2)})
    EXPECT_TRUE(w->isHidden()) << w->objectName().toStdString();
  EXPECT_EQ(f->Combo3->y(), f->Text1->y());
  EXPECT_EQ(f->Label4->y(), f->Label2->y());
  EXPECT_EQ(f->Text1->text(), ruta("Parator1.kor"));
  EXPECT_EQ(elementos(f->Combo1), QStringList({"Presupuesto"}));
  ui::Forms::instance().unload(f);

  quarvel::destinoReporte = 1;  // the preview command
  EXPECT_EQ(ventana()->Combo3->currentIndex(), 1);
}

// Every opening puts the program's own template back in each row of the five kinds (exact names);
// other rows keep theirs, and a kind's sheet stays as stored.
// Enter, the main key or the keypad's, on a focused button presses it: "Opciones" opens the options of
// the chosen report, "Cancelar" closes the window.
TEST_F(Ventana, EnterOnAFocusedButtonPressesIt) {
  for (const testsupport::TeclaEnter tecla : testsupport::kTeclasEnter) {
    SCOPED_TRACE(testsupport::nombre(tecla));
    frmRep* f = ventana();
    ASSERT_NE(f, nullptr);
    modales.clear();
    ASSERT_TRUE(testsupport::enterEn(f->Command6, tecla));
    EXPECT_EQ(modales, QStringList({"FrmOpcPresu"}));
    ASSERT_TRUE(ui::Forms::instance().isLoaded(f));
    ASSERT_TRUE(testsupport::enterEn(f->Command2, tecla));
    EXPECT_FALSE(ui::Forms::instance().isLoaded(f));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
}

TEST_F(Ventana, OpeningPutsTheProgramsTemplatesBack) {
  ejecutaLibreria("UPDATE reportes SET Libro='C:\\Quarvel\\Parator1.kor' WHERE Reporte='Presupuesto'");
  ejecutaLibreria("UPDATE reportes SET Libro='/otra/carpeta/Mio.kor' WHERE Reporte='Montos mensuales'");
  ejecutaLibreria("INSERT INTO reportes (Reporte, Libro, Hoja) VALUES ('Otro', '/x/Otro.kor', 'Hoja1')");
  ejecutaLibreria("INSERT INTO repOpciones (Reporte, Libro, Hoja, Parametro, Valor) VALUES "
                  "('Programa de obra', '/viejo/Parator3.kor', 'Programa de obra', 'ImpPorEjer', 'Verdadero')");
  ejecutaLibreria("INSERT INTO repOpciones (Reporte, Libro, Hoja, Parametro, Valor) VALUES "
                  "('programa de obra', '/viejo/Parator3.kor', 'Programa de obra', 'EjerInicio', '2025')");
  ASSERT_NE(ventana(), nullptr);
  for (int tipo = 0; tipo < repgen::kTiposReporte; ++tipo)
    EXPECT_EQ(consultaLibreria("SELECT Libro FROM reportes WHERE Reporte='" + repgen::textoReporte(tipo) + "'"),
              ruta(repgen::plantillaReporte(tipo)));
  EXPECT_EQ(consultaLibreria("SELECT Libro FROM reportes WHERE Reporte='Otro'"), "/x/Otro.kor");
  EXPECT_EQ(consultaLibreria("SELECT Libro FROM repOpciones WHERE Parametro='ImpPorEjer'"), ruta("Parator3.kor"));
  EXPECT_EQ(consultaLibreria("SELECT Libro FROM repOpciones WHERE Parametro='EjerInicio'"), "/viejo/Parator3.kor");
  EXPECT_EQ(consultaLibreria("SELECT Hoja FROM reportes WHERE Reporte='Montos mensuales'"), "Montos mensuales");
}

// The window opens on the budget's sample; each kind chosen loads its template and makes its sample,
// stores its workbook and sheet, and "Opciones" is there for the first four kinds only.
TEST_F(Ventana, ChoosingAKindMakesItsSample) {
  frmRep* f = ventana();
  ASSERT_EQ(llamadas.size(), 1u);
  EXPECT_EQ(llamadas[0].tipo, repgen::kPresupuesto);
  EXPECT_TRUE(llamadas[0].muestra);
  EXPECT_EQ(llamadas[0].hoja, "Presupuesto");
  EXPECT_GT(f->rep.Reporte.lastRow(), 0);
  EXPECT_FALSE(f->rep.soloMuestra);
  // The sample looks like paper.
  EXPECT_FALSE(f->rep.Reporte.currentSheet().showGridlines);
  EXPECT_FALSE(f->rep.Reporte.currentSheet().showHeadings);
  EXPECT_EQ(f->Reporte->book(), &f->rep.Reporte);
  EXPECT_TRUE(f->Command6->isEnabled());

  for (int tipo : {4, 1, 2, 3, 0}) {
    SCOPED_TRACE(tipo);
    llamadas.clear();
    elige(f->Combo2, tipo);
    ASSERT_EQ(llamadas.size(), 1u);
    EXPECT_EQ(llamadas[0].tipo, tipo);
    EXPECT_TRUE(llamadas[0].muestra);
    EXPECT_EQ(llamadas[0].hoja, repgen::textoReporte(tipo));
    EXPECT_EQ(f->Text1->text(), ruta(repgen::plantillaReporte(tipo)));
    EXPECT_EQ(f->Command6->isEnabled(), tipo != repgen::kConceptosPrecios);
    EXPECT_GT(f->rep.Reporte.lastRow(), 0);
    EXPECT_EQ(consultaLibreria("SELECT Libro FROM reportes WHERE Reporte='" + repgen::textoReporte(tipo) + "'"),
              ruta(repgen::plantillaReporte(tipo)));
  }
}

// A stored sheet is chosen again; one the workbook lacks gives its first sheet, which is stored.
TEST_F(Ventana, TheStoredSheetIsChosenOrElseTheFirst) {
  {
    wb::Book libro;
    libro.read(ruta("Parator1.kor"));
    libro.insertSheets(1, 1);
    libro.setSheetName(1, "Portada");
    libro.write(ruta("Parator1.kor"));
  }
  frmRep* f = ventana();
  ASSERT_EQ(llamadas.size(), 1u);
  EXPECT_EQ(llamadas[0].hojaIndice, 1);
  EXPECT_EQ(llamadas[0].hoja, "Presupuesto");
  ui::Forms::instance().unload(f);

  llamadas.clear();
  ejecutaLibreria("UPDATE reportes SET Hoja='Ya no existe' WHERE Reporte='Presupuesto'");
  cajas_.answer(ui::vbOK);  // the empty first sheet has no sections
  f = ventana();
  EXPECT_EQ(cajas_.texts(), QStringList({"Necesita identificar la seccion de titulos, rectifique "}));
  EXPECT_TRUE(llamadas.empty());
  EXPECT_EQ(f->Combo1->currentIndex(), 0);
  EXPECT_EQ(consultaLibreria("SELECT Hoja FROM reportes WHERE Reporte='Presupuesto'"), "Portada");
}

// A kind without a row of its own gets no workbook and no sample until one is read; its row is
// made when a workbook is.
TEST_F(Ventana, AKindWithoutItsRowHasNoWorkbook) {
  ejecutaLibreria("DELETE FROM reportes WHERE Reporte='Montos mensuales'");
  frmRep* f = ventana();
  llamadas.clear();
  elige(f->Combo2, repgen::kMontosMensuales);
  EXPECT_EQ(f->Text1->text(), "");
  EXPECT_TRUE(llamadas.empty());

  // The browse button (hidden from the user) reads a workbook and makes the row.
  testui::ScriptedFileDialogs dialogos;
  dialogos.choose(ruta("Parator4.kor"));
  f->Command5_Click();
  ASSERT_EQ(llamadas.size(), 1u);
  EXPECT_EQ(llamadas[0].tipo, repgen::kMontosMensuales);
  EXPECT_EQ(consultaLibreria("SELECT Libro FROM reportes WHERE Reporte='Montos mensuales'"), ruta("Parator4.kor"));
  EXPECT_EQ(consultaLibreria("SELECT Hoja FROM reportes WHERE Reporte='Montos mensuales'"), "Montos mensuales");
}

// "Aceptar" on the printer: the whole report goes through the print dialog, then the sample is made
// again.
TEST_F(Ventana, AcceptPrintsTheWholeReport) {
  frmRep* f = ventana();
  const QString pdf = ruta("impreso.pdf");
  imprimeA(pdf);
  llamadas.clear();
  f->Command1_Click();
  EXPECT_EQ(dialogosImpresion, 1);
  ASSERT_EQ(llamadas.size(), 2u);
  EXPECT_FALSE(llamadas[0].muestra);
  EXPECT_TRUE(llamadas[1].muestra);
  QFile impreso(pdf);
  ASSERT_TRUE(impreso.open(QIODevice::ReadOnly));
  EXPECT_TRUE(impreso.read(5) == "%PDF-");

  // A cancelled print dialog prints nothing and says nothing.
  QFile::remove(pdf);
  wb::PrintService::instance().setPrintDialogHook([&](QPrinter&) {
    ++dialogosImpresion;
    return false;
  });
  f->Command1_Click();
  EXPECT_EQ(dialogosImpresion, 2);
  EXPECT_FALSE(QFile::exists(pdf));
}

// "Aceptar" on a bid of thousands of concepts: the report that reaches the printer holds every one
// of them, with every page foot right, and no notice.
TEST_F(Ventana, AcceptPrintsThousandsOfConceptsWhole) {
  prueba::multiplicaPresupuesto(16);
  frmRep* f = ventana();
  imprimeA(ruta("impreso.pdf"), [&] { prueba::revisaPresupuesto(f->rep); });
  QTest::mouseClick(f->Command1, Qt::LeftButton);
  EXPECT_EQ(dialogosImpresion, 1);
  EXPECT_TRUE(cajas_.shown().empty()) << cajas_.texts().join(QLatin1Char('|')).toStdString();
  EXPECT_TRUE(QFile::exists(ruta("impreso.pdf")));
}

// A long report shows its progress once it has gone on for half a second, generating and then
// printing, and "Cancelar" stops it: nothing reaches the printer, or no file is written.
TEST_F(Ventana, ALongReportShowsItsProgressAndCanBeStopped) {
  prueba::multiplicaPresupuesto(60);
  frmRep* f = ventana();
  const QString pdf = ruta("impreso.pdf");
  imprimeA(pdf);
  struct Visto {
    QString texto;
    qint64 ms;
  };
  std::vector<Visto> vistos;
  QString cancela;  // the stage whose progress is cancelled
  QElapsedTimer reloj;
  QTimer vigia;
  vigia.setInterval(10);
  QObject::connect(&vigia, &QTimer::timeout, [&] {
    auto* avance = f->findChild<QProgressDialog*>(QStringLiteral("Avance"));
    if (!avance || !avance->isVisible())
      return;
    if (vistos.empty() || vistos.back().texto != avance->labelText())
      vistos.push_back({avance->labelText(), reloj.elapsed()});
    EXPECT_TRUE(avance->isModal());
    if (avance->labelText().startsWith(cancela))
      QTest::mouseClick(avance->findChild<QPushButton*>(), Qt::LeftButton);
  });
  vigia.start();

  cancela = "Generando";
  llamadas.clear();
  reloj.start();
  QTest::mouseClick(f->Command1, Qt::LeftButton);
  ASSERT_FALSE(vistos.empty());
  EXPECT_EQ(vistos[0].texto, "Generando el reporte \"Presupuesto\"...");
  EXPECT_GE(vistos[0].ms, 450);  // not before half a second
  EXPECT_EQ(dialogosImpresion, 0);  // nothing printed
  EXPECT_TRUE(cajas_.shown().empty()) << cajas_.texts().join(QLatin1Char('|')).toStdString();
  ASSERT_EQ(llamadas.size(), 2u);  // the report stopped, then the sample made again
  EXPECT_TRUE(llamadas[1].muestra);
  EXPECT_EQ(f->findChild<QProgressDialog*>(QStringLiteral("Avance")), nullptr);

  // Printing: the progress of the pages, then stopped; the file is not written.
  Avance::espera() = 100;
  cancela = "Imprimiendo";
  vistos.clear();
  reloj.restart();
  QTest::mouseClick(f->Command1, Qt::LeftButton);
  Avance::espera() = 500;
  EXPECT_EQ(dialogosImpresion, 1);
  ASSERT_FALSE(vistos.empty());
  EXPECT_EQ(vistos.back().texto, "Imprimiendo el reporte \"Presupuesto\"...");
  EXPECT_FALSE(QFile::exists(pdf));
  EXPECT_TRUE(cajas_.shown().empty()) << cajas_.texts().join(QLatin1Char('|')).toStdString();
}

// Quantities that disagree with the schedule: the error list comes once for each request of a
// schedule report, on choosing it (its sample) and on "Aceptar", and nothing is printed.
TEST_F(Ventana, TheErrorListComesOncePerRequest) {
  ejecuta("UPDATE Presupuesto SET Cantidad = Cantidad + 1 WHERE Codigo = 'PRE-001'");
  frmRep* f = ventana();
  int dialogos = 0;
  wb::PrintService::instance().setPrintDialogHook([&](QPrinter&) {
    ++dialogos;
    return false;
  });
  for (int tipo : {repgen::kProgramaObra, repgen::kMontosMensuales, repgen::kConceptosPrecios}) {
    SCOPED_TRACE(tipo);
    modales.clear();
    elige(f->Combo2, tipo);
    EXPECT_EQ(modales, QStringList{"FrmErrores"});
    modales.clear();
    QTest::mouseClick(f->Command1, Qt::LeftButton);
    EXPECT_EQ(modales, QStringList{"FrmErrores"});
  }
  EXPECT_EQ(dialogos, 0);
}

// On the PDF printer every document is proposed under its own name in the bid's folder, and no file
// is replaced unasked: a printed budget stays when the quantity-error list is printed after it.
TEST_F(Ventana, PrintedFilesAreNamedAfterTheirDocumentAndNeverReplacedUnasked) {
  wb::PrintService::instance().setPrinterName(ui::pdfPrinterName());
  frmRep* f = ventana();
  QString propuesto;
  wb::PrintService::instance().setPrintDialogHook([&](QPrinter& p) {
    propuesto = p.outputFileName();
    return true;
  });
  QTest::mouseClick(f->Command1, Qt::LeftButton);
  EXPECT_EQ(propuesto, ruta("Presupuesto.pdf"));
  QFile presupuesto(ruta("Presupuesto.pdf"));
  ASSERT_TRUE(presupuesto.open(QIODevice::ReadOnly));
  const QByteArray impreso = presupuesto.readAll();
  presupuesto.close();

  // Printed again over it: asked first.
  cajas_.answer(ui::vbNo);
  QTest::mouseClick(f->Command1, Qt::LeftButton);
  EXPECT_EQ(cajas_.texts(), QStringList{"El archivo \"Presupuesto.pdf\" ya existe.\r\n¿Desea reemplazarlo?"});

  // The schedule's quantities disagree: the error list is printed as "Errores.pdf".
  ejecuta("UPDATE Presupuesto SET Cantidad = Cantidad + 1 WHERE Codigo = 'PRE-001'");
  int impresiones = 0;
  responde = [&](QDialog* d) {
    if (auto* errores = qobject_cast<FrmErrores*>(d)) {
      QTest::mouseClick(errores->Imprimir, Qt::LeftButton);
      ++impresiones;
    }
  };
  elige(f->Combo2, repgen::kProgramaObra);
  EXPECT_EQ(impresiones, 1);
  QFile errores(ruta("Errores.pdf"));
  ASSERT_TRUE(errores.open(QIODevice::ReadOnly));
  const QByteArray lista = errores.readAll();
  errores.close();
  EXPECT_TRUE(lista.startsWith("%PDF-"));
  ASSERT_TRUE(presupuesto.open(QIODevice::ReadOnly));
  EXPECT_EQ(presupuesto.readAll(), impreso);
  presupuesto.close();

  // The list printed again ("Aceptar" asks for the report): asked first, and kept on No.
  cajas_.answer(ui::vbNo);
  QTest::mouseClick(f->Command1, Qt::LeftButton);
  EXPECT_EQ(impresiones, 2);
  EXPECT_EQ(cajas_.texts().last(), "El archivo \"Errores.pdf\" ya existe.\r\n¿Desea reemplazarlo?");
  ASSERT_TRUE(errores.open(QIODevice::ReadOnly));
  EXPECT_EQ(errores.readAll(), lista);
}

// The error list on screen shows every line whole, its title the longest: nothing to scroll
// sideways, its buttons at the foot of the window, right of the list's start and inside the window.
TEST_F(Ventana, TheErrorListShowsItsFirstLineWhole) {
  ejecuta("UPDATE Presupuesto SET Cantidad = Cantidad + 1 WHERE Codigo = 'PRE-001'");
  frmRep* f = ventana();
  int vistas = 0;
  responde = [&](QDialog* d) {
    auto* errores = qobject_cast<FrmErrores*>(d);
    if (!errores)
      return;
    ++vistas;
    errores->show();
    QCoreApplication::processEvents();
    QPlainTextEdit* lista = errores->Text1;
    const QString primera = lista->toPlainText().section(QLatin1Char('\n'), 0, 0);
    EXPECT_EQ(primera, "Diferencias de cantidades entre el Presupuesto y Programa de Obra");
    EXPECT_EQ(lista->horizontalScrollBar()->maximum(), 0);
    EXPECT_LE(QFontMetrics(lista->font()).horizontalAdvance(primera), lista->viewport()->width());
    EXPECT_EQ(lista->verticalScrollBar()->value(), 0);
    const QRect ventana = errores->rect();
    for (QPushButton* b : {errores->Salir, errores->Imprimir}) {
      EXPECT_TRUE(ventana.contains(b->geometry())) << b->objectName().toStdString();
      EXPECT_GT(b->y(), lista->geometry().bottom());
    }
    EXPECT_EQ(errores->Imprimir->geometry().right(), lista->geometry().right());
    errores->hide();
  };
  elige(f->Combo2, repgen::kProgramaObra);
  EXPECT_EQ(vistas, 1);
}

// "Aceptar" on the preview: the whole report in the preview window, maximised.
TEST_F(Ventana, AcceptPreviewsTheWholeReport) {
  quarvel::destinoReporte = 1;
  frmRep* f = ventana();
  int paginas = -1;
  bool maximizada = false;
  wb::PrintService::instance().setPreviewHook([&](QWidget& dlg) {
    maximizada = dlg.windowState() & Qt::WindowMaximized;
    testsupport::cierraAlMostrarse(dlg, paginas);
  });
  llamadas.clear();
  f->Command1_Click();
  EXPECT_TRUE(maximizada);
  EXPECT_GT(paginas, 0);
  ASSERT_EQ(llamadas.size(), 2u);
  EXPECT_FALSE(llamadas[0].muestra);
  EXPECT_TRUE(llamadas[1].muestra);
}

// Nothing reaches the printer when the report could not be made or came out empty; an unreadable
// template is told.
TEST_F(Ventana, NothingIsPrintedWhenThereIsNoReport) {
  frmRep* f = ventana();
  int dialogos = 0;
  wb::PrintService::instance().setPrintDialogHook([&](QPrinter&) {
    ++dialogos;
    return false;
  });
  escritor = [](repgen::ContextoReporte&) {};  // a writer that found nothing to write
  f->Command1_Click();
  EXPECT_EQ(dialogos, 0);

  escritor = nullptr;
  {
    QFile danado(ruta("Parator1.kor"));
    ASSERT_TRUE(danado.open(QIODevice::WriteOnly | QIODevice::Truncate));
    danado.write("PK\x03\x04 no es un libro");
  }
  cajas_.answer(ui::vbOK);
  f->Command1_Click();
  EXPECT_EQ(dialogos, 0);
  ASSERT_EQ(cajas_.shown().size(), 1u);
  EXPECT_TRUE(cajas_.texts()[0].startsWith("No se puede abrir el archivo \"Parator1.kor\"")) << cajas_.texts()[0].toStdString();
  EXPECT_EQ(cajas_.shown()[0].icon(), ui::vbExclamation);
}

// A kind whose template cannot be read, damaged, cut short or missing: the window says so, naming the
// file and what is wrong, shows no sample (no cell and no picture of the kind shown before), and
// "Aceptar" does nothing; a readable kind brings both back.
TEST_F(Ventana, AnUnreadableTemplateIsToldAndShowsNoSample) {
  {
    QFile danado(ruta("Parator3.kor"));
    ASSERT_TRUE(danado.open(QIODevice::WriteOnly | QIODevice::Truncate));
    danado.write("no es un libro");
  }
  ASSERT_TRUE(QFile::remove(ruta("Parator4.kor")));
  {
    // The start of a zip file and nothing after it: a workbook cut short.
    QFile cortado(ruta("Parator5.kor"));
    ASSERT_TRUE(cortado.open(QIODevice::WriteOnly | QIODevice::Truncate));
    cortado.write("PK\x03\x04 cortado");
  }
  frmRep* f = ventana();
  f->show();
  int dialogos = 0;
  wb::PrintService::instance().setPrintDialogHook([&](QPrinter&) {
    ++dialogos;
    return false;
  });
  struct Caso {
    int tipo;
    const char* mensaje;
  };
  // Every cause in Spanish.
  for (const Caso& c :
       {Caso{repgen::kProgramaObra, "No se puede abrir el archivo \"Parator3.kor\": no es un libro .xlsx"},
        Caso{repgen::kMontosMensuales, "No se puede abrir el archivo \"Parator4.kor\": no existe"},
        Caso{repgen::kConceptosPrecios, "No se puede abrir el archivo \"Parator5.kor\": no es un archivo zip válido"}}) {
    SCOPED_TRACE(c.tipo);
    elige(f->Combo2, repgen::kPresupuesto == f->Combo2->currentIndex() ? repgen::kTotalesPresupuesto
                                                                         : repgen::kPresupuesto);
    ASSERT_GT(f->rep.Reporte.lastRow(), 0);
    const size_t antes = cajas_.shown().size();
    cajas_.answer(ui::vbOK);
    llamadas.clear();
    elige(f->Combo2, c.tipo);
    ASSERT_EQ(cajas_.shown().size(), antes + 1);
    EXPECT_EQ(cajas_.texts().last(), c.mensaje);
    EXPECT_EQ(cajas_.shown().back().icon(), ui::vbExclamation);
    EXPECT_EQ(f->rep.Reporte.lastRow(), 0);  // no sample, not the previous kind's: nor its logo
    EXPECT_TRUE(f->rep.Reporte.currentSheet().objects.empty());
    EXPECT_TRUE(llamadas.empty());
    QTest::mouseClick(f->Command1, Qt::LeftButton);
    EXPECT_TRUE(llamadas.empty());
    EXPECT_EQ(dialogos, 0);
    EXPECT_EQ(cajas_.shown().size(), antes + 1);
  }
  elige(f->Combo2, repgen::kPresupuesto);
  EXPECT_GT(f->rep.Reporte.lastRow(), 0);
  EXPECT_TRUE(f->Command1->isEnabled());
}

// The sample is drawn where the window's layout puts it and follows the window's size.
TEST_F(Ventana, TheSampleFillsTheWindowBesideItsButtons) {
  frmRep* f = ventana();
  f->resize(1000, 700);
  f->show();
  QCoreApplication::processEvents();
  const int margen = 10;  // 150 twips
  for (QPushButton* b : {f->Command1, f->Command2, f->Command6})
    EXPECT_EQ(b->geometry().right() + 1, f->width() - margen) << b->objectName().toStdString();
  EXPECT_EQ(f->Reporte->geometry().bottom() + 1, f->height() - 47);  // 700 twips below it
  EXPECT_EQ(f->Reporte->geometry().right() + 1, f->Command1->x() - margen);
  // For a person to look at, when TORNAVO_REPORTES_SALIDA names a folder.
  const QString carpeta = qEnvironmentVariable("TORNAVO_REPORTES_SALIDA");
  if (!carpeta.isEmpty() && QDir().mkpath(carpeta))
    for (int tipo = 0; tipo < repgen::kTiposReporte; ++tipo) {
      elige(f->Combo2, tipo);
      QCoreApplication::processEvents();
      f->grab().save(carpeta + QStringLiteral("/ventana_reportes_%1.png").arg(tipo));
    }
}

// Printing from the preview over an existing PDF file, as the user does it (the preview's print
// button, the print dialog, "Sí" to replacing the file): the new file is written beside it, with the
// progress and its "Cancelar" over the preview. "Cancelar" leaves the old file as it was; a print to
// its end puts the whole new file in its place. Nothing is left beside it either way.
TEST_F(Ventana, APrintFromThePreviewReplacesItsFileWholeOrNotAtAll) {
  prueba::multiplicaPresupuesto(8);
  wb::PrintService::instance().setPrinterName(ui::pdfPrinterName());
  quarvel::destinoReporte = 1;
  frmRep* f = ventana();
  const QString pdf = ruta("Presupuesto.pdf");
  const QString carpeta = QFileInfo(pdf).absolutePath();
  const auto archivos = [&] {  // the databases' journals come and go with their writes
    QStringList nombres = QDir(carpeta).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    nombres.removeIf([](const QString& n) { return n.endsWith("-journal"); });
    return nombres;
  };
  const auto contenido = [&] { return testsupport::contenido(pdf); };
  Avance::espera() = 0;
  for (const bool cancela : {true, false}) {
    SCOPED_TRACE(cancela ? "Cancelar" : "to its end");
    ASSERT_TRUE(testsupport::pon(pdf, "documento anterior"));
    const QStringList antes = archivos();
    QStringList sobre;  // the windows the progress of the print showed over
    testsupport::ImprimeDesdeVista imprime([&](QProgressDialog* avance) {
      if (!avance || !avance->isVisible())
        return;
      EXPECT_EQ(avance->labelText(), "Imprimiendo el reporte \"Presupuesto\"...");
      sobre.append(avance->parentWidget() ? avance->parentWidget()->metaObject()->className() : "");
      if (cancela && avance->value() > 0)
        QTest::mouseClick(avance->findChild<QPushButton*>(), Qt::LeftButton);
    });
    QTest::mouseClick(f->Command1, Qt::LeftButton);
    Avance::espera() = 500;
    EXPECT_TRUE(imprime.imprime());
    ASSERT_FALSE(sobre.isEmpty());
    EXPECT_EQ(sobre.front(), "QPrintPreviewDialog");
    if (cancela) {
      EXPECT_EQ(contenido(), "documento anterior");
    } else {
      EXPECT_TRUE(contenido().startsWith("%PDF-"));
      EXPECT_TRUE(contenido().trimmed().endsWith("%%EOF"));
    }
    EXPECT_EQ(archivos(), antes);
    EXPECT_TRUE(cajas_.shown().empty()) << cajas_.texts().join(QLatin1Char('|')).toStdString();
    Avance::espera() = 0;
  }
  Avance::espera() = 500;
}

}  // namespace
