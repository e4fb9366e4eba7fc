// The programs themselves: the built tornavo and plicadora executables, started from a copy of the
// program folder with a home of their own, in an X server of their own (Xvfb), driven by real key
// presses (xdotool) and ended the ways a user ends them, or by the signals a logout, kill or Ctrl+C
// sends. Each must end with exit status 0 and leave in the bid the price typed before, with Enter or
// still in its cell's editor. ostinel too ends with status 0 on a signal.
#include "dao.h"
#include "qt_print.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <csignal>
#include <tuple>
#include <vector>

namespace {

constexpr int kEspera = 30000;  // ms for a window to appear or the program to end, on a busy machine

// An X server of the test's own, on the first free display number.
class ServidorX {
public:
  ServidorX() {
    servidor_.setProgram(QStringLiteral("Xvfb"));
    // -noreset: without it the server resets whenever its last client leaves, refusing connections meanwhile.
    servidor_.setArguments({"-displayfd", "1", "-screen", "0", "1280x1024x24", "-nolisten", "tcp", "-noreset"});
    servidor_.setProcessChannelMode(QProcess::SeparateChannels);
    servidor_.setStandardErrorFile(QProcess::nullDevice());
    servidor_.start();
    if (!servidor_.waitForStarted(kEspera))
      return;
    QByteArray linea;
    QElapsedTimer reloj;
    reloj.start();
    while (!linea.contains('\n') && reloj.elapsed() < kEspera && servidor_.waitForReadyRead(kEspera))
      linea += servidor_.readAllStandardOutput();
    if (linea.trimmed().isEmpty())
      return;
    display_ = QStringLiteral(":") + QString::fromLatin1(linea.trimmed());
  }
  ~ServidorX() {
    servidor_.terminate();
    if (!servidor_.waitForFinished(5000))
      servidor_.kill();
    servidor_.waitForFinished(5000);
  }
  bool listo() const { return !display_.isEmpty(); }
  const QString& display() const { return display_; }

  // Runs an X client against this server; its standard output, trimmed.
  QString cliente(const QString& programa, const QStringList& argumentos, int* estado = nullptr) const {
    QProcess p;
    QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
    entorno.insert(QStringLiteral("DISPLAY"), display_);
    p.setProcessEnvironment(entorno);
    p.start(programa, argumentos);
    p.waitForFinished(kEspera);
    if (estado)
      *estado = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
  }
  QString xdotool(const QStringList& argumentos, int* estado = nullptr) const {
    return cliente(QStringLiteral("xdotool"), argumentos, estado);
  }

