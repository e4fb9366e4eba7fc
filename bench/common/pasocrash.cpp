#include "pasocrash.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QProcess>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <thread>

namespace bench {

ui::VbMsgBoxResult RespuestasSi::show(const ui::MsgBoxRequest& r) {
  std::fprintf(stderr, "caja: %s\n", qPrintable(r.prompt));
  switch (r.buttonSet()) {
    case ui::vbYesNo:
    case ui::vbYesNoCancel: return ui::vbYes;
    case ui::vbAbortRetryIgnore: return ui::vbAbort;
    case ui::vbRetryCancel: return ui::vbCancel;
    default: return ui::vbOK;
  }
}

Paso correPaso(const QString& programa, const QStringList& args, const QString& casa,
               std::optional<double> matarTras) {
  QProcess p;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  env.insert(QStringLiteral("HOME"), casa);
  env.insert(QStringLiteral("XDG_CONFIG_HOME"), casa + QStringLiteral("/.config"));
  env.insert(QStringLiteral("XDG_RUNTIME_DIR"), casa);
  QDir().mkpath(casa);
  p.setProcessEnvironment(env);
  p.start(QCoreApplication::applicationDirPath() + u'/' + programa, args);
  Paso paso;
  if (!p.waitForStarted(30000)) {
    paso.error = QStringLiteral("the program does not start");
    return paso;
  }
  QByteArray salida;
  while (!salida.contains("go\n")) {
    if (!p.waitForReadyRead(120000)) {
      p.kill();
      p.waitForFinished();
      paso.error = QStringLiteral("no start of the command: ") + QString::fromLocal8Bit(p.readAllStandardError());
      return paso;
    }
    salida += p.readAllStandardOutput();
  }
  paso.empezado = true;
  if (matarTras) {
    std::this_thread::sleep_for(std::chrono::microseconds(qint64(*matarTras * 1000)));
    ::kill(pid_t(p.processId()), SIGKILL);
  }
  p.waitForFinished(300000);
  salida += p.readAllStandardOutput();
  const int fin = salida.indexOf("fin ");
  paso.terminado = fin >= 0;
  if (paso.terminado) paso.ms = salida.mid(fin + 4).trimmed().toDouble();
  if (!matarTras && (!paso.terminado || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0))
    paso.error = QStringLiteral("the command failed: ") + QString::fromLocal8Bit(p.readAllStandardError());
  return paso;
}

std::optional<Opciones> leeOpciones(const QStringList& args, const char* uso) {
  Opciones o;
  o.semilla = quint32(QDateTime::currentMSecsSinceEpoch());
  for (int i = 1; i < args.size(); ++i) {
    const QString valor = i + 1 < args.size() ? args[i + 1] : QString();
    if (args[i] == QLatin1String("--runs")) o.corridas = valor.toInt(), ++i;
    else if (args[i] == QLatin1String("--concepts")) o.conceptos = valor.toInt(), ++i;
    else if (args[i] == QLatin1String("--seed")) o.semilla = valor.toUInt(), ++i;
    else if (args[i] == QLatin1String("--only")) o.solo = valor, ++i;
    else if (args[i] == QLatin1String("--keep")) o.guarda = valor, ++i;
    else {
      std::fprintf(stderr, "usage: %s\n", uso);
      return std::nullopt;
    }
  }
  return o;
}

}  // namespace bench
