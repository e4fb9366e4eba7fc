// Modules, code blocks, procedures and the engine's operations.
#include "qt_print.h"
#include "scriptcontrol.h"
#include "script_test_util.h"

#include <QRandomGenerator>
#include <QThread>
#include <gtest/gtest.h>

#include <functional>

using script::Module;
using script::ScriptControl;
using script::Value;
using vb::Variant;

namespace {

std::vector<Value> arrayArg(std::vector<Variant> items) {
  std::vector<Value> values(items.begin(), items.end());
  return {Value::array(1, std::move(values))};
}

}  // namespace

TEST(ScriptControl, RunsAModuleOfPrivateVariablesAMainAndFunctions) {
  ScriptControl sc;
  sc.setLanguage("VBScript");
  sc.addCode("Option Explicit");
  Module& m = sc.modules().add("Quarvel");
  EXPECT_EQ(sc.modules().count(), 2);
  m.addCode("Option Explicit\r\nPrivate V94\r\nPrivate V99\r\nPrivate Resultado\r\n");
  m.addCode("Sub Main(Parametros())\r\nV94=Parametros(1)\r\nV99=Parametros(2)\r\nResultado=E2\r\nEnd Sub");
  m.addCode("Function E1\r\nE1=V99\r\nEnd Function");
  m.addCode("Function E2\r\nE2=(E1)*(V94/ 100)\r\nEnd Function");
  auto args = arrayArg({Variant(int16_t(25)), Variant(int16_t(100))});
  EXPECT_TRUE(m.run("Main", args).variant().isEmpty());
  EXPECT_EQ(m.eval("Resultado"), Variant(25.0));
  m.executeStatement("Resultado = E1");
  EXPECT_EQ(m.eval("Resultado"), Variant(int16_t(100)));
  EXPECT_EQ(sc.modules().item("quarvel").name(), "Quarvel");
  EXPECT_EQ(m.codeBlocks().size(), 4);
}

TEST(ScriptControl, ResetLeavesAnEmptyGlobalModule) {
  ScriptControl sc;
  sc.addCode("Private G\r\nFunction F\r\nF=1\r\nEnd Function");
  sc.modules().add("Quarvel").addCode("Private X");
  sc.reset();
  EXPECT_EQ(sc.modules().count(), 1);
  EXPECT_EQ(errorOf([&] { sc.modules().item("Quarvel"); }), 5);
  EXPECT_TRUE(sc.modules().global().codeBlocks().isEmpty());
  EXPECT_EQ(errorOf([&] { sc.eval("F"); }), 0);  // no Option Explicit any more: an unknown name is Empty
  EXPECT_TRUE(sc.eval("F").isEmpty());
  sc.modules().add("Quarvel");  // the name is free again
  EXPECT_EQ(errorOf([&] { sc.modules().add("QUARVEL"); }), 457);
  EXPECT_EQ(errorOf([&] { sc.setLanguage("JScript"); }), 5);
}

TEST(ScriptControl, OptionExplicitCoversEveryBlockOfTheModule) {
  ScriptControl sc;
  Module& m = sc.modules().add("M");
  m.addCode("Function F\r\nF=Y + 1\r\nEnd Function");
  EXPECT_EQ(m.eval("F"), Variant(int16_t(1)));  // Y reads as Empty
  m.addCode("Option Explicit");
  QString description;
  EXPECT_EQ(errorOf([&] { m.eval("F"); }, &description), 500);
  EXPECT_EQ(description, "Variable no definida: 'Y'");
  EXPECT_EQ(errorOf([&] { m.executeStatement("Z = 1"); }), 500);
  // Global's own Option Explicit does not reach other modules, and names of Global are visible.
  sc.addCode("Option Explicit\r\nPublic G");
  sc.executeStatement("G = 7");
  Module& n = sc.modules().add("N");
  EXPECT_EQ(n.eval("G + Unknown"), Variant(int16_t(7)));
}

TEST(ScriptControl, ImplicitVariablesWithoutOptionExplicit) {
  ScriptControl sc;
  Module& m = sc.modules().add("M");
  m.addCode("Function F\r\nX = 3\r\nF = X * 2\r\nEnd Function");
  EXPECT_EQ(m.eval("F"), Variant(int16_t(6)));
  EXPECT_TRUE(m.eval("X").isEmpty());  // X was local to F
  m.executeStatement("Y = 4");           // module level: a module variable
  EXPECT_EQ(m.eval("Y"), Variant(int16_t(4)));
}

