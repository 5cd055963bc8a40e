// WebResponses.cpp - status lines, error answers and escaping for the web
// interface's HTML and JSON output.
#include "WebResponses.h"

#include <civetweb.h>

#include <cstdio>

const char* const kJsonContentType = "application/json";

namespace {

const char* ReasonPhrase(uint16_t status) {
  switch (status) {
    case 400:
      return "Bad Request";
    case 404:
      return "Not found";
    case 500:
      return "Internal Server Error";
    default:
      return "OK";
  }
}

}  // namespace

void SendHeader(mg_connection* conn, uint16_t status, const char* contentType) {
  mg_printf(conn, "HTTP/1.1 %d %s\r\nContent-Type: %s\r\nConnection: close\r\n\r\n", status, ReasonPhrase(status),
            contentType != nullptr ? contentType : "text/html");
}

int SendError(mg_connection* conn, const std::string& contentType, uint16_t status, const std::string& message) {
  if (contentType == kJsonContentType) {
    SendHeader(conn, status, kJsonContentType);
    WriteText(conn,
              "{\"errorCode\": " + std::to_string(status) + ", \"errorMessage\": \"" + JsonEscape(message) + "\"}");
  } else {
    SendHeader(conn, status, "text/html");
    WriteText(conn, "Error(" + std::to_string(status) + ") errorMessage: " + HtmlEscape(message) + " ");
  }
  return status;
}

void WriteText(mg_connection* conn, const std::string& text) {
  if (!text.empty()) {
    mg_write(conn, text.data(), text.size());
  }
}

std::string JsonEscape(const std::string& text) {
  std::string escaped;
  escaped.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '"':
        escaped += "\\\"";
        break;
      case '\\':
        escaped += "\\\\";
        break;
      case '\b':
        escaped += "\\b";
        break;
      case '\f':
        escaped += "\\f";
        break;
      case '\n':
        escaped += "\\n";
        break;
      case '\r':
        escaped += "\\r";
        break;
      case '\t':
        escaped += "\\t";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char code[8];
          std::snprintf(code, sizeof code, "\\u%04x", static_cast<unsigned char>(c));
          escaped += code;
        } else {
          escaped += c;
        }
    }
  }
  return escaped;
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
