// libcurl loaded on demand: the system's library resolves into a working table, and a
// missing or wrong library gives a reason a user can read instead of a crash.
#include <gtest/gtest.h>

#include "mailapi/curl_api.h"

namespace parupo::mail {
namespace {

TEST(CurlApi, LoadsTheSystemLibraryOnceAndExplainsAMissingOrWrongOne) {
  CurlApi api{};
  EXPECT_EQ(loadCurlApi("libcurl.so.4", api), "");
  ASSERT_NE(api.version_info, nullptr);
  EXPECT_GE(api.version_info(CURLVERSION_NOW)->version_num, 0x075500u);

  const struct {
    const char* name;
    const char* file;
    const char* reason;
  } failures[] = {{"missing", "libparupo-none.so.4", "libparupo-none.so.4"},
                  {"not libcurl", "libc.so.6", "関数がありません: curl_global_init"}};
  for (const auto& f : failures) {
    const std::string error = loadCurlApi(f.file, api);
    EXPECT_TRUE(error.starts_with(std::string("メールの送受信に必要な libcurl（") + f.file + "）を読み込めませんでした（"))
        << f.name << ": " << error;
    EXPECT_NE(error.find(f.reason), std::string::npos) << f.name << ": " << error;
    EXPECT_EQ(api.easy_init, nullptr) << f.name;
  }

  std::string error;
  const CurlApi* shared = curlApi(error);
  ASSERT_NE(shared, nullptr) << error;
  EXPECT_EQ(curlApi(error), shared);
  CURL* easy = shared->easy_init();
  ASSERT_NE(easy, nullptr);
  EXPECT_EQ(shared->easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "smtp,smtps"), CURLE_OK);
  EXPECT_STREQ(shared->easy_strerror(CURLE_OK), "No error");
  shared->easy_cleanup(easy);
}

}  // namespace
}  // namespace parupo::mail
