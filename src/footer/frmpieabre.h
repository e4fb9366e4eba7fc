#pragma once
// "Abrir formato": the list of stored footer formats, from which the user copies one into the bid's
// footer (Pie) or deletes formats. frmPieAbre lists the format library of the library database;
// frmPieAbre1 the contractors' formats kept in the bid itself (never the base footer "Num. 0"), and
// applying one there shows "Contratista: " and its key in the footer page's label. Opened modal by the
// footer page; every opening is a new dialog that reads its list afresh.
#include "forms.h"
#include "unboundgrid.h"

#include <QDialog>
#include <QLabel>
#include <QPointer>

#include <memory>

class QPushButton;

namespace dao {
class Database;
}

class PieAbreBase : public QDialog, public ui::Form, private ui::UnboundGridEvents {
  Q_OBJECT
public:
  ui::UnboundGrid* Grid1;  // "Clave" (Formato), "Descripción"
  QPushButton* Command1;   // "&Aceptar": copies the current row's format into Pie
  QPushButton* Command2;   // "&Cancelar" (Esc)

  void Form_Load() override;
  void Form_Unload() override;
  void CargaFormatos();
  void Command1_Click();
  void Command2_Click();
  void Grid1_BeforeDelete(bool& cancel);
  void Grid1_SelChange(bool& cancel);

  void reject() override;  // Esc unloads, as Command2 does

protected:
  explicit PieAbreBase(QWidget* parent);
  virtual dao::Database& origen() const = 0;   // where the list comes from and deletes go
  virtual QString sentenciaLista() const = 0;
  virtual QString restriccionFilas() const = 0;  // appended to the rows' WHERE after the key's quote
  virtual QString prefijoError() const = 0;
  virtual void anunciaFormato(const QString& /*clave*/) {}

private:
  void BeforeDelete(bool& cancel) override { Grid1_BeforeDelete(cancel); }
  void SelChange(bool& cancel) override { Grid1_SelChange(cancel); }
  QString claveActual() const;

  std::shared_ptr<ui::XArray> arreglo_;
};

class frmPieAbre : public PieAbreBase {
  Q_OBJECT
public:
  explicit frmPieAbre(QWidget* parent = nullptr);

protected:
  dao::Database& origen() const override;
  QString sentenciaLista() const override;
  QString restriccionFilas() const override;
  QString prefijoError() const override;
};

class frmPieAbre1 : public PieAbreBase {
  Q_OBJECT
public:
  explicit frmPieAbre1(QWidget* parent = nullptr);
  // The footer page's label that tells a contractor's format is on show.
  void setEtiquetaContratista(QLabel* etiqueta) { etiqueta_ = etiqueta; }

protected:
  dao::Database& origen() const override;
  QString sentenciaLista() const override;
  QString restriccionFilas() const override;
  QString prefijoError() const override;
  void anunciaFormato(const QString& clave) override;

private:
  QPointer<QLabel> etiqueta_;
};
