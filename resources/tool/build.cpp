#include "build.h"

#include "dao.h"
#include "vbdate.h"

#include <QFile>
#include <cstdio>
#include <stdexcept>

namespace resources {

namespace {

vb::Variant dateValue(const QDate& d) { return vb::Variant::fromDate(d.year(), d.month(), d.day()); }

// A value of the sample's general data as the field's type wants it.
vb::Variant typedValue(const FieldDef& field, const QString& text) {
  auto bad = [&]() -> vb::Variant {
    throw std::runtime_error(QStringLiteral("DATO %1: \"%2\" does not suit the field").arg(field.name, text).toStdString());
  };
  bool ok = true;
  switch (field.type) {
    case FieldType::Text:
    case FieldType::Memo:
      if (field.type == FieldType::Text && text.size() > field.size) return bad();
      return vb::Variant(text);
    case FieldType::Boolean:
      if (text == QStringLiteral("Si") || text == QStringLiteral("Sí")) return vb::Variant(true);
      if (text == QStringLiteral("No")) return vb::Variant(false);
      return bad();
    case FieldType::Date: {
      const QDate d = QDate::fromString(text, Qt::ISODate);
      return d.isValid() ? dateValue(d) : bad();
    }
    case FieldType::Byte:
    case FieldType::Integer:
    case FieldType::Long: {
      const int v = text.toInt(&ok);
      return ok ? vb::Variant(int32_t(v)) : bad();
    }
    case FieldType::Currency:
    case FieldType::Single:
    case FieldType::Double: {
      const double v = text.toDouble(&ok);
      if (!ok) return bad();
      return field.type == FieldType::Currency ? vb::Variant(vb::Currency::fromDouble(v)) : vb::Variant(v);
    }
  }
  return bad();
}

void setFooterRow(dao::Recordset& rs, const SampleFooterRow& row) {
  rs.SetValue(QStringLiteral("Renglon"), int32_t(row.row));
  rs.SetValue(QStringLiteral("Texto"), row.text);
  for (int k = 0; k < 9; ++k) rs.SetValue(QStringLiteral("Renglon%1").arg(k + 1), int32_t(row.refs[k]));
  rs.SetValue(QStringLiteral("Operacion"), row.operation);
  rs.SetValue(QStringLiteral("Factor"), row.factor);
  rs.SetValue(QStringLiteral("Porcen"), row.percent.isEmpty() ? QStringLiteral(" ") : row.percent);
  rs.SetValue(QStringLiteral("RenglonFactor2"), 0.0);
  rs.SetValue(QStringLiteral("Total"), row.total);
  rs.SetValue(QStringLiteral("ImprimirRenglon"), true);
  rs.SetValue(QStringLiteral("ImprimirBase"), false);
  rs.SetValue(QStringLiteral("ImprimirRaya"), false);
  rs.SetValue(QStringLiteral("FactorDls"), 0.0);
}

}  // namespace

std::shared_ptr<dao::Database> createDatabase(const QString& path, const Schema& schema, const QString& connect) {
  auto db = dao::DBEngine::CreateDatabase(path, connect);
  for (const TableDef& t : schema.tables) {
    auto td = db->CreateTableDef(t.name);
    for (const FieldDef& f : t.fields) {
      auto field = td->CreateField(f.name, static_cast<dao::DataType>(f.type), f.size);
      field->SetRequired(f.required);
      if (f.type == FieldType::Text || f.type == FieldType::Memo) field->SetAllowZeroLength(f.allowZeroLength);
      if (!f.defaultValue.isEmpty()) field->SetDefaultValue(f.defaultValue);
      td->Fields().Append(field);
    }
    for (const IndexDef& ix : t.indexes) {
      auto index = td->CreateIndex(ix.name);
      index->SetPrimary(ix.primary);
      for (const QString& f : ix.fields) index->AppendField(f);
      td->Indexes().Append(index);
    }
    db->TableDefs().Append(td);
  }
  for (const RelationDef& r : schema.relations) {
    auto rel = db->CreateRelation(r.referredTable + r.table, r.referredTable, r.table);
    rel->AppendField(r.referredField, r.field);
    db->Relations().Append(rel);
  }
  for (const QueryDef& q : schema.queries) db->CreateQueryDef(q.name, q.sql);
  for (const QString& statement : schema.statements) db->Execute(statement);
  return db;
}

void writeSample(dao::Database& db, const Schema& schema, const SampleBid& bid) {
  const TableDef* general = schema.table(QStringLiteral("DatosGenerales"));
  if (!general) throw std::runtime_error("the schema has no DatosGenerales");
  {
    auto rs = db.OpenRecordset(QStringLiteral("DatosGenerales"));
    rs->MoveFirst();
    rs->Edit();
    for (const auto& [name, text] : bid.general) {
      const FieldDef* field = general->field(name);
      if (!field) throw std::runtime_error(QStringLiteral("DATO %1: no such field").arg(name).toStdString());
      rs->SetValue(field->name, typedValue(*field, text));
    }
    rs->Update();
  }
  {
    auto rs = db.OpenRecordset(QStringLiteral("Monedas"));
    for (const SampleCurrency& c : bid.currencies) {
      rs->AddNew();
      rs->SetValue(QStringLiteral("Moneda"), c.code);
      rs->SetValue(QStringLiteral("Texto"), c.text);
      rs->SetValue(QStringLiteral("Paridad"), c.parity);
      rs->SetValue(QStringLiteral("Remate"), c.closing);
      rs->Update();
    }
  }
  {
    auto rs = db.OpenRecordset(QStringLiteral("Partidas"));
    int order = 0;
    for (const SampleSection& s : bid.sections) {
      rs->AddNew();
      rs->SetValue(QStringLiteral("Partida"), s.code);
      rs->SetValue(QStringLiteral("Renglon"), int32_t(++order));
      rs->SetValue(QStringLiteral("Texto"), s.text);
      rs->Update();
    }
  }
  {
    const int decimals = bid.generalValue(QStringLiteral("Redondeo")).toInt();
    auto budget = db.OpenRecordset(QStringLiteral("Presupuesto"));
    auto schedule = db.OpenRecordset(QStringLiteral("Programa"));
    for (const SampleRow& row : expandSample(bid, decimals)) {
      budget->AddNew();
      budget->SetValue(QStringLiteral("Partida"), row.partida);
      budget->SetValue(QStringLiteral("Renglon"), int32_t(row.renglon));
      budget->SetValue(QStringLiteral("Codigo"), row.entry->code);
      budget->SetValue(QStringLiteral("Codemp"), QStringLiteral(" "));
      budget->SetValue(QStringLiteral("Texto"), row.entry->text);
      budget->SetValue(QStringLiteral("Descri"), row.entry->description);
      budget->SetValue(QStringLiteral("Unidad"), row.entry->unit);
      budget->SetValue(QStringLiteral("Cantidad"), row.quantity.toDouble());
      budget->SetValue(QStringLiteral("Precio"), row.entry->price);
      budget->SetValue(QStringLiteral("Importe"), row.amount);
      budget->SetValue(QStringLiteral("Moneda"), row.entry->currency);
      budget->SetValue(QStringLiteral("FechaIni"), dateValue(row.start));
      budget->SetValue(QStringLiteral("FechaFin"), dateValue(row.end));
      vb::Currency total;
      for (const auto& [period, volume] : row.schedule) {
        schedule->AddNew();
        schedule->SetValue(QStringLiteral("Partida"), row.partida);
        schedule->SetValue(QStringLiteral("Renglon"), int32_t(row.renglon));
        schedule->SetValue(QStringLiteral("Periodo"), int32_t(period));
        schedule->SetValue(QStringLiteral("Volumen"), volume);
        schedule->Update();
        total += volume;
      }
      budget->SetValue(QStringLiteral("TotalVol"), total);
      budget->Update();
    }
  }
  {
    auto footer = db.OpenRecordset(QStringLiteral("Pie"));
    auto header = db.OpenRecordset(QStringLiteral("CalCab"));
    auto formats = db.OpenRecordset(QStringLiteral("CalDet"));
    if (!bid.footer.empty()) {  // the base format "Num. 0" is the footer as the bid came
      header->AddNew();
      header->SetValue(QStringLiteral("Formato"), QStringLiteral("Num. 0"));
      header->SetValue(QStringLiteral("Descripcion"), QStringLiteral("Presupuesto Base"));
      header->Update();
    }
    for (const SampleFooterRow& row : bid.footer) {
      footer->AddNew();
      setFooterRow(*footer, row);
      footer->Update();
      formats->AddNew();
      formats->SetValue(QStringLiteral("Formato"), QStringLiteral("Num. 0"));
      setFooterRow(*formats, row);
      formats->Update();
    }
  }
}

void writeFile(const QString& path, const Schema& schema, const std::function<void(dao::Database&)>& fill,
               const QString& connect) {
  const QString temporary = path + QStringLiteral(".nuevo");
  QFile::remove(temporary);
  try {
    auto db = createDatabase(temporary, schema, connect);
    if (fill) fill(*db);
    db->Close();
  } catch (...) {
    QFile::remove(temporary);
    throw;
  }
  QFile::remove(path);
  if (!QFile::rename(temporary, path))
    throw std::runtime_error(QStringLiteral("cannot write %1").arg(path).toStdString());
}

int runTool(const char* program, const std::function<void()>& work) {
  try {
    work();
    return 0;
  } catch (const vb::Error& e) {
    std::fprintf(stderr, "%s: error %d %s\n", program, e.number(), e.description().toUtf8().constData());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s: %s\n", program, e.what());
  }
  return 1;
}

}  // namespace resources
