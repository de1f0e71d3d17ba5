#include "platform/field_reader.h"

#include <gtest/gtest.h>

namespace parupo {
namespace {

TEST(FieldReader, CommasQuotesBlanksAndTheEndOfTheFile) {
  FieldReader r({"a,b", "  lead, \"q,uo\" ,x", "\"open", "\"x\"tail,next", " 5220 ", "trailing,",
                 "", "   ", " \"a\", b ", "x,y"});
  std::vector<std::string> fields;
  for (int i = 0; i < 13; ++i) fields.push_back(r.next());
  EXPECT_EQ(fields, (std::vector<std::string>{"a", "b", "lead", "q,uo", "x", "open", "x", "next",
                                              "5220 ", "trailing", "", "", ""}));
  EXPECT_EQ(r.nextLine(), " \"a\", b ");  // a whole line keeps everything
  EXPECT_EQ(r.next(), "x");
  EXPECT_EQ(r.nextLine(), "y");
  EXPECT_TRUE(r.atEnd());
  EXPECT_EQ(r.next(), "");
  EXPECT_EQ(r.nextLine(), "");

  EXPECT_EQ(firstField({"  \"宛先, 件名\",x", "y"}), "宛先, 件名");
  EXPECT_EQ(firstField({"G1\\a,b"}), "G1\\a");
  EXPECT_EQ(firstField({}), "");
}

}  // namespace
}  // namespace parupo