TEST(ScriptControl, ARejectedBlockAddsNothing) {
  ScriptControl sc;
  Module& m = sc.modules().add("M");
  m.addCode("Option Explicit\r\nPrivate A");
  struct Case {
    const char* code;
    int number;
  };
  const Case cases[] = {
      {"Function F\r\nF=1\r\nEnd Function\r\nFunction G\r\nG=(1\r\nEnd Function", 1006},
      {"Function F\r\nF=1\r\nEnd Sub", 1015},
      {"Function F\r\nF=1\r\n", 1014},
      {"Function F\r\nDim X\r\nX=\r\nF=X\r\nEnd Function", 1023},
      {"Function F\r\nF=(E1)5\r\nEnd Function", 1025},
      {"Private B\r\nOption Explicit", 1002},
      {"Private A", 1041},
      {"Function A\r\nA=1\r\nEnd Function", 1041},
      {"Private F, F", 1041},
      {"Function F( X, X)\r\nF=1\r\nEnd Function", 1041},
      {"Function F\r\nIf 1 Then F=1\r\nEnd Function", 1002},
      {"Function F\r\nF=1\r\nEnd Function\r\nFunction F\r\nF=2\r\nEnd Function", 1041},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(errorOf([&] { m.addCode(QString::fromUtf8(c.code)); }), c.number) << c.code;
  }
  EXPECT_EQ(m.codeBlocks().size(), 1);
  EXPECT_EQ(errorOf([&] { m.eval("F"); }), 500);  // no F was added
  EXPECT_EQ(errorOf([&] { m.run("F"); }), 35);
}

TEST(ScriptControl, ProceduresTheirArgumentsAndTheirErrors) {
  ScriptControl sc;
  Module& m = sc.modules().add("M");
  m.addCode(
      "Private X\r\n"
      "Function Suma( A,B)\r\nSuma=A+B\r\nEnd Function\r\n"
      "Function Dos()\r\nDos=2\r\nEnd Function\r\n"
      "Sub Pon(A)\r\nA=5\r\nEnd Sub\r\n"
      "Sub PonValor(ByVal A)\r\nA=6\r\nEnd Sub\r\n"
      "Sub Cambia(P())\r\nP(2)=9\r\nEnd Sub\r\n"
      "Function Sin( N)\r\nSin=Sin(N+1)\r\nEnd Function\r\n"
      "Function Propio\r\nPropio=1\r\nPropio=Propio+1\r\nEnd Function");
  EXPECT_EQ(m.eval("Suma(1, Dos) * Dos()"), Variant(int16_t(6)));
  m.executeStatement("Pon X");
  EXPECT_EQ(m.eval("X"), Variant(int16_t(5)));
  m.executeStatement("PonValor X");
  EXPECT_EQ(m.eval("X"), Variant(int16_t(5)));
  m.executeStatement("Call Pon(X + 1)");  // an expression is passed as a copy
  EXPECT_EQ(m.eval("X"), Variant(int16_t(5)));
  EXPECT_EQ(m.eval("Propio"), Variant(int16_t(2)));  // its bare name reads its own value

  auto args = arrayArg({Variant(int16_t(1)), Variant(int16_t(2))});
  m.run("Cambia", args);  // the host's array is passed by reference
  EXPECT_EQ(args[0].arrayData()->items[1].variant(), Variant(int16_t(9)));

  std::vector<Value> one{Value(Variant(int16_t(1)))};
  EXPECT_EQ(errorOf([&] { m.run("Suma", one); }), 450);
  EXPECT_EQ(errorOf([&] { m.run("Nada", one); }), 35);
  EXPECT_EQ(errorOf([&] { m.eval("Dos(1)"); }), 450);
  EXPECT_EQ(errorOf([&] { m.eval("X(1)"); }), 13);
  EXPECT_EQ(errorOf([&] { m.executeStatement("Suma = 1"); }), 501);
  auto small = arrayArg({Variant(int16_t(1))});
  EXPECT_EQ(errorOf([&] { m.run("Cambia", small); }), 9);
  // An index that replaces the array it indexes.
  m.addCode("Private A\r\nFunction Quita\r\nA = 5\r\nQuita = 1\r\nEnd Function\r\n"
            "Sub Copia(P())\r\nA = P\r\nEnd Sub");
  m.run("Copia", args);
  EXPECT_EQ(errorOf([&] { m.eval("A(Quita)"); }), 13);
  m.run("Copia", args);
  EXPECT_EQ(errorOf([&] { m.executeStatement("A(Quita) = 3"); }), 13);
  // Runaway recursion ends in an error, and the engine stays usable.
  EXPECT_EQ(errorOf([&] { m.eval("Sin(1)"); }), 28);
  EXPECT_EQ(m.eval("Dos"), Variant(int16_t(2)));
}

