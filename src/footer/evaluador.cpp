// The evaluator: the script module built from its collections, Calcular, and the function file.
#include "evaluador.h"

#include "database.h"
#include "errors.h"
#include "files.h"
#include "scriptcontrol.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace footer {

const QString Evaluador::ArchivoFunciones = QStringLiteral("ANALIZEM.FUN");
const QString Evaluador::EncabezadoFunciones =
    QStringLiteral("Por favor no modifique manualmente este archivo./Please don't modify this file by hand.");

namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QString kModulo = QStringLiteral("Quarvel");

// Far more than any function file needs: the engine could not keep the code of a much larger one,
// and reading it whole would take many times its size.
constexpr qint64 kMaxArchivoFunciones = qint64(16) << 20;

// A local variable's value as it goes into the code: texts as they stand, numbers with ".".
// No value gives nothing after "=", which the engine rejects.
QString textoDeValor(const vb::Variant& v) {
  if (v.isNull() || v.isEmpty()) return QString();
  return v.toString();
}

// The fields of a file written record by record: a quoted field runs to the next quote, any other
// to the next comma or line end; blanks before a field are skipped.
class LectorCampos {
public:
  explicit LectorCampos(QString texto) : s_(std::move(texto)) {}

  void saltaLinea() {
    while (i_ < s_.size() && s_[i_] != u'\r' && s_[i_] != u'\n') ++i_;
    finDeLinea();
  }

  // Nothing but blank lines left.
  bool alFinal() const {
    for (qsizetype j = i_; j < s_.size(); ++j)
      if (s_[j] != u' ' && s_[j] != u'\t' && s_[j] != u'\r' && s_[j] != u'\n') return false;
    return true;
  }

  QString campo() {
    while (i_ < s_.size() && (s_[i_] == u' ' || s_[i_] == u'\t')) ++i_;
    if (i_ >= s_.size()) throw vb::Error(62, QStringLiteral("La entrada pasó del final del archivo"));
    QString v;
    if (s_[i_] == u'"') {
      const qsizetype cierre = s_.indexOf(u'"', i_ + 1);
      const qsizetype fin = cierre < 0 ? s_.size() : cierre;
      v = s_.mid(i_ + 1, fin - i_ - 1);
      i_ = cierre < 0 ? s_.size() : cierre + 1;
      while (i_ < s_.size() && (s_[i_] == u' ' || s_[i_] == u'\t')) ++i_;
    } else {
      const qsizetype inicio = i_;
      while (i_ < s_.size() && s_[i_] != u',' && s_[i_] != u'\r' && s_[i_] != u'\n') ++i_;
      v = s_.mid(inicio, i_ - inicio).trimmed();
    }
    if (i_ < s_.size() && s_[i_] == u',') ++i_;
    else finDeLinea();
    return v;
  }

private:
  void finDeLinea() {
    if (i_ < s_.size() && s_[i_] == u'\r') ++i_;
    if (i_ < s_.size() && s_[i_] == u'\n') ++i_;
  }

  QString s_;
  qsizetype i_ = 0;
};

// The whole file, up to kMaxArchivoFunciones bytes: past them error 7, before it takes more memory,
// also for a file whose size the system does not tell and that never ends (some of /proc).
QByteArray leeHastaElTope(QFile& archivo) {
  QByteArray bytes;
  char trozo[1 << 16];
  for (;;) {
    const qint64 n = archivo.read(trozo, sizeof trozo);
    if (n <= 0) return bytes;
    if (bytes.size() + n > kMaxArchivoFunciones) script::raise(script::errOutOfMemory);
    bytes.append(trozo, n);
  }
}

QString textoDelArchivo(const QByteArray& bytes) {
  QStringDecoder utf8(QStringDecoder::Utf8);
  QString texto = utf8.decode(bytes);
  if (utf8.hasError()) texto = QString::fromLatin1(bytes);  // a file written in Latin-1
  return texto;
}

}  // namespace

std::shared_ptr<Evaluador> Evaluador::crear(const QString& carpetaPrograma) {
  auto ev = std::make_shared<Evaluador>(Llave{}, carpetaPrograma);
  ev->cargaFunciones();
  ev->creado_ = true;
  return ev;
}

