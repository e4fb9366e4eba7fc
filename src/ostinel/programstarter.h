#pragma once
// Starting another program without waiting for it. The registration utility starts the system's
// control registrar through it; tests put a recording one in place.
#include <QString>
#include <QStringList>

class ProgramStarter {
public:
  virtual ~ProgramStarter() = default;
  // Starts `program` (looked up on the PATH) with `arguments`, each passed as one argument, and
  // returns at once. A program that cannot be started raises vb::Error 53.
  virtual void start(const QString& program, const QStringList& arguments) = 0;
};

class QtProgramStarter : public ProgramStarter {
public:
  void start(const QString& program, const QStringList& arguments) override;
};
