// WeatherHttpServer.cpp - CivetWeb glue: a handler for /api and one for every
// other path, both answering through AnswerRequest with the provider, as
// JSON with a Content-Length (and, for readings, a Last-Modified telling when
// they were obtained), and writing one log line per request.
#include "WeatherHttpServer.h"

#include <civetweb.h>

#include <string_view>

#include "ApiAnswer.h"
#include "HttpDate.h"
#include "RequestLog.h"
#include "WeatherProvider.h"

namespace weather_service {
namespace {

std::string_view OrEmpty(const char* text) { return text ? std::string_view(text) : std::string_view(); }

// Serves every request: /api is registered for the readings and "**" for all
// else, and AnswerRequest tells them apart by the cleaned local path.
int HandleRequest(mg_connection* connection, void* provider) {
  const mg_request_info* request = mg_get_request_info(connection);
  const std::string_view method = OrEmpty(request->request_method);
  const std::string_view query = OrEmpty(request->query_string);
  const ApiAnswer answer =
      AnswerRequest(method, OrEmpty(request->local_uri), query, *static_cast<WeatherProvider*>(provider));

  const std::string length = std::to_string(answer.body.size());
  mg_response_header_start(connection, answer.status);
  mg_response_header_add(connection, "Content-Type", "application/json", -1);
  mg_response_header_add(connection, "Content-Length", length.c_str(), -1);
  if (answer.status == 405) mg_response_header_add(connection, "Allow", "GET", -1);
  if (answer.obtainedAt) {
    const std::string lastModified = HttpDate(*answer.obtainedAt);
    mg_response_header_add(connection, "Last-Modified", lastModified.c_str(), -1);
  }
  mg_response_header_send(connection);
  if (method != "HEAD") mg_write(connection, answer.body.data(), answer.body.size());

  WriteLogLine(RequestLogLine(method, OrEmpty(request->local_uri_raw), query, answer.status));
  return answer.status;
}

}  // namespace

void StopCivetWeb::operator()(mg_context* context) const { mg_stop(context); }

StartedServer StartWeatherServer(const std::string& listen, WeatherProvider& provider) {
  // Enough threads that requests for other codes are answered while a few
  // wait on a slow upstream provider.
  const char* options[] = {"listening_ports", listen.c_str(), "num_threads", "16", nullptr};
  mg_callbacks callbacks{};
  mg_init_data init{&callbacks, nullptr, options};
  char errorText[256] = "";
  mg_error_data errorData{nullptr, errorText, sizeof errorText};

  StartedServer started;
  started.server.reset(mg_start2(&init, &errorData));
  if (!started.server) {
    started.error = errorText[0] ? errorText : "CivetWeb did not start";
    return started;
  }
  mg_set_request_handler(started.server.get(), "/api", HandleRequest, &provider);
  mg_set_request_handler(started.server.get(), "**", HandleRequest, &provider);
  return started;
}

CivetWebLibrary::CivetWebLibrary() { mg_init_library(0); }
CivetWebLibrary::~CivetWebLibrary() { mg_exit_library(); }

}  // namespace weather_service