Evaluador::Evaluador(Llave, const QString& carpetaPrograma)
    : motor_(std::make_unique<script::ScriptControl>()), carpeta_(carpetaPrograma) {
  setResultado(vb::Variant());
  nombre_ = QStringLiteral("Evaluador");
  motor_->setLanguage(QStringLiteral("VBScript"));
  // An evaluator serves one evaluation: the module's build and every formula of it share one bound.
  motor_->shareWorkBound();
}

Evaluador::~Evaluador() {
  if (creado_ && funciones_ && funciones_->Count() >= 1) {
    try {
      grabaFunciones();
    } catch (...) {
      // An evaluator that cannot write its file ends anyway; the old file stays whole (files.h).
    }
  }
  funciones_.reset();
  variables_.reset();
  expresiones_.reset();
  motor_.reset();
}

int16_t Evaluador::CuantosModulos() const { return int16_t(motor_->modules().count()); }

void Evaluador::Restaurar() {
  motor_->reset();
  motor_->setLanguage(QStringLiteral("VBScript"));
  motor_->addCode(QStringLiteral("Option Explicit"));
}

void Evaluador::setResultado(const vb::Variant& r) {
  resultado_ = r;
  calculado_ = false;
}

std::shared_ptr<Funciones> Evaluador::Funciones() {
  if (!funciones_) {
    funciones_ = std::make_shared<footer::Funciones>();
    funciones_->setParent(std::static_pointer_cast<Evaluador>(shared_from_this()));
  }
  return funciones_;
}

std::shared_ptr<Variables> Evaluador::Variables() {
  if (!variables_) {
    variables_ = std::make_shared<footer::Variables>();
    variables_->setParent(shared_from_this());
  }
  return variables_;
}

std::shared_ptr<Expresiones> Evaluador::Expresiones() {
  if (!expresiones_) {
    expresiones_ = std::make_shared<footer::Expresiones>();
    expresiones_->setParent(std::static_pointer_cast<Evaluador>(shared_from_this()));
  }
  return expresiones_;
}

bool Evaluador::GeneraModulo() {
  nErr_ = 0;
  dErr_.clear();
  if (calculado_) return true;
  Restaurar();
  script::Module& modulo = motor_->modules().add(kModulo);

  QString pieza = QStringLiteral("Option Explicit") + kCrLf;
  for (const auto& v : *Variables()) pieza += QStringLiteral("Private ") + v->Nombre() + kCrLf;
  pieza += QStringLiteral("Private Resultado") + kCrLf;
  modulo.addCode(pieza);

  pieza = QStringLiteral("Sub Main(Parametros())") + kCrLf;
  int i = 0;
  for (const auto& v : *Variables())
    pieza += v->Nombre() + QStringLiteral("=Parametros(") + QString::number(++i) + u')' + kCrLf;
  const std::shared_ptr<Expresion> ultima = Expresiones()->Item(Expresiones()->Count());
  if (!ultima) script::raise(script::errObjectNotSet);
  pieza += QStringLiteral("Resultado=") + ultima->Nombre() + kCrLf + QStringLiteral("End Sub");
  modulo.addCode(pieza);

  for (const auto& f : *Funciones()) {
    pieza = QStringLiteral("Function ") + f->Nombre() + QStringLiteral("( ");
    for (const auto& p : *f->Parametros()) pieza += p->Nombre() + u',';
    pieza.chop(1);
    pieza += u')' + kCrLf + f->Nombre() + u'=' + f->Valor() + kCrLf + QStringLiteral("End Function");
    modulo.addCode(pieza);
  }

  bool listo = true;
  for (const auto& e : *Expresiones()) {
    pieza = QStringLiteral("Function ") + e->Nombre() + kCrLf;
    for (const auto& v : *e->Variables()) pieza += QStringLiteral("Dim ") + v->Nombre() + kCrLf;
    for (const auto& v : *e->Variables()) pieza += v->Nombre() + u'=' + textoDeValor(v->Valor()) + kCrLf;
    pieza += e->Nombre() + u'=' + textoDeValor(e->Valor()) + kCrLf + QStringLiteral("End Function");
    try {
      modulo.addCode(pieza);
    } catch (const vb::Error& err) {
      nErr_ = err.number();
      dErr_ = err.description();
      listo = false;
    }
  }
  return listo;
}

