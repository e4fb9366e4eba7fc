#include "korgen.h"

#include "general.h"
#include "error_of.h"
#include "qt_print.h"
#include "quarvel.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

using vb::Currency;
using vb::Variant;

namespace {

Currency cur(const char* texto) { return vb::CCur(Variant(texto)); }

}  // namespace

TEST(KorGenRedondeo, CalculaRedondeoGivesTheUnitOfTheKeptDecimals) {
  struct Caso { Variant redondeo; int64_t unidad; };
  const Caso casos[] = {
      {Variant::null(), 10000}, {Variant(), 10000},        {Variant(int16_t{0}), 10000},
      {Variant(int16_t{1}), 1000}, {Variant(int16_t{2}), 100}, {Variant(int16_t{3}), 10},
      {Variant(int16_t{4}), 1},   {Variant(int16_t{-1}), 10000},
  };
  for (const Caso& c : casos) {
    quarvel::unidadRedondeo = Currency::fromInt(7);
    general::CalculaRedondeo(c.redondeo);
    EXPECT_EQ(quarvel::unidadRedondeo, Currency::fromInt(c.unidad)) << vb::CStr(c.redondeo).toStdString();
  }
}

TEST(KorGenRedondeo, RedondeaRoundsWithTheBidsDecimals) {
  struct Caso { Variant redondeo; double x; const char* esperado; };
  const Caso casos[] = {
      {Variant(int16_t{2}), 1234.565, "1234.57"},   // an exact half goes up
      {Variant(int16_t{2}), 0.125, "0.13"},
      {Variant(int16_t{2}), 1234.564, "1234.56"},
      {Variant(int16_t{2}), -0.125, "-0.12"},       // a negative half goes towards zero
      {Variant(int16_t{2}), -1234.566, "-1234.57"},
      {Variant(int16_t{2}), 123456789.125, "123456789.13"},
      {Variant(int16_t{0}), 2.5, "3"},
      {Variant(int16_t{0}), -2.5, "-2"},
      {Variant(int16_t{0}), 1234.4999, "1234"},
      {Variant::null(), 2.5, "3"},                  // no decimals when Redondeo is Null
      {Variant(int16_t{3}), 2.0005, "2.001"},
      {Variant(int16_t{4}), 1.23456, "1.2346"},
      {Variant(int16_t{4}), 0.00005, "0.0001"},
  };
  for (const Caso& c : casos) {
    general::CalculaRedondeo(c.redondeo);
    EXPECT_EQ(KorGen::Redondea(c.x), cur(c.esperado))
        << c.x << " with Redondeo " << vb::CStr(c.redondeo).toStdString();
  }
}

TEST(KorGenRedondeo, RedondeaFollowsTheUnitTheReportWindowSets) {
  general::CalculaRedondeo(Variant(int16_t{0}));
  EXPECT_EQ(KorGen::Redondea(10.456), cur("10"));
  quarvel::unidadRedondeo = Currency::fromInt(100);
  EXPECT_EQ(KorGen::Redondea(10.456), cur("10.46"));
}

TEST(KorGenRedondeo, RedondeaRefusesToRoundBeforeAnyUnitIsSet) {
  quarvel::unidadRedondeo = Currency();
  EXPECT_EQ(errorOf([] { KorGen::Redondea(1.5); }), 11);
}

TEST(KorGenRedondeo, RedondeaSuperiorGivesTheNextWholeNumber) {
  struct Caso { double x; const char* esperado; };
  const Caso casos[] = {
      {3.2, "4"},   {3.7, "4"},   {2.5, "3"},   {3, "3"},     {0, "0"},
      {-3.7, "-3"}, {-2.5, "-2"}, {0.0001, "1"}, {150000, "150000"}, {65536, "65536"},
      {1234567.0001, "1234568"},  {999999999999.0, "999999999999"},
  };
  for (const Caso& c : casos)
    EXPECT_EQ(KorGen::RedondeaSuperior(c.x), cur(c.esperado)) << c.x;
}

TEST(KorGenRedondeo, RedondeaEspecialKeepsTheGivenDecimals) {
  EXPECT_DOUBLE_EQ(KorGen::redondeaEspecial(1234.5678, 2), 1234.57);
  EXPECT_DOUBLE_EQ(KorGen::redondeaEspecial(1234.5678, 0), 1235);
  EXPECT_DOUBLE_EQ(KorGen::redondeaEspecial(-1234.5678, 1), -1234.6);
  EXPECT_DOUBLE_EQ(KorGen::redondeaEspecial(1.23456, 4), 1.2346);
}

