#pragma once
// FrmParTorn, "Partidas y totales por moneda": the read-only view of the bid's totals per section and
// currency (saved query TotalPartidas through quarvel::rsTotalPartidas).
#include "formalista.h"

class FrmParTorn : public FormaLista {
  Q_OBJECT
public:
  FrmParTorn();

  void Form_Load() override;
  void Form_Unload() override;
  void Form_Activate() override;
  void AplicaOrden(const QString& orden) override;

  void Error(int dataError, int& response) override;
  void PostEvent(int msgId) override;

  // The section totals after prices or currencies changed: rsTotalPartidas is run again (and the
  // view's own recordset when a sort gave it one) once control is back in the event loop, a single
  // time however many changes came before it.
  static void ActualizaTotales();
  // The same at once (tests and benchmarks).
  static void requeryTotales();
};