TEST(ScriptControl, RememberedFunctionValuesFollowTheVariablesTheyRead) {
  ScriptControl sc;
  Module& m = sc.modules().add("M");
  m.addCode(
      "Private K, N, Otro\r\n"
      "Function G\r\nG=K*2\r\nEnd Function\r\n"
      "Function H\r\nN=N+1\r\nH=N\r\nEnd Function\r\n"
      "Sub Pon(A)\r\nA=7\r\nEnd Sub");
  m.executeStatement("K = 1");
  EXPECT_EQ(m.eval("G"), Variant(int16_t(2)));
  m.executeStatement("K = 5");
  EXPECT_EQ(m.eval("G"), Variant(int16_t(10)));
  m.executeStatement("Pon K");
  EXPECT_EQ(m.eval("G"), Variant(int16_t(14)));
  m.addCode("Function G\r\nG=K*3\r\nEnd Function");  // replaced by a later block
  EXPECT_EQ(m.eval("G"), Variant(int16_t(21)));
  // A function with a side effect runs every time.
  EXPECT_EQ(m.eval("H"), Variant(int16_t(1)));
  EXPECT_EQ(m.eval("H"), Variant(int16_t(2)));
  // Writing a variable no function reads keeps remembered values.
  EXPECT_EQ(m.eval("G"), Variant(int16_t(21)));
  const uint64_t before = sc.callCount();
  m.executeStatement("Otro = G");
  m.executeStatement("Otro = G");
  EXPECT_EQ(sc.callCount(), before);
}

TEST(ScriptControl, ARememberedValueNeverOutlivesAChangeMadeThroughAnArgument) {
  ScriptControl sc;
  Module& m = sc.modules().add("M");
  m.addCode(
      "Private A\r\n"
      "Function G()\r\nG=A(0)\r\nEnd Function\r\n"
      "Sub Pon(P)\r\nP(0)=9\r\nEnd Sub\r\n"
      "Sub PonEn(P)\r\nPon P\r\nEnd Sub\r\n"
      "Function Cambia(P)\r\nP(0)=9\r\nCambia=0\r\nEnd Function");
  struct Case {
    const char* statement;  // run after A = Array(1) and a first G, which remembers 1
    const char* expression;
    const char* expected;
  };
  const Case cases[] = {
      {"Pon A", "G", "9"},
      {"PonEn A", "G", "9"},
      {"Call Pon(A)", "G", "9"},
      {"X = Cambia(A)", "G", "9"},
      {"", "G & \"/\" & Cambia(A) & \"/\" & G", "1/0/9"},
      {"", "Cambia(A) & \"/\" & G & \"/\" & G", "0/9/9"},
  };
  for (const Case& c : cases) {
    m.executeStatement("A = Array(1)");
    EXPECT_EQ(m.eval("G"), Variant(int16_t(1)));
    if (*c.statement) m.executeStatement(c.statement);
    EXPECT_EQ(m.eval(c.expression).toString(), QString::fromUtf8(c.expected)) << c.statement << " | " << c.expression;
  }
}

TEST(ScriptControl, AFooterWhereEachRowReadsTheTwoAboveStaysLinear) {
  // Without remembering argument-less results this chain costs a Fibonacci number of calls.
  ScriptControl sc;
  Module& m = sc.modules().add("M");
  m.addCode("Function E1\r\nE1=1\r\nEnd Function");
  m.addCode("Function E2\r\nE2=1\r\nEnd Function");
  for (int k = 3; k <= 70; ++k)
    m.addCode(QString("Function E%1\r\nE%1=(E%2+E%3)*1\r\nEnd Function").arg(k).arg(k - 1).arg(k - 2));
  EXPECT_EQ(m.eval("E70"), Variant(190392490709135.0));
  EXPECT_LE(sc.callCount(), 70u);
}

