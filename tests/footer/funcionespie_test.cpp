// The footer page with a function file in the program folder: the file is found whatever its letter
// case and written back under its own name, and a file whose functions never finish stops the
// evaluation with a clear error instead of freezing the program.
#include "piefixture.h"

#include "evaluador.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <functional>

#include <sys/stat.h>

namespace {

using piefixture::cur;
using vb::Currency;

const QByteArray kEncabezado = "Por favor no modifique manualmente este archivo./Please don't modify this file by hand.\r\n";

// A function file of the given records, each a name, a body and parameter names.
struct Funcion {
  QString nombre;
  QString cuerpo;
  QStringList parametros;
};

QByteArray archivoDeFunciones(const std::vector<Funcion>& funciones) {
  QByteArray texto = kEncabezado;
  for (const Funcion& f : funciones) {
    texto += QString("\"%1\",\"%2\",%3\r\n").arg(f.nombre, f.cuerpo).arg(f.parametros.size()).toUtf8();
    for (const QString& p : f.parametros) texto += QString("\"%1\"\r\n").arg(p).toUtf8();
  }
  return texto;
}

// Functions whose work doubles at each level, reached through a user function named round, which
// every footer formula with "*" or "/" calls.
QByteArray funcionesDesbocadas() {
  std::vector<Funcion> f{{"F0", "X+1", {"X"}}};
  for (int k = 1; k <= 70; ++k) f.push_back({QString("F%1").arg(k), QString("F%1(X)+F%1(X)").arg(k - 1), {"X"}});
  f.push_back({"round", "F70(X)", {"X", "N"}});
  return archivoDeFunciones(f);
}

void guarda(const QString& ruta, const QByteArray& contenido) {
  QFile f(ruta);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
  f.write(contenido);
}

QByteArray lee(const QString& ruta) {
  QFile f(ruta);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class FuncionesPie : public piefixture::PieTest {
protected:
  // The page opened again on a function file that finishes evaluates the footer, with no message
  // besides the `mensajes` already shown: its fourth row totals `cuarto`.
  void evaluaConFuncionesQueTerminan(size_t mensajes, const Currency& cuarto) {
    pagina.reset();
    guarda(enPrograma(footer::Evaluador::ArchivoFunciones), archivoDeFunciones({{"Doble", "2*X", {"X"}}}));
    pagina = std::make_unique<footer::PaginaPie>();
    pagina->Form_Load();
    pagina->Form_Activate();
    EXPECT_EQ(cajas.shown().size(), mensajes) << cajas.texts().join(" | ").toStdString();
    EXPECT_EQ(totales()[3], cuarto);
    EXPECT_TRUE(sinTotal().empty());
  }

  QString enPrograma(const QString& nombre) const { return QDir(dir_.path()).filePath(nombre); }
  QStringList archivosDeFunciones() const {
    return QDir(dir_.path()).entryList({"*.fun"}, QDir::Files);  // the pattern ignores case
  }
};

TEST_F(FuncionesPie, AFunctionFileIsFoundWhateverItsLetterCaseAndWrittenBackUnderItsName) {
  // A round of its own in the file replaces the built-in in every formula: each total becomes 7.
  const QByteArray siete = archivoDeFunciones({{"round", "X*0+7", {"X", "N"}}});
  for (const char* nombre : {"analizem.fun", "Analizem.Fun", "ANALIZEM.FUN"}) {
    SCOPED_TRACE(nombre);
    abre("Ejemplo.mdb", 1, [&](const QString&, const QString&) { guarda(enPrograma(nombre), siete); });
    pagina->Form_Activate();
    EXPECT_TRUE(cajas.shown().empty()) << cajas.texts().join(" | ").toStdString();
    EXPECT_EQ(totales()[2], cur("7"));
    EXPECT_EQ(totales().back(), cur("7"));
    // The evaluator that read it wrote it back, under the same name and nowhere else.
    EXPECT_EQ(archivosDeFunciones(), QStringList{nombre});
    EXPECT_EQ(lee(enPrograma(nombre)), siete);
    TearDown();  // the next name starts afresh
    for (const QString& f : {QString(nombre), QString("obra.mdb"), QString("paratorn.kor")})
      ASSERT_TRUE(QFile::remove(enPrograma(f))) << f.toStdString();
  }
}

TEST_F(FuncionesPie, ARunawayFunctionFileEndsWithAClearErrorAndThePageWorksOn) {
  abre("Ejemplo.mdb", 1, [&](const QString&, const QString&) {
    guarda(enPrograma(footer::Evaluador::ArchivoFunciones), funcionesDesbocadas());
  });
  const QString mensaje = "frmDatGen.CalculaPieTotal 18 - Cálculo interrumpido: la evaluación excede el trabajo máximo permitido";

  cajas.answer(ui::vbOK);
  QElapsedTimer reloj;
  reloj.start();
  pagina->Form_Activate();
  EXPECT_LT(reloj.elapsed(), 15000);
  ASSERT_EQ(cajas.shown().size(), 1u);
  EXPECT_EQ(cajas.shown()[0].prompt, mensaje);
  // The pass stopped before it had any total: no row keeps one of the footer as it was.
  EXPECT_EQ(sinTotal(), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
  for (int i = 0; i < 10; ++i) EXPECT_EQ(pagina->Grid1->CellText(i, footer::PaginaPie::colTotal), "") << i;

  // The page takes the next edit: the factor is stored, and the evaluation stops the same way.
  cajas.answer(ui::vbOK);
  ASSERT_TRUE(escribe(1, "Factor", "10"));
  EXPECT_EQ(pie()[1].factor, 10.0);
  ASSERT_EQ(cajas.shown().size(), 2u);
  EXPECT_EQ(cajas.shown()[1].prompt, mensaje);
  EXPECT_EQ(sinTotal().size(), 10u);
  EXPECT_EQ(factorIntegrado(), cur("0"));

  evaluaConFuncionesQueTerminan(2, cur("115"));
}

// A body that declares `n` variables in its function, joined by ":" into the one line of the record.
QString conVariables(int n, const std::function<QString(int)>& asigna, const QString& despues) {
  QStringList nombres, partes{"0", ""};
  for (int i = 0; i < n; ++i) nombres << QString("a%1").arg(i);
  partes[1] = "Dim " + nombres.join(",");
  if (asigna)
    for (int i = 0; i < n; ++i) partes << asigna(i);
  partes << despues;
  return partes.join(" : ");
}

// Functions that, when their code is loaded, each run a statement of the module doing about 94
// million steps of work: comparisons of a 16M-character text with itself, each charged by its
// characters. Each alone stays within the bound; two of them together pass it.
std::vector<Funcion> cargasPesadas(int cuantas) {
  std::vector<Funcion> f;
  for (int k = 0; k < cuantas; ++k) {
    const QString s = QString("S%1").arg(k), z = QString("Z%1").arg(k);
    f.push_back({QString("Q%1").arg(k),
                 QString("1 : End Function : Private %1, %2 : %1 = String(16000000, 97) : %2 = (%1 = %1)").arg(s, z) +
                     QString(" + (%1 = %1)").arg(s).repeated(22) + QString(" : Function W%1() : W%1 = 1").arg(k),
                 {}});
  }
  return f;
}

TEST_F(FuncionesPie, HostileFunctionFilesEndWithTheirErrorAndThePageWorksOn) {
  const QString celdas = QString("S") + QString(", S").repeated(127);
  const QString memoria = "frmDatGen.CalculaPieTotal 7 - Memoria insuficiente";
  struct Caso {
    const char* nombre;
    std::vector<Funcion> funciones;
    QString mensaje;
  };
  const Caso casos[] = {
      {"a Filter over 128 cells of one 16M-character text",
       {{"G", "UBound(Filter(Array(" + celdas + "), Chr(98)))", {"S"}}, {"round", "G(String(16777216, 97)) + X", {"X", "N"}}},
       "frmDatGen.CalculaPieTotal 18 - Cálculo interrumpido: la evaluación excede el trabajo máximo permitido"},
      {"a recursion that holds a Split of 900 001 cells in every call",
       {{"R", "UBound(Array(Split(String(900000, 44), Chr(44)), R(X)))", {"X"}}, {"round", "R(X)", {"X", "N"}}},
       "frmDatGen.CalculaPieTotal 7 - Memoria insuficiente"},
      {"a recursion that holds a new text of 16M characters in every call",
       {{"T", "Len(String(16000000, 97) & T(X))", {"X"}}, {"round", "T(X)", {"X", "N"}}},
       "frmDatGen.CalculaPieTotal 7 - Memoria insuficiente"},
      {"a recursion that keeps 900 texts of 1 000 characters in its variables in every call",
       {{"R", conVariables(900, [](int i) { return QString("a%1 = S & %1").arg(i); }, "R = R(X + 1, S)"), {"X", "S"}},
        {"round", "R(1, String(1000, 120))", {"X", "N"}}},
       memoria},
      {"a recursion with 30 000 variables in every call",
       {{"R", conVariables(30000, {}, "R = R(X + 1)"), {"X"}}, {"round", "R(X)", {"X", "N"}}},
       memoria},
      {"a function of 2 000 000 operators", {{"round", "X*0" + QString("+1").repeated(2000000), {"X", "N"}}}, memoria},
      {"functions whose loading each works more than half the bound",
       cargasPesadas(3),
       "frmDatGen.CalculaPieTotal 18 - Cálculo interrumpido: la evaluación excede el trabajo máximo permitido"},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.nombre);
    abre("Ejemplo.mdb", 1, [&](const QString&, const QString&) {
      guarda(enPrograma(footer::Evaluador::ArchivoFunciones), archivoDeFunciones(c.funciones));
    });
    const std::vector<Currency> antes = totales();
    const size_t vistas = cajas.shown().size();
    cajas.answer(ui::vbOK);
    pagina->Form_Activate();
    ASSERT_EQ(cajas.shown().size(), vistas + 1);
    EXPECT_EQ(cajas.shown()[vistas].prompt, c.mensaje);
    EXPECT_EQ(sinTotal().size(), 10u);  // the pass stopped before it had any total
    evaluaConFuncionesQueTerminan(vistas + 1, antes[3]);
    TearDown();
  }
}

TEST_F(FuncionesPie, FunctionBodiesThatTakeAPartOfACallsResultOrChainManyOperatorsEvaluate) {
  // The file has no way to write a quote inside a body: texts are built with Chr.
  const std::vector<Funcion> casos[] = {
      {{"Parte", "Split(S, Chr(44))(I)", {"S", "I"}}, {"round", "X*0 + CDbl(Parte(5 & Chr(44) & 7 & Chr(44) & 9, 1))", {"X", "N"}}},
      {{"round", "X*0" + QString("+1").repeated(100000) + "-99993", {"X", "N"}}},
      {{"round", "Array(X*0+7, X)(0)", {"X", "N"}}},
  };
  for (const std::vector<Funcion>& funciones : casos) {
    SCOPED_TRACE(funciones.back().cuerpo.left(40).toStdString());
    abre("Ejemplo.mdb", 1, [&](const QString&, const QString&) {
      guarda(enPrograma(footer::Evaluador::ArchivoFunciones), archivoDeFunciones(funciones));
    });
    pagina->Form_Activate();
    EXPECT_TRUE(cajas.shown().empty()) << cajas.texts().join(" | ").toStdString();
    EXPECT_EQ(totales()[2], cur("7"));
    EXPECT_EQ(totales().back(), cur("7"));
    TearDown();
    QFile::remove(enPrograma(footer::Evaluador::ArchivoFunciones));
  }
}

TEST_F(FuncionesPie, SomethingNamedLikeTheFunctionFileThatIsNoReadableFileLoadsNothing) {
  abre("Ejemplo.mdb", 1);
  pagina->Form_Activate();
  ASSERT_TRUE(cajas.shown().empty()) << cajas.texts().join(" | ").toStdString();
  const std::vector<Currency> sinArchivo = totales();
  TearDown();

  const QString archivo = footer::Evaluador::ArchivoFunciones;
  struct Caso {
    const char* nombre;
    std::function<bool(const QString& ruta)> crea;
  };
  const Caso casos[] = {
      {"a folder", [](const QString& ruta) { return QDir().mkdir(ruta); }},
      {"a link to a folder",
       [&](const QString& ruta) { return QDir().mkdir(ruta + ".d") && QFile::link(ruta + ".d", ruta); }},
      {"a named pipe", [](const QString& ruta) { return mkfifo(QFile::encodeName(ruta).constData(), 0644) == 0; }},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.nombre);
    bool creado = false;
    abre("Ejemplo.mdb", 1, [&](const QString&, const QString&) { creado = c.crea(enPrograma(archivo)); });
    ASSERT_TRUE(creado);
    pagina->Form_Activate();
    EXPECT_TRUE(cajas.shown().empty()) << cajas.texts().join(" | ").toStdString();
    EXPECT_EQ(totales(), sinArchivo);
    TearDown();
    // Nothing was written in its place.
    const QFileInfo queda(enPrograma(archivo));
    EXPECT_FALSE(queda.isFile() && !queda.isSymLink());
    QFile::remove(enPrograma(archivo));
    QDir().rmdir(enPrograma(archivo));
    QDir().rmdir(enPrograma(archivo) + ".d");
  }
}

}  // namespace
