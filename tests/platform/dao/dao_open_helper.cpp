// A second process for the exclusive-open tests: opens a database and prints the error number (0 when it opened).
//   dao_open_helper <path> <exclusive 0|1> <connect>
#include "dao.h"

#include <cstdio>

int main(int argc, char** argv) {
  if (argc < 4) return 2;
  try {
    auto db = dao::DBEngine::OpenDatabase(QString::fromLocal8Bit(argv[1]), argv[2][0] == '1', false,
                                          QString::fromLocal8Bit(argv[3]));
    auto rs = db->OpenRecordset("SELECT * FROM Monedas");
    std::printf("0 %lld\n", static_cast<long long>(rs->RecordCount()));
  } catch (const vb::Error& e) {
    std::printf("%d\n", e.number());
  }
  return 0;
}
