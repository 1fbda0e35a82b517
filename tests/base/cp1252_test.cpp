#include "base/cp1252.h"

#include <gtest/gtest.h>

#include <string>

namespace tarvik {
namespace {

TEST(Cp1252Test, EncodesLatinLettersAndTheWindowsRange) {
  EXPECT_EQ(ParaCp1252("Versão reinicio"), "Vers\xE3o reinicio");
  EXPECT_EQ(ParaCp1252("€ “x” — …"), "\x80 \x93x\x94 \x97 \x85");
  EXPECT_EQ(ParaCp1252("ÿ"), "\xFF");
}

TEST(Cp1252Test, UnrepresentableAndMalformedBecomeQuestionMarks) {
  EXPECT_EQ(ParaCp1252("a\u4E2Db"), "a?b");
  EXPECT_EQ(ParaCp1252("a\U0001F600b"), "a?b");
  EXPECT_EQ(ParaCp1252("a\xC3"), "a?");          // cut sequence
  EXPECT_EQ(ParaCp1252("a\xC0\x80z"), "a?z");     // overlong NUL
  EXPECT_EQ(ParaCp1252("\xED\xA0\x80"), "?");     // surrogate
  EXPECT_EQ(ParaCp1252("\xFFx"), "?x");
}

TEST(Cp1252Test, DecodesEveryByteAndRoundTrips) {
  std::string todos;
  for (int b = 0; b < 256; ++b) todos += static_cast<char>(b);
  const std::string utf8 = DeCp1252(todos);
  EXPECT_EQ(ParaCp1252(utf8), todos);
  EXPECT_EQ(DeCp1252("\x80"), "€");
  EXPECT_EQ(DeCp1252("\x81"), "\xC2\x81");  // undefined byte: C1 control
  EXPECT_EQ(DeCp1252("ok\xE7"), "okç");
}

}  // namespace
}  // namespace tarvik
