// Writes a synthetic bid for trying the program or the benchmark on a large file:
//   tornavo_sintetica <concepts> <file.mdb> [seed]
#include "build.h"
#include "synthetic.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  if (argc < 3 || argc > 4 || std::atoi(argv[1]) < 1) {
    std::fprintf(stderr, "usage: tornavo_sintetica <concepts> <file.mdb> [seed]\n");
    return 2;
  }
  bench::SyntheticBid options;
  options.concepts = std::atoi(argv[1]);
  if (argc == 4) options.seed = unsigned(std::strtoul(argv[3], nullptr, 10));
  return resources::runTool("tornavo_sintetica", [&] {
    const auto schema = resources::loadSchema(QStringLiteral(TORNAVO_SOURCE_DIR "/resources/TORNAVO.KOR.txt"));
    bench::writeSyntheticBid(QString::fromLocal8Bit(argv[2]), schema, options);
  });
}
