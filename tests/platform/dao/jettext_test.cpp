#include "jettext.h"

#include <gtest/gtest.h>

using dao::jettext::compare;
using dao::jettext::like;

TEST(JetText, CaseIgnoredAccentsKept) {
  EXPECT_EQ(compare("PESOS", "pesos"), 0);
  EXPECT_EQ(compare("Ñandú", "ÑANDÚ"), 0);
  EXPECT_EQ(compare("ñandú", "ÑANDÚ"), 0);
  EXPECT_EQ(compare("Árbol", "árbol"), 0);
  EXPECT_NE(compare("árbol", "arbol"), 0);
  EXPECT_NE(compare("ñ", "n"), 0);
  EXPECT_NE(compare("PESOS ", "PESOS"), 0);  // blanks count
}

TEST(JetText, SpanishOrder) {
  EXPECT_LT(compare("nube", "ñu"), 0);
  EXPECT_LT(compare("ñu", "oso"), 0);
  EXPECT_LT(compare("arbol", "árbol"), 0);
  EXPECT_LT(compare("árbol", "arce"), 0);  // accents sort with their letter
  EXPECT_LT(compare("A01", "a02"), 0);
  EXPECT_LT(compare("A", "A01"), 0);
}

TEST(JetText, Like) {
  struct Case { const char* text; const char* pattern; bool match; };
  const Case cases[] = {
      {"A0102", "A01*", true},   {"a0102", "A01*", true},   {"B0102", "A01*", false},
      {"ÑANDÚ", "ñand?", true},  {"Casa", "C?sa", true},    {"Casa", "C#sa", false},
      {"C1sa", "C#sa", true},    {"Casa", "[BC]asa", true}, {"Dasa", "[!BC]asa", true},
      {"Casa", "[!BC]asa", false}, {"50%", "50%", true},    {"500", "50%", false},
      {"abc", "*", true},        {"", "*", true},           {"abc", "a*c*", true},
  };
  for (const auto& c : cases)
    EXPECT_EQ(like(QString::fromUtf8(c.text), QString::fromUtf8(c.pattern)), c.match) << c.text << " LIKE " << c.pattern;
}
