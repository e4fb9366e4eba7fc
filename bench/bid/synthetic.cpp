#include "synthetic.h"

#include "build.h"
#include "dao.h"
#include "sample.h"

#include <QDate>
#include <random>

namespace bench {

namespace {

const char* const kUnits[] = {"m2", "m3", "ml", "pza", "kg", "lote", "jor", "salida", "m3-km", "ton"};
const char* const kWords[] = {"Suministro", "y", "colocación", "de", "concreto", "acero", "muro", "firme",
                              "aplanado", "pintura", "excavación", "relleno", "cimbra", "tubería", "salida",
                              "eléctrica", "incluye", "materiales", "mano", "obra", "herramienta", "equipo",
                              "acarreos", "desperdicios", "limpieza", "a", "base", "cemento", "arena", "block"};

QString words(std::mt19937& rng, int count) {
  QStringList w;
  std::uniform_int_distribution<int> pick(0, int(std::size(kWords)) - 1);
  for (int i = 0; i < count; ++i) w << QString::fromUtf8(kWords[pick(rng)]);
  QString text = w.join(QLatin1Char(' '));
  text[0] = text[0].toUpper();
  return text;
}

vb::Variant date(const QDate& d) { return vb::Variant::fromDate(d.year(), d.month(), d.day()); }

QStringList syntheticCodes(const SyntheticBid& o) {
  QStringList codes;
  const int count = std::max(1, o.concepts / std::max(1, o.rowsPerCode));
  for (int i = 1; i <= count; ++i) codes << QStringLiteral("C%1").arg(i, 6, 10, QLatin1Char('0'));
  return codes;
}

}  // namespace

void writeSyntheticBid(const QString& path, const resources::Schema& schema, const SyntheticBid& o) {
  resources::writeFile(path, schema, [&](dao::Database& db) {
    std::mt19937 rng(o.seed);
    const int periods = std::max(1, o.periods);
    const QDate month0(2025, 1, 1);
    const QDate start(2025, 1, 6), end = month0.addMonths(periods).addDays(-13);
    {
      auto g = db.OpenRecordset(QStringLiteral("DatosGenerales"));
      g->MoveFirst();
      g->Edit();
      g->SetValue(QStringLiteral("NombreObra"), QStringLiteral("OBRA SINTÉTICA DE %1 CONCEPTOS").arg(o.concepts));
      g->SetValue(QStringLiteral("NombreEmpresa"), QStringLiteral("CONSTRUCTORA DE PRUEBA, S.A. DE C.V."));
      g->SetValue(QStringLiteral("responsable"), QStringLiteral("ING. RESPONSABLE"));
      g->SetValue(QStringLiteral("cargo"), QStringLiteral("ADMINISTRADOR ÚNICO"));
      g->SetValue(QStringLiteral("FechaInicioProy"), date(start));
      g->SetValue(QStringLiteral("FechaFinalProy"), date(end));
      g->SetValue(QStringLiteral("FechaTope"), date(end.addDays(10)));
      g->SetValue(QStringLiteral("Periodos"), int32_t(periods));
      g->SetValue(QStringLiteral("nivel1"), int32_t(1));
      g->SetValue(QStringLiteral("nivel2"), int32_t(2));
      g->SetValue(QStringLiteral("nivel3"), int32_t(3));
      g->Update();
    }
    {
      auto m = db.OpenRecordset(QStringLiteral("Monedas"));
      for (const auto& [code, parity, closing] : {std::tuple{"PESOS", 1.0, "M.N."}, {"DOLARES", 17.25, "USD"}}) {
        m->AddNew();
        m->SetValue(QStringLiteral("Moneda"), QString::fromLatin1(code));
        m->SetValue(QStringLiteral("Texto"), QString::fromLatin1(code));
        m->SetValue(QStringLiteral("Paridad"), parity);
        m->SetValue(QStringLiteral("Remate"), QString::fromLatin1(closing));
        m->Update();
      }
    }
    // Codes with a fixed price, unit and text each; every tenth is priced in dollars.
    const QStringList codes = syntheticCodes(o);
    struct Code { vb::Currency price; QString unit, text, descri; };
    std::vector<Code> catalogue;
    std::uniform_int_distribution<int64_t> cents(1000, 500000);
    for (int i = 0; i < codes.size(); ++i) {
      Code c;
      c.price = vb::Currency::fromScaled(cents(rng) * 100);
      c.unit = QString::fromLatin1(kUnits[i % std::size(kUnits)]);
      c.text = words(rng, 8);
      c.descri = i % 3 == 0 ? words(rng, 60) : QStringLiteral(" ");
      catalogue.push_back(c);
    }
    // Sections: 20 second-level sections under each first-level letter, 20 leaves under each.
    const int leaves = (o.concepts + o.conceptsPerSection - 1) / o.conceptsPerSection;
    auto partidas = db.OpenRecordset(QStringLiteral("Partidas"));
    auto budget = db.OpenRecordset(QStringLiteral("Presupuesto"));
    auto schedule = db.OpenRecordset(QStringLiteral("Programa"));
    int order = 0;
    auto addSection = [&](const QString& code, const QString& text) {
      partidas->AddNew();
      partidas->SetValue(QStringLiteral("Partida"), code);
      partidas->SetValue(QStringLiteral("Renglon"), int32_t(++order));
      partidas->SetValue(QStringLiteral("Texto"), text);
      partidas->Update();
    };
    std::uniform_int_distribution<int> pickCode(0, int(codes.size()) - 1);
    std::uniform_int_distribution<int64_t> quantity(100, 100000);  // 1.00 to 1 000.00
    std::uniform_int_distribution<int> firstPeriod(1, periods), length(1, 4);
    int written = 0;
    for (int leaf = 0; leaf < leaves; ++leaf) {
      const QString level1 = QString(QChar(u'A' + leaf / 400));
      const QString level2 = level1 + QStringLiteral("%1").arg(leaf / 20 % 20 + 1, 2, 10, QLatin1Char('0'));
      const QString level3 = level2 + QStringLiteral("%1").arg(leaf % 20 + 1, 3, 10, QLatin1Char('0'));
      if (leaf % 400 == 0) addSection(level1, QStringLiteral("OBRA ") + level1);
      if (leaf % 20 == 0) addSection(level2, QStringLiteral("EDIFICIO ") + level2);
      addSection(level3, words(rng, 3).toUpper());
      for (int r = 1; r <= o.conceptsPerSection && written < o.concepts; ++r, ++written) {
        const int k = pickCode(rng);
        const Code& c = catalogue[size_t(k)];
        const vb::Currency q = vb::Currency::fromScaled(quantity(rng) * 100);
        const int p0 = firstPeriod(rng), p1 = std::min(periods, p0 + length(rng) - 1);
        budget->AddNew();
        budget->SetValue(QStringLiteral("Partida"), level3);
        budget->SetValue(QStringLiteral("Renglon"), int32_t(r));
        budget->SetValue(QStringLiteral("Codigo"), codes[k]);
        budget->SetValue(QStringLiteral("Texto"), c.text);
        budget->SetValue(QStringLiteral("Descri"), c.descri);
        budget->SetValue(QStringLiteral("Unidad"), c.unit);
        budget->SetValue(QStringLiteral("Cantidad"), q.toDouble());
        budget->SetValue(QStringLiteral("Precio"), c.price);
        budget->SetValue(QStringLiteral("Importe"), resources::roundAmount(c.price * q, 2));
        budget->SetValue(QStringLiteral("Moneda"), k % 10 == 9 ? QStringLiteral("DOLARES") : QStringLiteral("PESOS"));
        budget->SetValue(QStringLiteral("FechaIni"), date(std::max(start, month0.addMonths(p0 - 1))));
        budget->SetValue(QStringLiteral("FechaFin"), date(std::min(end, month0.addMonths(p1).addDays(-1))));
        budget->SetValue(QStringLiteral("TotalVol"), q);
        budget->Update();
        const auto volumes = resources::spread(q, p1 - p0 + 1, 2);
        for (int p = p0; p <= p1; ++p) {
          if (volumes[size_t(p - p0)].scaled() == 0) continue;
          schedule->AddNew();
          schedule->SetValue(QStringLiteral("Partida"), level3);
          schedule->SetValue(QStringLiteral("Renglon"), int32_t(r));
          schedule->SetValue(QStringLiteral("Periodo"), int32_t(p));
          schedule->SetValue(QStringLiteral("Volumen"), volumes[size_t(p - p0)]);
          schedule->Update();
        }
      }
    }
  });
}

}  // namespace bench
