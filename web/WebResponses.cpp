// WebResponses.cpp - status lines, bodies, error answers, and the escaping
// and UTF-8 repair for the web interface's HTML and JSON output.
#include "WebResponses.h"

#include <civetweb.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <cstring>

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

namespace {

// Length of the well-formed UTF-8 sequence starting at text[at], or 0.
size_t Utf8SequenceLength(const std::string& text, size_t at) {
  const auto byte = [&text](size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(at);
  size_t length = 0;
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (lead < 0x80) {
    return 1;
  } else if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    low = lead == 0xE0 ? 0xA0 : 0x80;   // no overlong forms
    high = lead == 0xED ? 0x9F : 0xBF;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    low = lead == 0xF0 ? 0x90 : 0x80;
    high = lead == 0xF4 ? 0x8F : 0xBF;
  } else {
    return 0;
  }
  if (at + length > text.size() || byte(at + 1) < low || byte(at + 1) > high) {
    return 0;
  }
  for (size_t i = 2; i < length; ++i) {
    if (byte(at + i) < 0x80 || byte(at + i) > 0xBF) {
      return 0;
    }
  }
  return length;
}

}  // namespace

std::string ValidUtf8(const std::string& text) {
  std::string valid;
  valid.reserve(text.size());
  for (size_t at = 0; at < text.size();) {
    const size_t sequence = Utf8SequenceLength(text, at);
    if (sequence == 0) {
      // A byte that is not part of a well-formed sequence (a name stored
      // from a raw %FF) becomes U+FFFD.
      valid += "\xEF\xBF\xBD";
      ++at;
    } else {
      valid.append(text, at, sequence);
      at += sequence;
    }
  }
  return valid;
}

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
