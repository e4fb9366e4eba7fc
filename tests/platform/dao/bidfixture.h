#pragma once
// A small bid database built through the layer's own API, as the template generator does.
#include "dao.h"
#include "error_of.h"

#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

namespace daotest {

inline const QString kConnect = QStringLiteral(";pwd=ZARVUMEK");

struct FieldSpec {
  const char* name;
  dao::DataType type;
  int size = 0;
  bool required = false;
  bool allowZeroLength = false;
  const char* defaultValue = nullptr;
};

void addTable(dao::Database& db, const QString& name, std::initializer_list<FieldSpec> fields, const QStringList& pk);
// The bid tables with a few rows, the saved queries and the Monedas relation.
std::shared_ptr<dao::Database> createBid(const QString& path);

class BidTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    path = dir.filePath("obra.mdb");
    db = createBid(path);
  }
  QTemporaryDir dir;
  QString path;
  std::shared_ptr<dao::Database> db;
};

}  // namespace daotest
