// GeocodingCacheTest.cpp - the geocoding cache's file: written at once for
// the first change, then at most once a second, and with the last changes
// when the cache is destroyed; read back in order of use, so a smaller
// limit keeps the most recently used codes.
#include <gtest/gtest.h>
#include <rapidjson/document.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

#include "Clock.h"
#include "GeocodingCache.h"

namespace weather_service {
namespace {

// The keys in the cache file in file order; empty when there is no file.
std::vector<std::string> KeysInFile(const std::filesystem::path& path) {
  std::ifstream file(path);
  std::stringstream text;
  text << file.rdbuf();
  rapidjson::Document document;
  std::vector<std::string> keys;
  if (document.Parse(text.str().c_str()).HasParseError() || !document.IsObject()) return keys;
  for (const auto& entry : document["places"].GetArray()) keys.push_back(entry["key"].GetString());
  return keys;
}

TEST(GeocodingCache, WritesAtMostOnceASecondAndTheLastChangesWhenDestroyed) {
  const std::filesystem::path folder = ::testing::TempDir() + "veld-geocoding-" + std::to_string(getpid());
  const std::filesystem::path path = folder / GeocodingCache::kFileName;
  std::filesystem::remove_all(folder);
  const GeocodedPlace place{Location{40.71427, -74.00597}, CurrentUnixTime()};
  {
    GeocodingCache cache(folder.string(), 10);
    cache.Store("US:10001", place);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (!std::filesystem::exists(path) && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    cache.Store("US:10002", GeocodedPlace{std::nullopt, place.geocodedAt});
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(KeysInFile(path), std::vector<std::string>{"US:10001"}) << "written again within a second";
    ASSERT_TRUE(cache.Find("US:10001"));  // now the most recently used
  }
  EXPECT_EQ(KeysInFile(path), (std::vector<std::string>{"US:10002", "US:10001"}));
  EXPECT_EQ(std::vector<std::filesystem::path>(std::filesystem::directory_iterator(folder), {}),
            std::vector<std::filesystem::path>{path});

  GeocodingCache reread(folder.string(), 1);
  EXPECT_FALSE(reread.Find("US:10002"));
  const std::optional<GeocodedPlace> kept = reread.Find("US:10001");
  ASSERT_TRUE(kept && kept->location);
  EXPECT_EQ(kept->location->latitude, 40.71427);
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace weather_service