TEST(ScriptControl, AnyTextEndsInAResultOrAnEngineError) {
  const QStringList pieces = {"Function", "Sub", "End", "Dim", "Private", "Option Explicit", "(", ")", ",",
                              "=", "+", "-", "*", "/", "\\", "^", "&", "Mod", "Not", "And", "\"x\"", "\"",
                              "1", "1E-05", ".5", "F", "X", "Round", "\r\n", ":", "'", "_", "#", "\t",
                              QString(QChar(0)), QString::fromUtf8("ñ"), "Parametros(1)", "Main"};
  QRandomGenerator rng(20240611);
  ScriptControl sc;
  Module& m = sc.modules().add("M");
  for (int i = 0; i < 3000; ++i) {
    QString text;
    const int n = rng.bounded(1, 12);
    for (int k = 0; k < n; ++k) text += pieces[rng.bounded(int(pieces.size()))] + (rng.bounded(2) ? " " : "");
    try {
      switch (i % 3) {
        case 0: m.addCode(text); break;
        case 1: m.executeStatement(text); break;
        default: m.eval(text); break;
      }
    } catch (const vb::Error& e) {
      EXPECT_GT(e.number(), 0);
      EXPECT_FALSE(e.description().isEmpty()) << e.number();
    }
  }
}

TEST(ScriptControl, AnArgumentInItsOwnBracketsGoesByValue) {
  ScriptControl sc;
  Module& m = sc.modules().add("M");
  m.addCode("Private N\r\nSub Inc(A)\r\nA = A + 1\r\nEnd Sub\r\n"
            "Function Sube(A)\r\nA = A + 1\r\nSube = A\r\nEnd Function");
  struct Case {
    const char* statement;
    int after;  // N, from 1
  };
  const Case cases[] = {
      {"Inc N", 2},           {"Inc (N)", 1},      {"Inc(N)", 1},  {"Call Inc(N)", 2},
      {"Call Inc((N))", 1},   {"Inc (N) + 1", 1},  {"X = Sube(N)", 2}, {"X = Sube((N))", 1},
      {"X = Sube(N) + Sube((N))", 2},
  };
  for (const Case& c : cases) {
    m.executeStatement("N = 1");
    m.executeStatement(c.statement);
    EXPECT_EQ(m.eval("N"), Variant(int16_t(c.after))) << c.statement;
  }
  // Brackets around a list of arguments without Call are VBScript's compile error.
  QString description;
  m.addCode("Sub Dos(A, B)\r\nA = B\r\nEnd Sub");
  EXPECT_EQ(errorOf([&] { m.executeStatement("Dos(N, 2)"); }, &description), 1044);
  EXPECT_EQ(description, "No se pueden usar paréntesis al llamar a un procedimiento Sub");
  m.executeStatement("Call Dos(N, 5)");
  EXPECT_EQ(m.eval("N"), Variant(int16_t(5)));
  // Only a built-in's optional arguments may be left out.
  EXPECT_EQ(errorOf([&] { m.eval("Sube(, 1)"); }), 450);
}

namespace {

// Functions whose work doubles at each level, reached through a user function named round, as a
// runaway function file makes them.
void addRunaway(Module& m, int levels) {
  m.addCode("Function F0(X)\r\nF0=X+1\r\nEnd Function");
  for (int k = 1; k <= levels; ++k)
    m.addCode(QString("Function F%1(X)\r\nF%1=F%2(X)+F%2(X)\r\nEnd Function").arg(k).arg(k - 1));
  m.addCode(QString("Function round( X,N)\r\nround=F%1(X)\r\nEnd Function").arg(levels));
}

// A module of 60 runaway levels in an engine whose bound is 200 000 steps.
Module& runawayModule(ScriptControl& sc) {
  sc.setWorkLimit(200000, 60000);
  Module& m = sc.modules().add("M");
  addRunaway(m, 60);
  return m;
}

}  // namespace

