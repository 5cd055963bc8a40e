// ApiAnswer.cpp - routes a request: checks path and method, decodes the
// postalCode parameter with CivetWeb's form decoder, normalises the code and
// asks the provider.
#include "ApiAnswer.h"

#include <civetweb.h>

#include "PostalCode.h"
#include "WeatherProvider.h"

namespace weather_service {
namespace {

constexpr int kMethodNotAllowed = 405;

}  // namespace

ApiAnswer AnswerRequest(std::string_view method, std::string_view path, std::string_view query,
                        WeatherProvider& provider) {
  ApiAnswer answer;  // 404 with []
  if (path != "/api") return answer;
  if (method != "GET") {
    answer.status = kMethodNotAllowed;
    return answer;
  }

  // Room for more than any valid code: a value that does not fit is invalid
  // anyway, and mg_get_var reports it as such. The decoded length is used,
  // not strlen, so that an escaped NUL ("10001%00x") cannot cut a value short.
  char code[32];
  const int length = query.empty() ? -1 : mg_get_var(query.data(), query.size(), "postalCode", code, sizeof code);
  if (length < 0) return answer;
  const auto normalised = NormalisePostalCode(std::string_view(code, static_cast<size_t>(length)));
  if (!normalised) return answer;

  return provider.AnswerFor(*normalised);
}

}  // namespace weather_service
