#pragma once
// The option-page navigator: turns a host form built of a frame array fraMarco into a tree of pages
// (Estilo 0), a tab strip (1) or a wizard (2). Everything it knows of the host comes from key=value
// Tags on the host's frames and buttons (see vbui.h for how a Qt host names and tags its controls).
//
// Use: create it, optionally set Estilo, Clasificar and the wizard texts, then setFormulario(host)
// while the host is being set up (before it is shown). The host has no layout of its own: the
// navigator places the frames and the buttons tagged Acción=Aceptar/Cancelar/Aplicar/Predeterminar
// in twips and sizes the form. A host that uses page validation (frame keys Validar or
// AsistenteValidar, and every wizard) declares
//     Q_INVOKABLE bool Validar(const QString& valor);
// which the navigator calls by name.
#include <QObject>
#include <QPixmap>
#include <QPointer>
#include <QString>

#include "vbcontrols.h"

class QLabel;
class QPushButton;

class clsListaOpciones : public QObject {
  Q_OBJECT
public:
  enum { EstiloArbol = 0, EstiloPestanas = 1, EstiloAsistente = 2 };

  explicit clsListaOpciones(QObject* parent = nullptr);

  // Attaches the host and builds the navigator: the style is fixed from here on. Fails with run-time
  // error 438 when the host has no fraMarco frames, or when it needs Validar and has none; with 727
  // when the host already carries the navigator's controls (attached twice); with 457 or 35602 when
  // two controls carry the same Acción or two list items the same key.
  void setFormulario(QWidget* host);
  QWidget* Formulario() const { return formulario_; }

  // Tag strings: entries key=value separated by "|". Keys are found as plain text, ignoring case.
  static QString setPropiedad(const QString& cadena, QString clave, const QString& valor,
                              const QString& separador = QStringLiteral("|"),
                              Qt::CaseSensitivity comparacion = Qt::CaseInsensitive);
  static QString getPropiedad(const QString& cadena, QString clave,
                              const QString& separador = QStringLiteral("|"),
                              Qt::CaseSensitivity comparacion = Qt::CaseInsensitive,
                              bool agregaIgual = true);

  // Shows the page named by a node or tab Tag. Fails with run-time error 340 when Marco names no frame.
  void EstableceMarco(const QString& etiqueta);
  // Rebuilds the tree or the tabs from the frames' Tags and captions, keeping the selection.
  void Reasigna();

  int Estilo() const { return estilo_; }
  void setEstilo(int estilo);  // once only, and only before setFormulario; otherwise it beeps
  bool Clasificar() const { return clasificar_; }
  void setClasificar(bool clasificar) { clasificar_ = clasificar; }

  QString AsistenteTitulo() const { return asistenteTitulo_; }
  void setAsistenteTitulo(const QString& texto) { asistenteTitulo_ = texto; }
  QString AsistenteNotaInicial() const { return asistenteNotaInicial_; }
  void setAsistenteNotaInicial(const QString& texto) { asistenteNotaInicial_ = texto; }
  QString AsistenteNotaFinal() const { return asistenteNotaFinal_; }
  void setAsistenteNotaFinal(const QString& texto) { asistenteNotaFinal_ = texto; }
  QString AsistenteTextoInicial() const { return asistenteTextoInicial_; }
  void setAsistenteTextoInicial(const QString& texto);
  QString AsistenteTextoFinal() const { return asistenteTextoFinal_; }
  void setAsistenteTextoFinal(const QString& texto);
  QPixmap AsistenteIcono() const { return asistenteIcono_; }
  void setAsistenteIcono(const QPixmap& imagen);

  // Wizard page: 0 the opening page, 1 to the number of frames a frame, that number + 1 the closing page.
  int PaginaActual() const { return paginaActual_; }

  // The tagged host controls met by the tree and tab builders: collection key ("Aceptar", "Cancelar",
  // "Aplicar", "Predeterminar", "Contenedor", "Flotante1", ...) and descriptor, in the order added.
  QList<QPair<QString, QString>> ControlesEtiquetados() const;
  bool BotonesEnContenedor() const { return botonesEnContenedor_; }

private slots:
  void tvwOpciones_Evento(const QString& nombre);
  void tabOpciones_Evento(const QString& nombre);
  void cmdAtras_Click();
  void cmdSiguiente_Click();
  void cmdCancelarFin_Click();

private:
  // The descriptor names the control as the Tags do; the control itself is kept too, so that a host
  // widget without an object name (or sharing one) is still the one found.
  struct Etiquetado {
    QString clave;
    QString descriptor;
    QPointer<QWidget> control;
  };

  void ConstruyeOpciones();
  void AcomodaControles();
  void CreaArbol();
  void CreaPestanas();
  void CreaAsistente();
  void NavegaAsistente(int accion);

  void ColectaEtiquetados();
  void AgregaEtiquetado(const QString& clave, QWidget* control, const QString& llave,
                        const QString& valor);
  const Etiquetado* BuscaEtiquetado(const QString& clave) const;  // nullptr when absent
  QWidget* ControlEtiquetado(const QString& clave) const;
  QTreeWidgetItem* AgregaNodo(QWidget* marco, int sangria, int& factor);
  int AgregaPestana(QWidget* marco);
  void AjustaAnchoArbol(const QString& texto, int sangria);
  void CopiaEtiquetaDelPrimerHijo();
  void MuestraIcono();
  QList<QWidget*> Marcos() const;
  bool ValidarEnHost(const QString& valor);
  template <class Accion>
  void AtrapaErrores(const char* procedimiento, Accion accion) const;

  int estilo_ = EstiloArbol;
  bool clasificar_ = true;
  bool estiloFijo_ = false;
  QString asistenteTextoInicial_;
  QString asistenteTextoFinal_;
  int paginaActual_ = 0;
  QString asistenteTitulo_;
  QString asistenteNotaInicial_;
  QString asistenteNotaFinal_;
  QPixmap asistenteIcono_;
  bool botonesEnContenedor_ = false;
  QPointer<QWidget> formulario_;

  QPointer<VbFrame> fraComandos_;
  QPointer<QWidget> pctAsistente_;
  QPointer<QLabel> imgAsistente_;
  QPointer<QLabel> lblAsistenteTit_;
  QPointer<QLabel> lblAsistenteExp_;
  QPointer<VbFrame> fraInicial_;
  QPointer<VbFrame> fraFinal_;
  QPointer<QLabel> lblInicial_;
  QPointer<QLabel> lblFinal_;
  QPointer<VbLine> linLinea_[4];
  bool cmdCancelarFinEsCancelar_ = false;

  QList<Etiquetado> controlesEtiquetados_;

  QPointer<VbTabStrip> tabOpciones_;
  QPointer<VbTreeView> tvwOpciones_;
  QPointer<QPushButton> cmdAtras_;
  QPointer<QPushButton> cmdSiguiente_;
  QPointer<QPushButton> cmdCancelarFin_;
  QPointer<QLabel> lblOpciones_;
};