TEST(ScriptControl, EveryCallIntoTheEngineIsBoundedAndTheNextOneWorks) {
  ScriptControl sc;
  Module& m = runawayModule(sc);
  m.addCode("Private R\r\nSub Main(P())\r\nR = round(P(1), 2)\r\nEnd Sub");
  auto args = arrayArg({Variant(int16_t(1))});
  struct Case {
    const char* name;
    std::function<void()> call;
  };
  const Case cases[] = {
      {"Eval", [&] { m.eval("round((1)*1+ 0.0000001,2)"); }},
      {"ExecuteStatement", [&] { m.executeStatement("R = round(1, 2)"); }},
      {"Run", [&] { m.run("Main", args); }},
      {"AddCode", [&] { m.addCode("R = round(1, 2)"); }},
  };
  for (const Case& c : cases) {
    QString description;
    EXPECT_EQ(errorOf(c.call, &description), 18) << c.name;
    EXPECT_EQ(description, "Cálculo interrumpido: la evaluación excede el trabajo máximo permitido");
    EXPECT_EQ(m.eval("F10(1)"), Variant(int16_t(2048))) << c.name;  // the engine works on
  }
  // The bound is per call: calls that each stay under it never add up to it.
  const uint64_t before = sc.callCount();
  for (int i = 0; i < 20; ++i) EXPECT_EQ(m.eval("F12(0)"), Variant(int16_t(4096)));
  EXPECT_GT(sc.callCount() - before, 20 * 8000u);
  // Runaway recursion still ends in its own error.
  m.addCode("Function Sin( N)\r\nSin=Sin(N+1)\r\nEnd Function");
  EXPECT_EQ(errorOf([&] { m.eval("Sin(1)"); }), 28);
}

TEST(ScriptControl, ASharedWorkBoundHoldsForEveryCallTogether) {
  ScriptControl sc;
  Module& m = runawayModule(sc);
  m.addCode("Private X");
  sc.shareWorkBound();
  // Calls that each stay under the bound add up to it.
  int number = 0, calls = 0;
  while (number == 0 && calls < 100) {
    number = errorOf([&] { m.eval("F12(0)"); });
    ++calls;
  }
  EXPECT_EQ(number, 18);
  EXPECT_GT(calls, 1);
  // Once passed, every call that works ends the same way: module code and statements alike.
  EXPECT_EQ(errorOf([&] { m.executeStatement("X = 1"); }), 18);
  EXPECT_EQ(errorOf([&] { m.addCode("X = 2"); }), 18);
  // A new count starts afresh.
  sc.shareWorkBound();
  EXPECT_EQ(m.eval("F10(1)"), Variant(int16_t(2048)));
  // The clock counts the time inside the calls only: the host's pauses between them are not work.
  sc.setWorkLimit(UINT64_MAX, 150);
  sc.shareWorkBound();
  for (int i = 0; i < 4; ++i) {
    QThread::msleep(60);
    EXPECT_EQ(m.eval("F2(1)"), Variant(int16_t(8))) << i;
  }
}

TEST(ScriptControl, TheClockBoundsStepsThatCostMoreThanUsual) {
  ScriptControl sc;
  sc.setWorkLimit(UINT64_MAX, 50);
  Module& m = sc.modules().add("M");
  addRunaway(m, 60);
  EXPECT_EQ(errorOf([&] { m.eval("round(1, 2)"); }), 18);
}

TEST(ScriptControl, TextsAndArraysPastTheirBoundsAreErrorsNotCrashes) {
  ScriptControl sc;
  Module& m = sc.modules().add("M");
  // Each level doubles a text or an array.
  m.addCode("Function T0(X)\r\nT0=X\r\nEnd Function\r\nFunction A0(X)\r\nA0=X\r\nEnd Function\r\n"
            "Function Dos(S)\r\nDos=S & S\r\nEnd Function\r\nFunction Par(Y)\r\nPar=Array(Y, Y)\r\nEnd Function");
  for (int k = 1; k <= 40; ++k) {
    m.addCode(QString("Function T%1(X)\r\nT%1=Dos(T%2(X))\r\nEnd Function").arg(k).arg(k - 1));
    m.addCode(QString("Function A%1(X)\r\nA%1=Par(A%2(X))\r\nEnd Function").arg(k).arg(k - 1));
  }
  struct Case {
    const char* text;
    int number;
  };
  const Case cases[] = {
      {"Len(T40(\"abcd\"))", 14},
      {"String(16777217, \"a\")", 14},
      {"Space(2147483647)", 14},
      {"Len(Replace(Space(9000000), \" \", \"ab\"))", 14},
      {"UBound(A40(1))", 7},
      {"UBound(Split(Space(2000000)))", 7},
  };
  for (const Case& c : cases) {
    QString description;
    EXPECT_EQ(errorOf([&] { m.eval(c.text); }, &description), c.number) << c.text;
    EXPECT_FALSE(description.isEmpty());
  }
  EXPECT_EQ(m.eval("Len(T10(\"abcd\"))"), Variant(int32_t(4096)));
  EXPECT_EQ(m.eval("UBound(A10(1))"), Variant(int32_t(1)));
  // Element assignment counts too: an array that keeps taking in copies of itself.
  m.addCode("Private B\r\nSub Crece()\r\nB(0) = B\r\nB(1) = B\r\nEnd Sub");
  m.executeStatement("B = Array(1, 2)");
  int number = 0;
  for (int i = 0; i < 40 && number == 0; ++i) number = errorOf([&] { m.executeStatement("Crece"); });
  EXPECT_EQ(number, 7);
}