  // The windows on screen whose name matches the pattern.
  QStringList visibles(const QString& patron) const {
    return xdotool({"search", "--onlyvisible", "--name", patron}).split(u'\n', Qt::SkipEmptyParts);
  }
  // The first window on screen named so, once there is one; "" when none came.
  QString espera(const QString& patron) const {
    QElapsedTimer reloj;
    reloj.start();
    for (;;) {
      const QStringList v = visibles(patron);
      if (!v.isEmpty())
        return v.first();
      if (reloj.elapsed() > kEspera)
        return {};
      QThread::msleep(100);
    }
  }
  // A window on screen that is not one of `antes`, once there is one; "" when none came. (Menus have
  // no name to look for: the X name stays empty.)
  QString esperaNueva(const QStringList& antes) const {
    QElapsedTimer reloj;
    reloj.start();
    for (;;) {
      for (const QString& v : visibles(QString()))
        if (!antes.contains(v))
          return v;
      if (reloj.elapsed() > kEspera)
        return {};
      QThread::msleep(100);
    }
  }
  // True once no window on screen is named so (a pattern), or is that window (an id).
  bool esperaQueSeVaya(const QString& ventana) const {
    QElapsedTimer reloj;
    reloj.start();
    const auto esta = [&] {
      const QStringList v = visibles(QString());
      if (QRegularExpression(QStringLiteral("^\\d+$")).match(ventana).hasMatch())
        return v.contains(ventana);
      return !visibles(ventana).isEmpty();
    };
    while (esta()) {
      if (reloj.elapsed() > kEspera)
        return false;
      QThread::msleep(100);
    }
    return true;
  }
  // Key presses for the window, given the keyboard focus first. Two runs of xdotool: chained after
  // the focus, its keys would be events sent to the window, which are not what a keyboard sends.
  void teclas(const QString& ventana, const QStringList& teclas) const {
    enfoca(ventana);
    xdotool(QStringList{"key", "--delay", "60"} + teclas);
  }
  void escribe(const QString& ventana, const QString& texto) const {
    enfoca(ventana);
    xdotool({"type", "--delay", "20", texto});
  }
  void enfoca(const QString& ventana) const { xdotool({"windowfocus", "--sync", ventana}); }

private:
  QProcess servidor_;
  QString display_;
};

enum class Cierre { Salir, CajaDeCierre, Senal };

// What is on screen when the program is told to end.
enum class Pendiente {
  Nada,
  MonedaRechazada,  // a currency that does not exist typed in its cell, without Enter
  Parametros,       // the general-data dialog open (modal)
};

struct Caso {
  const char* programa;
  const char* producto;  // the title of its message boxes and menus
  bool conObra;
  Cierre cierre;
  bool conEnter = true;  // the typed price ended with Enter, or left in its cell's editor
  int senal = SIGTERM;   // the signal of Cierre::Senal
  Pendiente pendiente = Pendiente::Nada;
};

const char* nombreDeSenal(int senal) {
  return senal == SIGTERM ? "SIGTERM" : senal == SIGHUP ? "SIGHUP" : senal == SIGINT ? "SIGINT" : "otra";
}

const char* nombreDePendiente(Pendiente p) {
  return p == Pendiente::MonedaRechazada ? "MonedaRechazada" : p == Pendiente::Parametros ? "Parametros" : "";
}

void PrintTo(const Caso& c, std::ostream* os) {
  *os << c.programa << (c.conObra ? ", con obra, " : ", sin obra, ")
      << (c.cierre == Cierre::Salir          ? "Salir"
          : c.cierre == Cierre::CajaDeCierre ? "caja de cierre"
                                             : nombreDeSenal(c.senal))
      << (c.conEnter ? "" : ", sin Enter") << (c.pendiente == Pendiente::Nada ? "" : ", ")
      << nombreDePendiente(c.pendiente);
}

// Section, row, code and price of every concept, in key order.
using Precios = std::vector<std::tuple<QString, int, QString, double>>;

Precios preciosDe(const QString& obra) {
  Precios precios;
  auto db = dao::DBEngine::OpenDatabase(obra, false, true, QStringLiteral(";pwd=ZARVUMEK"));
  auto rs = db->OpenRecordset(QStringLiteral("SELECT Partida, Renglon, Codigo, Precio FROM Presupuesto"));
  for (; !rs->EOF_(); rs->MoveNext())
    precios.emplace_back(vb::CStr(rs->Value(QStringLiteral("Partida"))),
                         int(vb::CDbl(rs->Value(QStringLiteral("Renglon")))),
                         vb::CStr(rs->Value(QStringLiteral("Codigo"))), vb::CDbl(rs->Value(QStringLiteral("Precio"))));
  db->Close();
  return precios;
}

class Ejecutable : public ::testing::TestWithParam<Caso> {
protected:
  void SetUp() override {
    ASSERT_TRUE(x_.listo()) << "Xvfb is needed (scripts/setup installs it)";
    int estado = -1;
    x_.xdotool({"version"}, &estado);
    ASSERT_EQ(estado, 0) << "xdotool is needed (scripts/setup installs it)";
    ASSERT_TRUE(carpeta_.isValid() && casa_.isValid());
    const Caso& c = GetParam();
    for (const QString& archivo : {QString::fromLatin1(c.programa), QStringLiteral("TORNAVO.KOR"),
                                   QStringLiteral("paratorn.kor"), QStringLiteral("Ejemplo.mdb"),
                                   QStringLiteral("Parator1.kor"), QStringLiteral("Parator2.kor"),
                                   QStringLiteral("Parator3.kor"), QStringLiteral("Parator4.kor"),
                                   QStringLiteral("Parator5.kor")}) {
      const QString destino = carpeta_.filePath(archivo);
      ASSERT_TRUE(QFile::copy(QStringLiteral(TORNAVO_BIN_DIR "/") + archivo, destino)) << archivo.toStdString();
      QFile::setPermissions(destino, QFile::permissions(destino) | QFileDevice::WriteOwner);
    }
    obra_ = carpeta_.filePath(QStringLiteral("Ejemplo.mdb"));
    titulo_ = QRegularExpression::escape(QString::fromLatin1(c.producto));
  }

