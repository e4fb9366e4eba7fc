// Writes a synthetic bid for trying the program or the benchmark on a large file:
//   tornavo_sintetica <concepts> <file.mdb> [seed]
#include "synthetic.h"

#include "error.h"

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
  try {
    const auto schema = resources::loadSchema(QStringLiteral(TORNAVO_SOURCE_DIR "/resources/TORNAVO.KOR.txt"));
    bench::writeSyntheticBid(QString::fromLocal8Bit(argv[2]), schema, options);
  } catch (const vb::Error& e) {
    std::fprintf(stderr, "tornavo_sintetica: error %d %s\n", e.number(), e.description().toUtf8().constData());
    return 1;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tornavo_sintetica: %s\n", e.what());
    return 1;
  }
  return 0;
}
