// Hostile function files against one footer evaluation: each case is a function file in the program
// folder whose round (which every footer formula with "*" or "/" calls) does something unbounded, or
// whose code does it as it is loaded, and one footer row evaluated as the footer page evaluates it. Each case runs in a process of its own,
// so that its peak memory is its own. Targets: the work cases end with error 18 within ten seconds,
// the memory cases with error 7 under 1 GB of peak memory, the date texts under 1 GB too, and the
// long chain and the dates give their value.
#include "evaluador.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr double kTargetMs = 10000.0;
constexpr double kTargetPeakMb = 1024.0;

struct Funcion {
  QString nombre;
  QString cuerpo;
  QStringList parametros;
};

struct Caso {
  const char* nombre;
  std::vector<Funcion> funciones;
  int error;         // the error it must end with; 0: it must give a value
  double peakLimit;  // MB; 0: no target on memory
};

// A body of one line that declares `n` variables in its function and then does `despues`.
QString conVariables(int n, const QString& cadaUna, const QString& despues) {
  QStringList nombres, partes{"0"};
  for (int i = 0; i < n; ++i) nombres << QString("a%1").arg(i);
  partes << "Dim " + nombres.join(",");
  if (!cadaUna.isEmpty())
    for (int i = 0; i < n; ++i) partes << QString(cadaUna).replace("#", QString::number(i));
  partes << despues;
  return partes.join(" : ");
}

// Functions whose code, when it is loaded, runs a statement of the module: a 16M-character text
// replaced letter by letter and compared with itself, about 86 million steps, each one alone within
// the bound of a call.
std::vector<Funcion> cargasPesadas(int cuantas) {
  std::vector<Funcion> f;
  for (int k = 0; k < cuantas; ++k) {
    const QString s = QString("S%1").arg(k);
    f.push_back({QString("Q%1").arg(k),
                 QString("1 : End Function : Private %1, Z%2 : %1 = String(16000000, 97) : "
                         "Z%2 = Len(Replace(%1, Chr(97), Chr(98)))").arg(s).arg(k) +
                     QString(" + (%1 = %1)").arg(s).repeated(20) + QString(" : Function W%1() : W%1 = 1").arg(k),
                 {}});
  }
  return f;
}

// `cuantas` functions of `parametros` parameters each, none of them called.
std::vector<Funcion> muchasFunciones(int cuantas, int parametros) {
  QStringList nombres;
  for (int p = 0; p < parametros; ++p) nombres << QString("P%1").arg(p);
  std::vector<Funcion> f;
  for (int k = 0; k < cuantas; ++k) f.push_back({QString("F%1").arg(k), "0", nombres});
  return f;
}

// The file has no way to write a quote in a body: texts are made with Chr and String.
std::vector<Caso> casos() {
  const QString celdas = QString("S") + QString(", S").repeated(2047);
  std::vector<Funcion> doblando{{"F0", "InStr(String(16777216, 97), Chr(98) & String(8000000, 97)) + X", {"X"}}};
  for (int k = 1; k <= 40; ++k) doblando.push_back({QString("F%1").arg(k), QString("F%1(X)+F%1(X)").arg(k - 1), {"X"}});
  doblando.push_back({"round", "F40(X)", {"X", "N"}});
  return {
      {"Filter over 2 048 cells of one 16M-character text",
       {{"G", "UBound(Filter(Array(" + celdas + "), Chr(98)))", {"S"}}, {"round", "G(String(16777216, 97)) + X", {"X", "N"}}},
       18, 0},
      {"the same, letter case ignored",
       {{"G", "UBound(Filter(Array(" + celdas + "), Chr(98), True, 1))", {"S"}},
        {"round", "G(String(16777216, 97)) + X", {"X", "N"}}},
       18, 0},
      {"a long near miss searched in a 16M text, 2^40 times", doblando, 18, 0},
      {"recursion holding a Split of 900 001 cells per call",
       {{"R", "UBound(Array(Split(String(900000, 44), Chr(44)), R(X)))", {"X"}}, {"round", "R(X)", {"X", "N"}}},
       7, kTargetPeakMb},
      {"recursion holding a new 16M-character text per call",
       {{"T", "Len(String(16000000, 97) & T(X))", {"X"}}, {"round", "T(X)", {"X", "N"}}},
       7, kTargetPeakMb},
      {"recursion keeping 900 texts of 1 000 characters in its variables per call",
       {{"R", conVariables(900, "a# = S & #", "R = R(X + 1, S)"), {"X", "S"}}, {"round", "R(1, String(1000, 120))", {"X", "N"}}},
       7, kTargetPeakMb},
      {"recursion with 100 000 variables per call",
       {{"R", conVariables(100000, QString(), "R = R(X + 1)"), {"X"}}, {"round", "R(X)", {"X", "N"}}},
       7, kTargetPeakMb},
      {"a function of 5 000 000 operators", {{"round", "X*0" + QString("+1").repeated(5000000), {"X", "N"}}}, 7, kTargetPeakMb},
      {"ten functions whose loading each works 86 million steps", cargasPesadas(10), 18, 0},
      {"a 16M-character text of date separators read as a date, twice",
       {{"round", "X*0 + IsDate(String(16000000, 47)) + IsDate(Replace(String(8000000, 49), Chr(49), 1 & Chr(47))) + 9", {"X", "N"}}},
       0, kTargetPeakMb},
      {"a function file of 800 000 functions (15 MB)", muchasFunciones(800000, 0), 7, kTargetPeakMb},
      {"fifty functions of 32 000 parameters", muchasFunciones(50, 32000), 7, kTargetPeakMb},
      {"a chain of 100 000 operators",
       {{"round", "X*0" + QString("+1").repeated(100000), {"X", "N"}}},
       0, 0},
  };
}

