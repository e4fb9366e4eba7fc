#pragma once
// Rounding of amounts, amounts in words and small existence tests that every window and report uses.
// No state of its own: the rounding unit lives in quarvel, the printer question is asked through a hook.
#include "currency.h"
#include "variant.h"

#include <QString>
#include <cstdint>
#include <functional>

class KorGen {
public:
  // The value as Currency when it is numeric, else 0; never fails.
  static vb::Currency valX(const vb::Variant& v);

  // True when the default printer can be queried. The question goes to the hook installed by
  // setConsultaImpresora (the window layer's printer list); no hook, a false answer or an exception
  // all mean "no printer".
  static bool HayImpresora();
  using ConsultaImpresora = std::function<bool()>;
  static void setConsultaImpresora(ConsultaImpresora consulta);

  // True when ruta names a folder one could change into. The current directory is never touched.
  static bool ExistePath(const QString& ruta);
  // True when ruta names an existing file whose length can be read.
  static bool ExisteArchivo(const QString& ruta);

  // Id of the last drawing object of a sheet: the first id, then the next ones until the sheet
  // raises an error; 0 when it has none. Hoja is any sheet with objFirstId() and objNextId(id)
  // that throw once there is no such object.
  template <class Hoja>
  static int32_t UltimoObjeto(const Hoja& hoja);

  // A report cell counts as empty when Null, blank after trimming, or the error text "#VALUE!".
  static bool esNuloRep(const vb::Variant& v);

  // x rounded to n decimals (0..4) through Currency, halves to even.
  static double redondeaEspecial(double x, int16_t n);
  // x rounded with quarvel::unidadRedondeo; exact positive halves go up. Error 11 while the unit is 0.
  static vb::Currency Redondea(double x);
  // The smallest whole number not below x (for amounts of at most four decimals).
  static vb::Currency RedondeaSuperior(double x);

  // The amount in words, "(* DOS  MIL  0 PESOS 0/100  M.N. *)". idioma "E" writes Spanish group
  // words, anything else English ones; the digit words are English only for "I".
  static QString Conlet(vb::Currency importe, const QString& idioma, const QString& moneda,
                        const QString& sufijo);
  // Words of a group of 1..999 (0 gives ""); English through Conmili when idioma is "I".
  // A group above 999 has no words: error 6 rather than a wrong amount on a printed document.
  static QString Conmil(int64_t n, const QString& idioma);
  static QString Conmili(int64_t n);
};

template <class Hoja>
int32_t KorGen::UltimoObjeto(const Hoja& hoja) {
  int32_t ultimo = 0;
  try {
    ultimo = hoja.objFirstId();
    for (;;) {
      const int32_t siguiente = hoja.objNextId(ultimo);
      if (siguiente <= ultimo)  // ids only grow; anything else would walk for ever
        break;
      ultimo = siguiente;
    }
  } catch (...) {
    // The sheet says there is no further object: the walk is over.
  }
  return ultimo;
}
