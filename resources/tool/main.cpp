// Generates the program's database files from their text in resources/:
//   tornavo_resources <resources folder> <program folder>
// writes TORNAVO.KOR (template bid), paratorn.kor (library database) and Ejemplo.mdb (sample bid).
#include "build.h"

#include <QDir>
#include <cstdio>
#include <stdexcept>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: tornavo_resources <resources folder> <program folder>\n");
    return 2;
  }
  const QDir in(QString::fromLocal8Bit(argv[1]));
  const QDir out(QString::fromLocal8Bit(argv[2]));
  return resources::runTool("tornavo_resources", [&] {
    if (!out.exists() && !QDir().mkpath(out.path()))
      throw std::runtime_error(QStringLiteral("cannot create %1").arg(out.path()).toStdString());
    const resources::Schema bid = resources::loadSchema(in.filePath(QStringLiteral("TORNAVO.KOR.txt")));
    const resources::Schema library = resources::loadSchema(in.filePath(QStringLiteral("paratorn.kor.txt")));
    const QString samplePath = in.filePath(QStringLiteral("Ejemplo.txt"));
    const resources::SampleBid sample = resources::parseSample(resources::readTextFile(samplePath), samplePath);

    resources::writeFile(out.filePath(QStringLiteral("TORNAVO.KOR")), bid);
    resources::writeFile(out.filePath(QStringLiteral("paratorn.kor")), library);
    resources::writeFile(out.filePath(QStringLiteral("Ejemplo.mdb")), bid,
                         [&](dao::Database& db) { resources::writeSample(db, bid, sample); });
  });
}