TEST(KorGenConlet, SpanishAmountsLetterForLetter) {
  struct Caso { const char* importe; const char* esperado; };
  const Caso casos[] = {
      {"1000001", "(* UN  MILLON  UN  PESOS 0/100  M.N. *)"},
      {"1000000", "(* UN  MILLON DE  0 PESOS 0/100  M.N. *)"},
      {"1000000.5", "(* UN  MILLON  0 PESOS 50/100  M.N. *)"},
      {"1001000", "(* UN  MILLON  UN  MIL  0 PESOS 0/100  M.N. *)"},
      {"0.5", "(* 0 PESOS 50/100  M.N. *)"},
      {"0", "(* 0 PESOS 0/100  M.N. *)"},
      {"2000000", "(* DOS  MILLONES DE  0 PESOS 0/100  M.N. *)"},
      {"10000000", "(* DIEZ  MILLONES DE  0 PESOS 0/100  M.N. *)"},
      // "DE" only when every digit after the first is zero.
      {"12000000", "(* DOCE  MILLONES  0 PESOS 0/100  M.N. *)"},
      {"3000000000", "(* TRES  MIL  MILLONES DE  0 PESOS 0/100  M.N. *)"},
      {"2000", "(* DOS  MIL  0 PESOS 0/100  M.N. *)"},
      {"100", "(* CIEN  PESOS 0/100  M.N. *)"},
      {"101", "(* CIENTO UN  PESOS 0/100  M.N. *)"},
      {"115.05", "(* CIENTO QUINCE  PESOS 5/100  M.N. *)"},
      {"20", "(* VEINTE  PESOS 0/100  M.N. *)"},
      {"21", "(* VEINTIUN  PESOS 0/100  M.N. *)"},
      {"30", "(* TREINTA  PESOS 0/100  M.N. *)"},
      {"999", "(* NOVECIENTOS  NOVENTA  Y  NUEVE  PESOS 0/100  M.N. *)"},
      {"1234567.89",
       "(* UN  MILLON  DOSCIENTOS  TREINTA  Y  CUATRO  MIL  QUINIENTOS  SESENTA  Y  SIETE  PESOS 89/100  M.N. *)"},
      {"999999999999.99",
       "(* NOVECIENTOS  NOVENTA  Y  NUEVE  MIL  NOVECIENTOS  NOVENTA  Y  NUEVE  MILLONES  NOVECIENTOS  NOVENTA  Y  "
       "NUEVE  MIL  NOVECIENTOS  NOVENTA  Y  NUEVE  PESOS 99/100  M.N. *)"},
  };
  for (const Caso& c : casos)
    EXPECT_EQ(KorGen::Conlet(cur(c.importe), "E", "PESOS", "M.N."), QString::fromUtf8(c.esperado)) << c.importe;
  EXPECT_EQ(KorGen::Conlet(cur("2000"), "e", "PESOS", "M.N."), "(* DOS  MIL  0 PESOS 0/100  M.N. *)");
}

TEST(KorGenConlet, EnglishAmountsLetterForLetter) {
  struct Caso { const char* importe; const char* esperado; };
  const Caso casos[] = {
      {"2000", "(* TWO THOUSAND 0 DOLLARS 0/100  USD *)"},
      {"1000000", "(* ONE  MILLION OF  0 DOLLARS 0/100  USD *)"},
      {"1500000", "(* ONE  MILLION  FIVE  HUNDRED THOUSAND 0 DOLLARS 0/100  USD *)"},
      {"3000000000", "(* THREE  THOUSAND  MILLIONS OF  0 DOLLARS 0/100  USD *)"},
      {"121.25", "(* ONE  HUNDRED  TWENTY  ONE  DOLLARS 25/100  USD *)"},
      {"15", "(* FIFTEEN  DOLLARS 0/100  USD *)"},
      {"90", "(* NINETY  DOLLARS 0/100  USD *)"},
  };
  for (const Caso& c : casos)
    EXPECT_EQ(KorGen::Conlet(cur(c.importe), "I", "DOLLARS", "USD"), QString::fromUtf8(c.esperado)) << c.importe;
  // Group words are Spanish for "E" only, digit words English for "I" only.
  EXPECT_EQ(KorGen::Conlet(cur("2000"), "X", "PESOS", "M.N."), "(* DOS THOUSAND 0 PESOS 0/100  M.N. *)");
}

TEST(KorGenConlet, GroupsBeyondTheWordsAreAnErrorNotWrongWords) {
  EXPECT_EQ(KorGen::Conmil(0, "E"), "");
  EXPECT_EQ(errorOf([] { KorGen::Conmil(1000, "E"); }), 6);
  EXPECT_EQ(errorOf([] { KorGen::Conmili(1000); }), 6);
  EXPECT_EQ(errorOf([] { KorGen::Conlet(cur("1000000000000"), "E", "PESOS", "M.N."); }), 6);
}

