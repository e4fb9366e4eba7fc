#pragma once
// Jet's text comparison: letter case is ignored for every Latin letter (ñ/Ñ and accented letters
// included); accents are kept apart (á is not a), but sort next to their base letter; ñ sorts
// between n and o. Used by the SQL collation JETTEXT, by LIKE and by Find criteria alike.
#include <QString>
#include <cstdint>

namespace dao::jettext {

// Compares two UTF-8 texts; <0, 0, >0. Equal exactly when they differ in letter case only.
int compareUtf8(const char* a, int na, const char* b, int nb);
int compare(const QString& a, const QString& b);

// Jet LIKE: * any run, ? one character, # one digit, [abc] [a-z] [!abc] a class; case ignored as above.
bool like(const QString& text, const QString& pattern);

// The case fold used for equality (one code point).
char32_t fold(char32_t c);

}  // namespace dao::jettext