  void TearDown() override {
    if (programa_.state() != QProcess::NotRunning) {
      programa_.kill();
      programa_.waitForFinished(5000);
    }
  }

  // Starts the program as its user does, from another folder, and lets the splash go: the main window.
  QString arranca() {
    QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
    entorno.insert(QStringLiteral("DISPLAY"), x_.display());
    entorno.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    entorno.insert(QStringLiteral("HOME"), casa_.path());
    QDir(casa_.path()).mkdir(QStringLiteral("run"));
    QFile::setPermissions(casa_.filePath(QStringLiteral("run")), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                                     QFileDevice::ExeOwner);
    entorno.insert(QStringLiteral("XDG_RUNTIME_DIR"), casa_.filePath(QStringLiteral("run")));
    entorno.insert(QStringLiteral("XDG_CONFIG_HOME"), casa_.filePath(QStringLiteral(".config")));
    programa_.setProcessEnvironment(entorno);
    programa_.setWorkingDirectory(casa_.path());
    programa_.start(carpeta_.filePath(QString::fromLatin1(GetParam().programa)), {});
    if (!programa_.waitForStarted(kEspera))
      return {};
    // The pointer off the windows, so that no tip window comes up where a menu is awaited.
    x_.xdotool({"mousemove", "1279", "1023"});
    const QString presentacion = x_.espera(QStringLiteral("^%1$").arg(titulo_));
    if (presentacion.isEmpty())
      return {};
    // Its button is the default one; Enter again while it is still on screen.
    for (int intento = 0; intento < 50 && !x_.visibles(QStringLiteral("^%1$").arg(titulo_)).isEmpty(); ++intento) {
      x_.teclas(presentacion, {"Return"});
      QThread::msleep(200);
    }
    principal_ = x_.espera(QStringLiteral("^Tornavo de Presupuesto$"));
    return principal_;
  }

  // A menu of the menu bar opened with Alt and its access key (once its popup is on screen, every key
  // sent before it has been handled), then keys for the popup.
  void menu(const char* acceso, const QStringList& teclas) {
    const QStringList antes = x_.visibles(QString());
    x_.teclas(principal_, {QStringLiteral("alt+") + QLatin1String(acceso)});
    const QString popup = x_.esperaNueva(antes);
    ASSERT_FALSE(popup.isEmpty()) << "the menu did not open";
    x_.xdotool(QStringList{"key", "--delay", "60"} + teclas);
    ASSERT_TRUE(x_.esperaQueSeVaya(popup)) << "the menu did not close";
  }

  // Archivo > Abrir and the bid's path typed in the file dialog; then Ver > Presupuesto: once that menu
  // has come and gone, the open command has ended and the price grid is the active window.
  void abre(const QString& ruta) {
    menu("a", {"Return"});
    const QString dialogo = x_.espera(QStringLiteral("^Abrir$"));
    ASSERT_FALSE(dialogo.isEmpty()) << "no file dialog";
    x_.escribe(dialogo, ruta);
    x_.teclas(dialogo, {"Return"});
    ASSERT_TRUE(x_.esperaQueSeVaya(QStringLiteral("^Abrir$")));
    ASSERT_FALSE(x_.espera(QStringLiteral("^Obra: ")).isEmpty()) << "the bid did not open";
    menu("v", {"Return"});
  }

