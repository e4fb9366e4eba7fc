#pragma once
// FrmMone, "Monedas": the bid's currencies (quarvel::rsMonedas), added, changed and deleted in the
// grid. A code is unique and copies itself into the description of a new row, a parity is a number
// other than 0, a currency the budget uses cannot be deleted, and a closed bid refuses changes
// (except in the edition named "Calibranza") and deletions (except in the contracting body's edition).
#include "formalista.h"

class FrmMone : public FormaLista {
  Q_OBJECT
public:
  FrmMone();

  enum Columna { cMoneda, cTexto, cRemate, cParidad };

  void Form_Load() override;
  void Form_Unload() override;
  void Form_Activate() override;
  void AplicaOrden(const QString& orden) override;

  void BeforeColEdit(int colIndex, int keyAscii, bool& cancel) override;
  void BeforeColUpdate(int colIndex, const vb::Variant& oldValue, bool& cancel) override;
  void AfterColUpdate(int colIndex) override;
  void BeforeUpdate(bool& cancel) override;
  void AfterUpdate() override;
  void BeforeDelete(bool& cancel) override;
  void Error(int dataError, int& response) override;
  void PostEvent(int msgId) override;

private:
  QString monedaNueva_;
  QString monedaEnUso_;  // the code whose rename was refused, for its posted message
  bool agregando_ = false;
};
