// A second process for the exclusive-open tests: opens a database and prints the error number (0 when it opened).
//   dao_open_helper <path> <exclusive 0|1> <connect> [global]
// With "global", the database and a recordset are kept in globals, with an edit not yet committed, and
// left to the end of the process: a program whose handles outlive main().
#include "dao.h"

#include <cstdio>
#include <cstring>

std::shared_ptr<dao::Database> g_db;
std::shared_ptr<dao::Recordset> g_rs;

int main(int argc, char** argv) {
  if (argc < 4) return 2;
  try {
    auto db = dao::DBEngine::OpenDatabase(QString::fromLocal8Bit(argv[1]), argv[2][0] == '1', false,
                                          QString::fromLocal8Bit(argv[3]));
    auto rs = db->OpenRecordset("SELECT * FROM Monedas");
    std::printf("0 %lld\n", static_cast<long long>(rs->RecordCount()));
    if (argc > 4 && std::strcmp(argv[4], "global") == 0) {
      db->Execute("UPDATE Monedas SET Texto = 'Al final' WHERE Moneda = 'DOLARES'");
      g_db = db;
      g_rs = rs;
    }
  } catch (const vb::Error& e) {
    std::printf("%d\n", e.number());
  }
  return 0;
}
