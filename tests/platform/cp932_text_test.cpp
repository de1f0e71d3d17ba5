// What the CP932 data files keep of a text: the characters CP932 lacks, the refusal
// that names them, and the references that keep them and read back.
#include "platform/cp932_text.h"

#include <gtest/gtest.h>

namespace parupo {
namespace {

TEST(Cp932Text, ReferencesKeepWhatCp932LacksAndATypedReferenceReadsBackAsTyped) {
  const struct {
    const char* name;
    std::string text, kept;
  } rows[] = {
      {"every CP932 character as it is", "花子 <a@x> ①髙～ｱ\\ & &# #x26;", "花子 <a@x> ①髙～ｱ\\ & &# #x26;"},
      {"hearts, a surrogate pair, a kana CP932 lacks", "♥♡𠮷ゔ", "&#x2665;&#x2661;&#x20BB7;&#x3094;"},
      {"kanji CP932 lacks, led by a byte past 0xE7", "森鷗外", "森&#x9DD7;外"},
      {"accents and emoji among CP932 text", "café über 😀!", "caf&#x00E9; &#x00FC;ber &#x1F600;!"},
      {"a typed reference", "&#x2665; &#X41; &#x", "&#x26;#x2665; &#X41; &#x26;#x"},
      {"a typed escape", "&#x26;#x41;", "&#x26;#x26;#x41;"},
      {"an ampersand before a reference", "&♥", "&&#x2665;"},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.name);
    EXPECT_EQ(withCharacterReferences(r.text), r.kept);
    EXPECT_EQ(withoutCharacterReferences(r.kept), r.text);
  }
  // What no reference of ours looks like reads as it stands (files of the original program).
  for (const char* text : {"&#x;", "&#xZ1;", "&#x2665", "&#x1234567;", "&#xD800;", "&#x110000;", "&#x0A;", "&amp;"}) {
    EXPECT_EQ(withoutCharacterReferences(text), text);
  }
  EXPECT_EQ(withoutCharacterReferences("&#x41;&#x1f600;"), "A😀");
}

TEST(Cp932Text, TheRefusalNamesEveryCharacterOnceInOrder) {
  EXPECT_EQ(charactersCp932Lacks("花子①～ &#x2665;"), "");
  EXPECT_EQ(unsavableTextMessage("花子①～"), "");
  EXPECT_EQ(unsavableTextMessage("𠮷田"), "「𠮷」は保存できない文字です。別の文字にしてください。");
  EXPECT_EQ(unsavableTextMessage("♥𠮷é♥ü😀ゔ𠮷"), "「♥𠮷éü😀ゔ」は保存できない文字です。別の文字にしてください。");
}

}  // namespace
}  // namespace parupo