TEST(KorGenValores, ValXGivesCurrencyOrZero) {
  struct Caso { Variant v; const char* esperado; };
  const Caso casos[] = {
      {Variant("12.5"), "12.5"}, {Variant(" 7 "), "7"},  {Variant(int16_t{3}), "3"},
      {Variant(1.23456), "1.2346"}, {Variant("abc"), "0"}, {Variant(""), "0"},
      {Variant::null(), "0"},    {Variant("1e300"), "0"},  // beyond Currency: not an error
  };
  for (const Caso& c : casos)
    EXPECT_EQ(KorGen::valX(c.v), cur(c.esperado)) << vb::CStr(c.v).toStdString();
}

TEST(KorGenValores, EsNuloRepTreatsErrorTextAsEmpty) {
  EXPECT_TRUE(KorGen::esNuloRep(Variant::null()));
  EXPECT_TRUE(KorGen::esNuloRep(Variant()));
  EXPECT_TRUE(KorGen::esNuloRep(Variant("")));
  EXPECT_TRUE(KorGen::esNuloRep(Variant("   ")));
  EXPECT_TRUE(KorGen::esNuloRep(Variant("#VALUE!")));
  EXPECT_FALSE(KorGen::esNuloRep(Variant("0")));
  EXPECT_FALSE(KorGen::esNuloRep(Variant(0.0)));
  EXPECT_FALSE(KorGen::esNuloRep(Variant("{precio}")));
}

TEST(KorGenArchivos, ExistenceTestsTellFoldersFromFiles) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString archivo = dir.filePath("obra.mdb");
  QFile f(archivo);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.close();
  const QString antes = QDir::currentPath();

  EXPECT_TRUE(KorGen::ExistePath(dir.path()));
  EXPECT_TRUE(KorGen::ExistePath(dir.path() + "/"));
  EXPECT_FALSE(KorGen::ExistePath(archivo));
  EXPECT_FALSE(KorGen::ExistePath(dir.filePath("falta")));
  EXPECT_FALSE(KorGen::ExistePath(""));
  EXPECT_FALSE(KorGen::ExistePath("C:\\Archivos de programa\\"));

  EXPECT_TRUE(KorGen::ExisteArchivo(archivo));  // an empty file has a length too
  EXPECT_FALSE(KorGen::ExisteArchivo(dir.path()));
  EXPECT_FALSE(KorGen::ExisteArchivo(dir.filePath("falta.mdb")));
  EXPECT_FALSE(KorGen::ExisteArchivo(""));

  EXPECT_EQ(QDir::currentPath(), antes);
}

TEST(KorGenImpresora, HayImpresoraAsksTheInstalledQuestion) {
  KorGen::setConsultaImpresora({});
  EXPECT_FALSE(KorGen::HayImpresora());
  KorGen::setConsultaImpresora([] { return true; });
  EXPECT_TRUE(KorGen::HayImpresora());
  KorGen::setConsultaImpresora([] { return false; });
  EXPECT_FALSE(KorGen::HayImpresora());
  KorGen::setConsultaImpresora([]() -> bool { throw std::runtime_error("sin cola de impresion"); });
  EXPECT_FALSE(KorGen::HayImpresora());
  KorGen::setConsultaImpresora({});
}

namespace {

// A sheet's drawing objects as the workbook layer gives them: ids in creation order, an error past the last.
struct HojaFalsa {
  std::vector<int32_t> ids;
  bool repite = false;  // a damaged sheet that keeps giving the same id
  int32_t objFirstId() const {
    if (ids.empty())
      throw vb::Error(20100, "No hay objeto");
    return ids.front();
  }
  int32_t objNextId(int32_t id) const {
    if (repite)
      return id;
    for (int32_t i : ids)
      if (i > id)
        return i;
    throw vb::Error(20100, "No hay objeto");
  }
};

}  // namespace

TEST(KorGenObjetos, UltimoObjetoWalksToTheLastId) {
  EXPECT_EQ(KorGen::UltimoObjeto(HojaFalsa{}), 0);
  EXPECT_EQ(KorGen::UltimoObjeto(HojaFalsa{{4}}), 4);
  EXPECT_EQ(KorGen::UltimoObjeto(HojaFalsa{{1, 2, 7, 9}}), 9);
  EXPECT_EQ(KorGen::UltimoObjeto(HojaFalsa{{3, 5}, true}), 3);
}
