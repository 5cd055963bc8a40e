// WebResponses.cpp - status lines, bodies, error answers, and the escaping
// of the web interface's HTML output.
#include "WebResponses.h"

#include <civetweb.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <cstring>

#include "Utf8Text.h"

const char* const kJsonContentType = "application/json";

namespace {

const char* ReasonPhrase(uint16_t status) {
  switch (status) {
    case 400:
      return "Bad Request";
    case 401:
      return "Unauthorized";
    case 403:
      return "Forbidden";
    case 404:
      return "Not found";
    case 405:
      return "Method Not Allowed";
    case 409:
      return "Conflict";
    case 429:
      return "Too Many Requests";
    case 500:
      return "Internal Server Error";
    case 503:
      return "Service Unavailable";
    default:
      return "OK";
  }
}

bool IsHeadRequest(mg_connection* conn) {
  const mg_request_info* info = mg_get_request_info(conn);
  return info != nullptr && info->request_method != nullptr && std::strcmp(info->request_method, "HEAD") == 0;
}

}  // namespace

void SendHeader(mg_connection* conn, uint16_t status, const char* contentType, const char* extraHeaders) {
  mg_printf(conn, "HTTP/1.1 %d %s\r\nContent-Type: %s\r\n%sConnection: close\r\n\r\n", status, ReasonPhrase(status),
            contentType != nullptr ? contentType : "text/html", extraHeaders != nullptr ? extraHeaders : "");
}

int SendError(mg_connection* conn, const std::string& contentType, uint16_t status, const std::string& message,
              const char* extraHeaders) {
  if (contentType == kJsonContentType) {
    rapidjson::StringBuffer buffer;
    rapidjson::Writer<rapidjson::StringBuffer> json(buffer);
    const std::string text = ValidUtf8(message);
    json.StartObject();
    json.Key("errorCode");
    json.Int(status);
    json.Key("errorMessage");
    json.String(text.data(), static_cast<rapidjson::SizeType>(text.size()));
    json.EndObject();
    SendHeader(conn, status, kJsonContentType, extraHeaders);
    WriteBody(conn, buffer.GetString(), buffer.GetSize());
  } else {
    SendHeader(conn, status, "text/html", extraHeaders);
    WriteText(conn, "Error(" + std::to_string(status) + ") errorMessage: " + HtmlEscape(message) + " ");
  }
  return status;
}

void WriteBody(mg_connection* conn, const void* bytes, size_t length) {
  if (length != 0 && !IsHeadRequest(conn)) {
    mg_write(conn, bytes, length);
  }
}

void WriteText(mg_connection* conn, const std::string& text) { WriteBody(conn, text.data(), text.size()); }

std::string HtmlEscape(const std::string& text) {
  std::string escaped;
  escaped.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '&':
        escaped += "&amp;";
        break;
      case '<':
        escaped += "&lt;";
        break;
      case '>':
        escaped += "&gt;";
        break;
      case '"':
        escaped += "&quot;";
        break;
      case '\'':
        escaped += "&#39;";
        break;
      default:
        escaped += c;
    }
  }
  return escaped;
}
