// The evaluator's object model, its module text, Calcular and the function file.
#include "evaluador.h"
#include "script_test_util.h"
#include "qt_print.h"
#include "scriptcontrol.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

using footer::Evaluador;
using vb::Variant;

namespace {

QStringList lineas(const QString& pieza) { return pieza.split(QStringLiteral("\r\n")); }

QStringList piezas(Evaluador& ev) { return ev.SecComandos().modules().item("Quarvel").codeBlocks(); }

QByteArray leeArchivo(const QString& ruta) {
  QFile f(ruta);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void escribeArchivo(const QString& ruta, const QByteArray& contenido) {
  QFile f(ruta);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(contenido);
}

class EvaluadorTest : public ::testing::Test {
protected:
  std::shared_ptr<Evaluador> nuevo() { return Evaluador::crear(dir.path()); }
  QString archivo() const { return QDir(dir.path()).filePath("ANALIZEM.FUN"); }
  QTemporaryDir dir;
};

}  // namespace

TEST_F(EvaluadorTest, BuildsTheModulePieceByPieceAndReusesOneRunOfMain) {
  auto ev = nuevo();
  EXPECT_EQ(ev->Nombre(), "Evaluador");
  EXPECT_EQ(ev->CuantosModulos(), 1);
  ev->Variables()->Add("V94", Variant(int16_t(25)));
  ev->Variables()->Add("V99", Variant(int16_t(100)));
  ev->Expresiones()->Add("E1", "V99");
  ev->Expresiones()->Add("E2", "(E1)*(V94/ 100)");

  EXPECT_EQ(ev->Calcular("E1"), Variant(int16_t(100)));
  EXPECT_TRUE(ev->Calculado());
  EXPECT_EQ(ev->CuantosModulos(), 2);
  EXPECT_EQ(ev->SecComandos().modules().global().codeBlocks(), QStringList{"Option Explicit"});
  const QStringList p = piezas(*ev);
  ASSERT_EQ(p.size(), 4);
  EXPECT_EQ(lineas(p[0]), (QStringList{"Option Explicit", "Private V94", "Private V99", "Private Resultado", ""}));
  EXPECT_EQ(lineas(p[1]), (QStringList{"Sub Main(Parametros())", "V94=Parametros(1)", "V99=Parametros(2)",
                                       "Resultado=E2", "End Sub"}));
  EXPECT_EQ(lineas(p[2]), (QStringList{"Function E1", "E1=V99", "End Function"}));
  EXPECT_EQ(lineas(p[3]), (QStringList{"Function E2", "E2=(E1)*(V94/ 100)", "End Function"}));

  // Once the module exists a new evaluator-level value leaves Calculado set: Main does not run
  // again, so E2 still reads the 25 it was given.
  ev->Variables()->Item("v94")->setValor(Variant(int16_t(50)));
  EXPECT_TRUE(ev->Calculado());
  EXPECT_EQ(ev->Calcular("E2"), Variant(25.0));
  EXPECT_EQ(ev->NErr(), 0);
  // An empty text gives the last expression, running Main with the current values.
  EXPECT_EQ(ev->Calcular(""), Variant(50.0));
  EXPECT_EQ(ev->Resultado(), Variant(50.0));
}

TEST_F(EvaluadorTest, AnAdHocFormulaBecomesANewExpression) {
  auto ev = nuevo();
  ev->Expresiones()->Add("E1", "1");
  EXPECT_EQ(ev->Calcular("2*3"), Variant(int16_t(6)));
  ASSERT_EQ(ev->Expresiones()->Count(), 2);
  EXPECT_EQ(ev->Expresiones()->Item(2)->Nombre(), "Expr2");
  EXPECT_EQ(ev->Expresiones()->Item(2)->Valor(), Variant("2*3"));
  EXPECT_EQ(ev->Calcular("2*3"), Variant(int16_t(6)));
  EXPECT_TRUE(ev->Expresiones()->EnColeccion("EXPR3"));
  // A name that is taken already: the Add fails with 457.
  ev->Expresiones()->Remove(1);
  EXPECT_EQ(errorOf([&] { ev->Calcular("7"); }), 457);
}

TEST_F(EvaluadorTest, ARejectedPieceIsRecordedAndTheByNameEvaluationFails) {
  auto ev = nuevo();
  ev->Expresiones()->Add("E1", "1");
  ev->Expresiones()->Add("E2", "(E1");
  EXPECT_EQ(errorOf([&] { ev->Calcular("E1"); }), 91);
  EXPECT_EQ(ev->NErr(), 1006);
  EXPECT_EQ(ev->DErr(), "Se esperaba ')'");
  EXPECT_FALSE(ev->Calculado());
  EXPECT_TRUE(ev->Calcular("").isEmpty());  // target Main: Empty, no error
  EXPECT_EQ(ev->NErr(), 1006);

  // A local variable without value gives "X=" and the piece is rejected.
  auto ev2 = nuevo();
  auto e = ev2->Expresiones()->Add("E1", "X+1");
  e->Variables()->Add("X");
  EXPECT_TRUE(ev2->Calcular("").isEmpty());
  EXPECT_EQ(ev2->NErr(), 1023);
  e->Variables()->Item("X")->setValor(Variant(2.5));
  EXPECT_EQ(ev2->Calcular(""), Variant(3.5));
  EXPECT_EQ(lineas(piezas(*ev2)[2]), (QStringList{"Function E1", "Dim X", "X=2.5", "E1=X+1", "End Function"}));
  EXPECT_EQ(ev2->NErr(), 0);
}

TEST_F(EvaluadorTest, VariablesWithoutValueAreNullAndAnEmptyModuleIsAnError) {
  auto ev = nuevo();
  EXPECT_TRUE(ev->Variables()->Add("V1")->Valor().isNull());
  EXPECT_TRUE(ev->Variables()->Add("V2", Variant("Vacio"))->Valor().isNull());
  EXPECT_EQ(errorOf([&] { ev->Calcular(""); }), 91);  // no expression: no last one
  ev->Expresiones()->Add("E1", "IsNull(V1) And IsNull(V2)");
  EXPECT_EQ(ev->Calcular("E1"), Variant(true));
}

TEST_F(EvaluadorTest, CollectionsAreKeyedWithoutCaseInInsertionOrder) {
  auto ev = nuevo();
  auto vars = ev->Variables();
  vars->Add("B", Variant(int16_t(1)));
  vars->Add("a", Variant(int16_t(2)));
  EXPECT_EQ(errorOf([&] { vars->Add("b"); }), 457);
  EXPECT_EQ(vars->Count(), 2);
  QStringList orden;
  for (const auto& v : *vars) orden << v->Nombre();
  EXPECT_EQ(orden, (QStringList{"B", "a"}));
  EXPECT_EQ(vars->Item("A")->Valor(), Variant(int16_t(2)));
  EXPECT_EQ(errorOf([&] { vars->Item("C"); }), 5);
  EXPECT_EQ(errorOf([&] { vars->Item(3); }), 9);
  EXPECT_EQ(errorOf([&] { vars->Remove("C"); }), 5);
  EXPECT_EQ(vars->Parent(), ev);
  // A member removed from the front or the middle: the others keep their keys, the positions close
  // up, and its key is free again.
  for (const char* n : {"C", "D", "E"}) vars->Add(n, Variant(QString::fromLatin1(n)));
  vars->Remove("b");
  vars->Remove(3);  // D
  orden.clear();
  for (const auto& v : *vars) orden << v->Nombre();
  EXPECT_EQ(orden, (QStringList{"a", "C", "E"}));
  EXPECT_EQ(vars->Item("e")->Valor(), Variant("E"));
  EXPECT_EQ(vars->Item(2)->Nombre(), "C");
  EXPECT_EQ(errorOf([&] { vars->Item("D"); }), 5);
  vars->Add("d", Variant(int16_t(4)));
  vars->Add("B", Variant(int16_t(5)));
  EXPECT_EQ(vars->Item("D")->Valor(), Variant(int16_t(4)));
  EXPECT_EQ(vars->Item(5)->Nombre(), "B");
  EXPECT_EQ(errorOf([&] { vars->Add("e"); }), 457);
  // The same in a long collection, whose keys are looked up otherwise.
  auto muchas = ev->Funciones();
  for (int i = 0; i < 100; ++i) muchas->Add(QString("F%1").arg(i), QString::number(i));
  muchas->Remove("f0");
  muchas->Remove(50);  // F50
  muchas->Remove(muchas->Count());  // F99
  EXPECT_EQ(muchas->Count(), 97);
  EXPECT_EQ(muchas->Item("f49")->Valor(), "49");
  EXPECT_EQ(muchas->Item("F51")->Valor(), "51");
  EXPECT_EQ(muchas->Item(50)->Nombre(), "F51");
  EXPECT_EQ(errorOf([&] { muchas->Item("F50"); }), 5);
  EXPECT_EQ(errorOf([&] { muchas->Add("f98", ""); }), 457);
  muchas->Add("F50", "otra");
  EXPECT_EQ(muchas->Item(98)->Valor(), "otra");
  EXPECT_EQ(muchas->Item("f50"), muchas->Item(98));
  while (muchas->Count() > 0) muchas->Remove(1);

  auto exprs = ev->Expresiones();
  auto e = exprs->Add("E1", "1");
  EXPECT_EQ(exprs->Item("nada"), nullptr);
  EXPECT_EQ(exprs->Item(5), nullptr);
  EXPECT_FALSE(exprs->EnColeccion("nada"));
  EXPECT_EQ(errorOf([&] { exprs->Remove("nada"); }), 5);
  e->setNombre("Otro");  // the key stays the name it was added under
  EXPECT_EQ(exprs->Item("E1"), e);
  EXPECT_EQ(exprs->Item("Otro"), nullptr);

  auto f = ev->Funciones()->Add("F", "A+B");
  f->Parametros()->Add("A");
  EXPECT_EQ(errorOf([&] { f->Parametros()->Add("a"); }), 457);
  EXPECT_EQ(errorOf([&] { ev->Funciones()->Item("G"); }), 5);
  EXPECT_EQ(f->Parametros()->Item(1)->Parent(), f);
  EXPECT_EQ(f->Parent(), ev);
}

TEST_F(EvaluadorTest, WritesThatClearCalculado) {
  auto ev = nuevo();
  ev->Variables()->Add("V", Variant(int16_t(1)));
  auto e = ev->Expresiones()->Add("E1", "V");
  auto local = e->Variables()->Add("L", Variant(int16_t(1)));
  auto f = ev->Funciones()->Add("F", "1");
  auto p = f->Parametros()->Add("A");
  auto calculado = [&] {
    ev->Calcular("E1");
    return ev->Calculado();
  };
  struct Caso {
    const char* escritura;
    std::function<void()> hace;
    bool queda;
  };
  const Caso casos[] = {
      {"Expresion.Valor", [&] { e->setValor(Variant("V+0")); }, false},
      {"Expresion.Nombre", [&] { e->setNombre("E1"); }, false},
      {"Funcion.Valor", [&] { f->setValor("A"); }, false},
      {"Funcion.Nombre", [&] { f->setNombre("F"); }, false},
      {"Parametro.Nombre", [&] { p->setNombre("A"); }, false},
      {"Evaluador.Resultado", [&] { ev->setResultado(Variant()); }, false},
      {"local Variable.Valor", [&] { local->setValor(Variant(int16_t(2))); }, false},
      {"local Variable removed", [&] { e->Variables()->Remove("L"); local.reset(); }, false},
      {"evaluator Variable.Valor", [&] { ev->Variables()->Item("V")->setValor(Variant(int16_t(3))); }, true},
      {"evaluator Variable removed", [&] { ev->Variables()->Remove(1); }, true},
  };
  for (const Caso& c : casos) {
    ASSERT_TRUE(calculado()) << c.escritura;
    c.hace();
    EXPECT_EQ(ev->Calculado(), c.queda) << c.escritura;
  }
  ev->Variables()->Add("V", Variant(int16_t(1)));
  // Before the module exists an evaluator-level value does clear it.
  ev->Restaurar();
  ev->setCalculado(true);
  ev->Variables()->Item("V")->setValor(Variant(int16_t(4)));
  EXPECT_FALSE(ev->Calculado());
  // An expression passes Calculado on to its evaluator.
  e->setCalculado(true);
  EXPECT_TRUE(ev->Calculado());
}

TEST_F(EvaluadorTest, UserFunctionsRoundTripThroughTheFunctionFile) {
  escribeArchivo(archivo(), "cualquier cosa\r\n");
  {
    auto ev = nuevo();
    EXPECT_EQ(ev->Funciones()->Count(), 0);
    auto f = ev->Funciones()->Add("Suma", "A+B");
    f->Parametros()->Add("A");
    f->Parametros()->Add("B");
    ev->Funciones()->Add("Dos", "2");
    ev->Expresiones()->Add("E1", "Suma(1, Dos) * Dos()");
    EXPECT_EQ(ev->Calcular("E1"), Variant(int16_t(6)));
    const QStringList p = piezas(*ev);
    EXPECT_EQ(lineas(p[2]), (QStringList{"Function Suma( A,B)", "Suma=A+B", "End Function"}));
    EXPECT_EQ(lineas(p[3]), (QStringList{"Function Dos()", "Dos=2", "End Function"}));
  }
  EXPECT_EQ(leeArchivo(archivo()),
            "Por favor no modifique manualmente este archivo./Please don't modify this file by hand.\r\n"
            "\"Suma\",\"A+B\",2\r\n\"A\"\r\n\"B\"\r\n\"Dos\",\"2\",0\r\n");
  auto ev = nuevo();
  ASSERT_EQ(ev->Funciones()->Count(), 2);
  EXPECT_EQ(ev->Funciones()->Item(1)->Valor(), "A+B");
  EXPECT_EQ(ev->Funciones()->Item("suma")->Parametros()->Item(2)->Nombre(), "B");
  EXPECT_EQ(ev->Funciones()->Item("Dos")->Parametros()->Count(), 0);
}

TEST_F(EvaluadorTest, AnEvaluatorWithoutFunctionsLeavesTheFileAsItWas) {
  escribeArchivo(archivo(), "encabezado ajeno\r\n\r\n");
  nuevo().reset();
  EXPECT_EQ(leeArchivo(archivo()), "encabezado ajeno\r\n\r\n");
  QFile::remove(archivo());
  nuevo().reset();
  EXPECT_FALSE(QFile::exists(archivo()));
}

TEST_F(EvaluadorTest, AFunctionFileTooLargeToHoldFailsTheCreationAndStaysUntouched) {
  // Blanks cost nothing once split, but the file is read whole: 17 MB is more than any function
  // file, and more than reading it should take.
  const QByteArray contenido = "x\r\n\"round\",\"X*0+7" + QByteArray(17 << 20, ' ') + "\",2\r\n\"X\"\r\n\"N\"\r\n";
  escribeArchivo(archivo(), contenido);
  QString descripcion;
  EXPECT_EQ(errorOf([&] { nuevo(); }, &descripcion), 7);
  EXPECT_EQ(descripcion, "Memoria insuficiente");
  EXPECT_TRUE(leeArchivo(archivo()) == contenido);
}

// A file that tells no size and never ends, as some of /proc: it is read up to the bound, not whole.
TEST_F(EvaluadorTest, AFunctionFileWithoutEndFailsTheCreationAtTheBound) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address space the child is held to is the sanitizer's own";
#endif
  if (!QFileInfo(QStringLiteral("/proc/self/pagemap")).isReadable()) GTEST_SKIP() << "no /proc/self/pagemap";
  ASSERT_TRUE(QFile::link(QStringLiteral("/proc/self/pagemap"), archivo()));
  // In a child held to 2 GB more than it uses, so that a read without end fails fast instead of
  // taking the machine's memory.
  const auto creacion = [&] {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly)) return 2;
    const rlim_t usado = rlim_t(statm.readAll().split(' ').value(0).toLongLong()) * rlim_t(sysconf(_SC_PAGESIZE));
    const rlimit tope{usado + (rlim_t(2) << 30), usado + (rlim_t(2) << 30)};
    setrlimit(RLIMIT_AS, &tope);
    QString descripcion;
    const int numero = errorOf([&] { nuevo(); }, &descripcion);
    return numero == 7 && descripcion == "Memoria insuficiente" ? 0 : 1;
  };
  EXPECT_EXIT(_exit(creacion()), ::testing::ExitedWithCode(0), "");
}

TEST_F(EvaluadorTest, AMalformedFunctionFileFailsTheCreationAndStaysUntouched) {
  struct Caso {
    QByteArray contenido;
    int numero;
  };
  const Caso casos[] = {
      {"x\r\n\"F\",\"1\",dos\r\n", 13},
      {"x\r\n\"F\",\"1\"", 62},
      {"x\r\n\"F\",\"A\",1\r\n", 62},
      {"x\r\n\"F\",\"1\",0\r\n\"f\",\"2\",0\r\n", 457},
  };
  for (const Caso& c : casos) {
    escribeArchivo(archivo(), c.contenido);
    EXPECT_EQ(errorOf([&] { nuevo(); }), c.numero) << c.contenido.toStdString();
    EXPECT_EQ(leeArchivo(archivo()), c.contenido);
  }
}