  // Ends the program as the case says; its exit status (-1 if it crashed or did not end).
  int termina() {
    if (GetParam().cierre == Cierre::Salir) {
      menu("a", {"s"});
    } else if (GetParam().cierre == Cierre::Senal) {
      ::kill(pid_t(programa_.processId()), GetParam().senal);
    } else {
      int estado = -1;
      x_.cliente(QStringLiteral(TORNAVO_CIERRA_VENTANA), {principal_}, &estado);
      EXPECT_EQ(estado, 0);
    }
    if (!programa_.waitForFinished(kEspera))
      return -1;
    return programa_.exitStatus() == QProcess::NormalExit ? programa_.exitCode() : -1;
  }

  QString salida() { return QString::fromLocal8Bit(programa_.readAllStandardError()); }

  ServidorX x_;
  QTemporaryDir carpeta_;
  QTemporaryDir casa_;
  QProcess programa_;
  QString obra_;
  QString titulo_;
  QString principal_;
};

TEST_P(Ejecutable, EndsWithStatusZeroKeepingTheTypedPrice) {
  const Caso& c = GetParam();
  const Precios antes = preciosDe(obra_);
  ASSERT_FALSE(antes.empty());
  ASSERT_FALSE(arranca().isEmpty()) << "the main window did not show\n" << salida().toStdString();
  Precios esperados = antes;
  if (c.conObra) {
    abre(obra_);
    if (HasFatalFailure())
      return;
    // The grid starts on the first concept's first column; the price is the eighth.
    x_.teclas(principal_, {"Right", "Right", "Right", "Right", "Right", "Right", "Right"});
    x_.escribe(principal_, QStringLiteral("77.25"));
    if (c.conEnter)
      x_.teclas(principal_, {"Return"});
    // A typed price is every concept's of the same code.
    const QString codigo = std::get<2>(esperados.front());
    for (auto& concepto : esperados)
      if (std::get<2>(concepto) == codigo)
        std::get<3>(concepto) = 77.25;
    if (c.pendiente == Pendiente::MonedaRechazada) {
      // The currency is two columns on, past the amount; its check refuses the code with a message box.
      x_.teclas(principal_, {"Right", "Right"});
      x_.escribe(principal_, QStringLiteral("ZZZ"));
    } else if (c.pendiente == Pendiente::Parametros) {
      menu("v", {"Down", "Return"});
      ASSERT_FALSE(x_.espera(QStringLiteral("^Parámetros$")).isEmpty()) << "the general-data dialog did not open";
    }
  }
  EXPECT_EQ(termina(), 0) << salida().toStdString();
  const Precios despues = preciosDe(obra_);
  ASSERT_EQ(despues.size(), esperados.size());
  for (size_t i = 0; i < despues.size(); ++i)
    EXPECT_EQ(despues[i], esperados[i]) << "row " << i;
}

std::string nombreDelCaso(const ::testing::TestParamInfo<Caso>& info) {
  const Caso& c = info.param;
  return std::string(c.programa) + (c.conObra ? "_ConObra" : "_SinObra") +
         (c.cierre == Cierre::Salir          ? "_Salir"
          : c.cierre == Cierre::CajaDeCierre ? "_CajaDeCierre"
                                             : std::string("_") + nombreDeSenal(c.senal)) +
         (c.conEnter ? "" : "_SinEnter") + (c.pendiente == Pendiente::Nada ? "" : "_") +
         nombreDePendiente(c.pendiente);
}

INSTANTIATE_TEST_SUITE_P(Ediciones, Ejecutable,
                         ::testing::Values(Caso{"tornavo", "Tornavo", true, Cierre::Salir},
                                           Caso{"tornavo", "Tornavo", true, Cierre::CajaDeCierre},
                                           Caso{"tornavo", "Tornavo", false, Cierre::Salir},
                                           Caso{"tornavo", "Tornavo", false, Cierre::CajaDeCierre},
                                           Caso{"plicadora", "Plicadora", true, Cierre::Salir},
                                           Caso{"plicadora", "Plicadora", true, Cierre::CajaDeCierre},
                                           Caso{"plicadora", "Plicadora", false, Cierre::Salir},
                                           Caso{"plicadora", "Plicadora", false, Cierre::CajaDeCierre},
                                           // The program ends with the price still in its editor.
                                           Caso{"tornavo", "Tornavo", true, Cierre::Salir, false},
                                           Caso{"tornavo", "Tornavo", true, Cierre::CajaDeCierre, false},
                                           // Ended from outside: a logout or kill, a closed terminal, Ctrl+C.
                                           Caso{"tornavo", "Tornavo", true, Cierre::Senal},
                                           Caso{"tornavo", "Tornavo", true, Cierre::Senal, false},
                                           Caso{"tornavo", "Tornavo", false, Cierre::Senal},
                                           Caso{"tornavo", "Tornavo", true, Cierre::Senal, false, SIGHUP},
                                           Caso{"tornavo", "Tornavo", true, Cierre::Senal, false, SIGINT},
                                           Caso{"plicadora", "Plicadora", true, Cierre::Senal},
                                           Caso{"plicadora", "Plicadora", true, Cierre::Senal, false},
                                           Caso{"plicadora", "Plicadora", false, Cierre::Senal, true, SIGHUP},
                                           // What needs the user is answered as Cancelar, and the end goes on.
                                           Caso{"tornavo", "Tornavo", true, Cierre::Senal, true, SIGTERM,
                                                Pendiente::MonedaRechazada},
                                           Caso{"plicadora", "Plicadora", true, Cierre::Senal, true, SIGTERM,
                                                Pendiente::Parametros}),
                         nombreDelCaso);

// ostinel, its window on screen, ended by each signal, or by Enter on its focused Cancelar.
TEST(Ostinel, EndsWithStatusZeroOnASignalOrEnterOnCancelar) {
  ServidorX x;
  ASSERT_TRUE(x.listo()) << "Xvfb is needed (scripts/setup installs it)";
  for (const int senal : {SIGTERM, SIGHUP, SIGINT, 0}) {
    SCOPED_TRACE(senal == 0 ? "Enter on Cancelar" : nombreDeSenal(senal));
    QTemporaryDir casa;
    ASSERT_TRUE(casa.isValid());
    QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
    entorno.insert(QStringLiteral("DISPLAY"), x.display());
    entorno.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    entorno.insert(QStringLiteral("HOME"), casa.path());
    entorno.insert(QStringLiteral("XDG_CONFIG_HOME"), casa.filePath(QStringLiteral(".config")));
    QProcess ostinel;
    ostinel.setProcessEnvironment(entorno);
    ostinel.start(QStringLiteral(TORNAVO_BIN_DIR "/ostinel"), {});
    ASSERT_TRUE(ostinel.waitForStarted(kEspera));
    const QString ventana = x.espera(QStringLiteral("^Registrar OCX$"));
    ASSERT_FALSE(ventana.isEmpty()) << "the window did not show";
    if (senal != 0) {
      ::kill(pid_t(ostinel.processId()), senal);
    } else {
      // From the first option, past the second: Aceptar, then Cancelar.
      x.teclas(ventana, {"Tab", "Tab", "Return"});
    }
    const bool termino = ostinel.waitForFinished(kEspera);
    if (!termino)
      ostinel.kill();
    ASSERT_TRUE(termino) << "it did not end";
    EXPECT_EQ(ostinel.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(ostinel.exitCode(), 0);
  }
}

}  // namespace