TEST(ScriptControl, BuiltinsAndOperatorsAreChargedByTheWorkTheyDo) {
  ScriptControl sc;
  Module& m = sc.modules().add("M");
  m.addCode("Private Vacios, Largos, S, T");
  m.executeStatement("Vacios = Split(String(999999, \",\"), \",\")");  // a million empty texts
  m.executeStatement("S = String(1000000, \"a\")");
  m.executeStatement("T = String(1000000, \"a\")");
  m.executeStatement("Largos = Array(S" + QString(", S").repeated(63) + ")");  // one text in 64 cells
  // Each case is one call whose arguments and result are small, and whose work is far past the bound.
  sc.setWorkLimit(200000, 3600000);
  const char* cases[] = {
      "UBound(Filter(Vacios, \"b\"))",
      "UBound(Filter(Largos, \"b\"))",
      "UBound(Filter(Largos, \"B\", False, vbTextCompare))",
      "Len(Join(Vacios, \"\"))",
      "S = T",
      "S < T",
      "S <> T Or False",
  };
  for (const char* c : cases) {
    QString description;
    EXPECT_EQ(errorOf([&] { m.eval(c); }, &description), 18) << c;
    EXPECT_EQ(description, "Cálculo interrumpido: la evaluación excede el trabajo máximo permitido") << c;
  }
  // Calls that do little on the same values stay well inside the bound.
  EXPECT_EQ(m.eval("UBound(Vacios) + UBound(Largos) + Len(Largos(3)) + Len(T)"), Variant(int32_t(2999999 + 63)));
  EXPECT_EQ(m.eval("Left(S, 2) & Right(T, 1) & Mid(S, 500000, 2) = \"aaaaa\""), Variant(true));
}

namespace {

// Functions F1 .. Fn, each holding what `held` builds while it calls the next one.
void addHoldingChain(Module& m, int n, const QString& held) {
  m.addCode(QString("Function F%1(X)\r\nF%1=X\r\nEnd Function").arg(n + 1));
  for (int k = n; k >= 1; --k)
    m.addCode(QString("Function F%1(X)\r\nF%1=UBound(Array(%2, F%3(X)))\r\nEnd Function").arg(k).arg(held).arg(k + 1));
}

}  // namespace

TEST(ScriptControl, WhatOneEvaluationHoldsIsBoundedAsAWhole) {
  struct Case {
    const char* name;
    QString held;  // by each of 20 nested calls: together far more than the bound
  };
  const Case cases[] = {
      {"arrays of 900 001 cells", "Split(String(900000, \",\"), \",\")"},
      {"distinct texts of 16M characters", "String(16000000, Chr(65 + X))"},
      {"arrays of arrays", "Array(Split(String(300000, \",\"), \",\"), Split(String(300000, \",\"), \",\"))"},
  };
  for (const Case& c : cases) {
    ScriptControl sc;
    Module& m = sc.modules().add("M");
    addHoldingChain(m, 20, c.held);
    QString description;
    EXPECT_EQ(errorOf([&] { m.eval("F1(1)"); }, &description), 7) << c.name;
    EXPECT_EQ(description, "Memoria insuficiente") << c.name;
    // What the failed call held is given back: the engine goes on, and a shorter chain fits.
    EXPECT_EQ(m.eval("F19(1)"), Variant(int32_t(1))) << c.name;
    EXPECT_EQ(m.eval("Len(Space(1000)) + UBound(Split(String(999, \",\"), \",\"))"), Variant(int32_t(1999)));
  }
}

