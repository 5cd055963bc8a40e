// WeatherTestEnvironment.cpp - libcurl and CivetWeb set up once for the whole
// test program, as the server does at start-up.
#include <civetweb.h>
#include <curl/curl.h>
#include <gtest/gtest.h>

namespace {

class WeatherTestEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    ASSERT_EQ(curl_global_init(CURL_GLOBAL_DEFAULT), CURLE_OK);
    mg_init_library(0);
  }
  void TearDown() override {
    mg_exit_library();
    curl_global_cleanup();
  }
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new WeatherTestEnvironment);

}  // namespace
