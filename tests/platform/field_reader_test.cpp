#include "platform/field_reader.h"

#include <gtest/gtest.h>

namespace parupo {
namespace {

std::vector<std::string> readAll(FieldReader& r, int count) {
  std::vector<std::string> out;
  for (int i = 0; i < count; ++i) out.push_back(r.next());
  return out;
}

TEST(FieldReader, CommasQuotesAndBlanks) {
  FieldReader r({
      "a,b",                  // two fields on one line
      "  lead, \"q,uo\" ,x",  // blanks skipped; a quoted field keeps its comma
      "\"open",               // a quote that never closes runs to the line's end
      "\"x\"tail,next",       // text after the closing quote is dropped
      " 5220 ",               // a number as formatted printing writes it
      "trailing,",            // an empty field after the last comma
  });
  EXPECT_EQ(readAll(r, 11), (std::vector<std::string>{"a", "b", "lead", "q,uo", "x", "open", "x",
                                                      "next", "5220 ", "trailing", ""}));
  EXPECT_TRUE(r.atEnd());
}

TEST(FieldReader, EmptyLinesAndTheEndOfTheFile) {
  FieldReader r({"", "True", "   "});
  EXPECT_FALSE(r.atEnd());
  EXPECT_EQ(r.next(), "");
  EXPECT_EQ(r.next(), "True");
  EXPECT_EQ(r.next(), "");  // a line of blanks is one empty field
  EXPECT_TRUE(r.atEnd());
  EXPECT_EQ(r.next(), "");
  EXPECT_EQ(r.nextLine(), "");
  EXPECT_TRUE(FieldReader({}).atEnd());
}

TEST(FieldReader, WholeLinesKeepCommasQuotesAndBlanks) {
  FieldReader r({" \"a\", b ", "x,y", "", "last"});
  EXPECT_EQ(r.nextLine(), " \"a\", b ");
  EXPECT_EQ(r.next(), "x");
  EXPECT_EQ(r.nextLine(), "y");  // the rest of a line that a field was read from
  EXPECT_EQ(r.nextLine(), "");
  EXPECT_EQ(r.next(), "last");
  EXPECT_TRUE(r.atEnd());
}

TEST(FieldReader, FirstFieldOfAFile) {
  EXPECT_EQ(firstField({"  \"宛先, 件名\",x", "y"}), "宛先, 件名");
  EXPECT_EQ(firstField({"G1\\a,b"}), "G1\\a");
  EXPECT_EQ(firstField({}), "");
}

}  // namespace
}  // namespace parupo