vb::Variant Evaluador::Calcular(const QString& formula) {
  std::vector<script::Value> argumentos{script::Value::array(1, {script::Value()})};
  QString objetivo = QStringLiteral("Main");
  if (!formula.isEmpty()) {
    if (!Expresiones()->EnColeccion(formula)) {
      Restaurar();
      const std::shared_ptr<Expresion> e =
          Expresiones()->Add(QStringLiteral("Expr") + QString::number(Expresiones()->Count() + 1), QString());
      e->setValor(vb::Variant(formula));
      calculado_ = false;
    } else {
      objetivo = formula;
    }
  }
  const bool esMain = objetivo == QLatin1String("Main");
  script::Module* modulo = nullptr;
  if (!GeneraModulo()) {
    setResultado(vb::Variant());
  } else {
    modulo = &motor_->modules().item(kModulo);
    auto llenaArgumentos = [&] {
      if (Variables()->Count() == 0) return;
      std::vector<script::Value> valores;
      valores.reserve(size_t(Variables()->Count()));
      for (const auto& v : *Variables()) valores.emplace_back(v->Valor());
      argumentos[0] = script::Value::array(1, std::move(valores));
    };
    if (!esMain) {
      if (!calculado_) {
        llenaArgumentos();
        modulo->run(QStringLiteral("Main"), argumentos);
        calculado_ = true;
      }
      modulo->executeStatement(QStringLiteral("Resultado = ") + objetivo);
    } else {
      llenaArgumentos();
      modulo->run(QStringLiteral("Main"), argumentos);
      setResultado(modulo->eval(QStringLiteral("Resultado")));
      calculado_ = true;
    }
    nErr_ = 0;
    dErr_.clear();
  }
  if (esMain) return resultado_;
  if (!modulo) script::raise(script::errObjectNotSet);
  return modulo->eval(QStringLiteral("Resultado"));
}

// ---- the function file ----

// The function file of the program folder. As with the program's other files, one whose name differs
// only in letter case is the one meant, and it is written back under that name.
QString Evaluador::rutaFunciones() const {
  return dao::DBEngine::ResolvePath(QDir(carpeta_).filePath(ArchivoFunciones));
}

void Evaluador::cargaFunciones() {
  // Only a readable file is a function file: a folder, a pipe (whose opening would wait for a writer)
  // or a file the user may not read under that name leaves the evaluator without user functions.
  const QFileInfo info(rutaFunciones());
  if (!info.isFile() || !info.isReadable()) return;
  if (info.size() > kMaxArchivoFunciones) script::raise(script::errOutOfMemory);
  QFile archivo(info.filePath());
  if (!archivo.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) return;
  LectorCampos lector(textoDelArchivo(leeHastaElTope(archivo)));
  lector.saltaLinea();
  while (!lector.alFinal()) {
    const QString nombre = lector.campo();
    const QString cuerpo = lector.campo();
    const QString cuenta = lector.campo();
    const int16_t n = cuenta.isEmpty() ? int16_t(0) : vb::CInt(vb::Variant(cuenta));
    const std::shared_ptr<Funcion> f = Funciones()->Add(nombre, cuerpo);
    for (int16_t k = 0; k < n; ++k) f->Parametros()->Add(lector.campo());
  }
}

void Evaluador::grabaFunciones() {
  QString texto = EncabezadoFunciones + kCrLf;
  for (const auto& f : *funciones_) {
    texto += u'"' + f->Nombre() + QStringLiteral("\",\"") + f->Valor() + QStringLiteral("\",") +
             QString::number(f->Parametros()->Count()) + kCrLf;
    for (const auto& p : *f->Parametros()) texto += u'"' + p->Nombre() + u'"' + kCrLf;
  }
  try {
    files::write(rutaFunciones(), texto.toUtf8());
  } catch (const vb::Error&) {
    // Not written: the old file stays whole.
  }
}

}  // namespace footer