QByteArray archivo(const std::vector<Funcion>& funciones) {
  QByteArray texto = (footer::Evaluador::EncabezadoFunciones + "\r\n").toUtf8();
  for (const Funcion& f : funciones) {
    texto += QString("\"%1\",\"%2\",%3\r\n").arg(f.nombre, f.cuerpo).arg(f.parametros.size()).toUtf8();
    for (const QString& p : f.parametros) texto += QString("\"%1\"\r\n").arg(p).toUtf8();
  }
  return texto;
}

struct Resultado {
  int error = -1;  // -1: the case could not run
  double ms = 0;
  char valor[64] = {};
};

// In the child: one footer row, as the footer page evaluates it, from the evaluator's creation (which
// reads the file) to its end (which writes it back).
Resultado corre(const Caso& c) {
  Resultado r;
  QTemporaryDir carpeta;
  QFile f(QDir(carpeta.path()).filePath(footer::Evaluador::ArchivoFunciones));
  if (!carpeta.isValid() || !f.open(QIODevice::WriteOnly)) return r;
  f.write(archivo(c.funciones));
  f.close();
  QElapsedTimer reloj;
  reloj.start();
  try {
    auto ev = footer::Evaluador::crear(carpeta.path());
    ev->Variables()->Add("V99", vb::Variant(int16_t(100)));
    ev->Variables()->Add("VA", vb::Variant("0.0000001"));
    ev->Expresiones()->Add("E1", "round((V99)*1+ VA,2)");
    const vb::Variant v = ev->Calcular(QString());
    r.error = 0;
    std::snprintf(r.valor, sizeof r.valor, "%s", v.toString().toUtf8().constData());
  } catch (const vb::Error& e) {
    r.error = e.number();
  }
  r.ms = double(reloj.nsecsElapsed()) / 1e6;
  return r;
}

}  // namespace

int main() {
  bool met = true;
  for (const Caso& c : casos()) {
    int tubo[2];
    if (pipe(tubo) != 0) return 1;
    const pid_t hijo = fork();
    if (hijo == 0) {
      close(tubo[0]);
      const Resultado r = corre(c);
      const ssize_t escrito = write(tubo[1], &r, sizeof r);
      _exit(escrito == ssize_t(sizeof r) ? 0 : 1);
    }
    close(tubo[1]);
    Resultado r;
    const bool leido = read(tubo[0], &r, sizeof r) == ssize_t(sizeof r);
    close(tubo[0]);
    int estado = 0;
    rusage uso{};
    wait4(hijo, &estado, 0, &uso);
    const double peakMb = double(uso.ru_maxrss) / 1024.0;  // kilobytes on Linux
    const bool ok = leido && r.error == c.error && (c.error == 0 || r.ms < kTargetMs) &&
                    (c.peakLimit == 0 || peakMb < c.peakLimit);
    met = met && ok;
    if (!leido) std::printf("%s: the case did not finish\n", c.nombre);
    else if (r.error == 0) std::printf("%s: value %s after %.0f ms, peak %.0f MB (%s)\n", c.nombre, r.valor, r.ms, peakMb, ok ? "met" : "MISSED");
    else std::printf("%s: error %d after %.0f ms, peak %.0f MB (%s)\n", c.nombre, r.error, r.ms, peakMb, ok ? "met" : "MISSED");
    std::fflush(stdout);
  }
  std::printf("target: errors 18 within %.0f ms, errors 7 and the date texts under %.0f MB of peak memory, the values given: %s\n",
              kTargetMs, kTargetPeakMb, met ? "met" : "MISSED");
  return 0;
}
