#pragma once
// The small text and value helpers every form uses. Each was a one-method class with a program-wide
// instance; they hold no state, so they are plain functions here.
#include "variant.h"

#include <QString>

namespace general {

// True when v is Null or its text, trimmed of blanks, is empty (Empty and "   " included; 0 is not).
// A value with no text form counts as null.
bool esNulo(const vb::Variant& v);

// Each carriage return and line feed becomes one blank, and each tab too when tabulador is set;
// the length never changes, so a CR LF pair gives two blanks.
QString BorraEnter(const QString& texto, bool tabulador);

// Each carriage return becomes one blank; line feeds stay.
QString QuitaEnter(const QString& texto);

// The value as Double when it is numeric, else 0; never fails. (KorGen::valX gives Currency.)
double valX(const vb::Variant& v);

}  // namespace general
