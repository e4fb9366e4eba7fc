// Another program holding a database open, for the tests of files in use:
//   retiene_obra <path> <exclusive 0|1> <connect>
// prints "0" once the file is open (or the error number) and keeps it open until its input closes.
#include "dao.h"

#include <cstdio>
#include <iostream>
#include <string>

int main(int argc, char** argv) {
  if (argc < 4)
    return 2;
  std::shared_ptr<dao::Database> db;
  try {
    db = dao::DBEngine::OpenDatabase(QString::fromLocal8Bit(argv[1]), argv[2][0] == '1', false,
                                     QString::fromLocal8Bit(argv[3]));
    std::printf("0\n");
  } catch (const vb::Error& e) {
    std::printf("%d\n", e.number());
  }
  std::fflush(stdout);
  std::string linea;
  std::getline(std::cin, linea);
  return 0;
}