namespace {

// A body joined by ":" into one line, with `n` variables of its own.
QString withVariables(int n, const std::function<QString(int)>& each, const QString& after) {
  QStringList names, parts{"0"};
  for (int i = 0; i < n; ++i) names << QString("a%1").arg(i);
  parts << "Dim " + names.join(",");
  if (each)
    for (int i = 0; i < n; ++i) parts << each(i);
  parts << after;
  return parts.join(" : ");
}

}  // namespace

TEST(ScriptControl, WhatTheFramesOfNestedCallsKeepCountsToTheBound) {
  // Each recursion would reach 1 000 calls deep (error 28) holding far more than the bound by then.
  QStringList params{"N", "S"};
  QStringList byValue{"R(N + 1, S"};
  for (int i = 0; i < 600; ++i) {
    params << QString("p%1").arg(i);
    byValue << QString("S & %1").arg(i);
  }
  struct Case {
    const char* name;
    QString function;
    QString call;
  };
  const QString call = "R(1, String(1000, 120))";
  const Case cases[] = {
      {"900 texts of 1 000 characters in its variables",
       "Function R(N, S)\r\nR = " + withVariables(900, [](int i) { return QString("a%1 = S & %1").arg(i); }, "R = R(N + 1, S)") +
           "\r\nEnd Function",
       call},
      {"30 000 variables", "Function R(N, S)\r\nR = " + withVariables(30000, {}, "R = R(N + 1, S)") + "\r\nEnd Function", call},
      {"600 texts of 1 000 characters given by value",
       "Function R(" + params.join(", ") + ")\r\nR = " + byValue.join(", ") + ")\r\nEnd Function",
       "R(1, String(1000, 120)" + QString(", 0").repeated(600) + ")"},
  };
  for (const Case& c : cases) {
    ScriptControl sc;
    Module& m = sc.modules().add("M");
    m.addCode(c.function);
    const uint64_t before = sc.memoryHeld();
    QString description;
    EXPECT_EQ(errorOf([&] { m.eval(c.call); }, &description), 7) << c.name;
    EXPECT_EQ(description, "Memoria insuficiente") << c.name;
    // What the calls held is given back, and the engine goes on.
    EXPECT_EQ(sc.memoryHeld(), before) << c.name;
    EXPECT_EQ(m.eval("Len(String(1000, 120) & 1)"), Variant(int32_t(1001))) << c.name;
  }
}

TEST(ScriptControl, CodeCountsWhatItHoldsParsedWhileItsModuleKeepsIt) {
  ScriptControl sc;
  Module& m = sc.modules().add("M");
  const uint64_t empty = sc.memoryHeld();
  auto chain = [](const char* name, int operators) {
    return QString("Function %1()\r\n%1 = 0").arg(name) + QString("+1").repeated(operators) + "\r\nEnd Function";
  };
  // A block too large to keep parsed is refused while it is split, and nothing of it stays.
  QString description;
  EXPECT_EQ(errorOf([&] { m.addCode(chain("Grande", 1000000)); }, &description), 7);
  EXPECT_EQ(description, "Memoria insuficiente");
  EXPECT_EQ(sc.memoryHeld(), empty);
  EXPECT_TRUE(m.codeBlocks().isEmpty());
  // One that fits counts while its module keeps it: the room it takes is not there for values.
  m.addCode(chain("Cien", 100000));
  EXPECT_EQ(m.eval("Cien()"), Variant(int32_t(100000)));
  const uint64_t code = sc.memoryHeld() - empty;
  EXPECT_GT(code, uint64_t(200000) * 128);
  sc.setMemoryLimit(code + (uint64_t(20) << 20));
  EXPECT_EQ(m.eval("Len(String(8000000, 97))"), Variant(int32_t(8000000)));
  EXPECT_EQ(errorOf([&] { m.eval("Len(String(12000000, 97))"); }), 7);
  // The host's own expressions are not code a module keeps.
  sc.setMemoryLimit(uint64_t(256) << 20);
  EXPECT_EQ(m.eval("0" + QString("+1").repeated(100000)), Variant(int32_t(100000)));
  EXPECT_EQ(sc.memoryHeld(), empty + code);
  // A reset gives the modules' code back.
  sc.reset();
  EXPECT_EQ(sc.memoryHeld(), empty);
}
