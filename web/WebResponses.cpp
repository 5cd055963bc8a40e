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
    case 503:
      return "Service Unavailable";
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

std::string JsonEscape(const std::string& text) {
  std::string escaped;
  escaped.reserve(text.size());
  for (size_t at = 0; at < text.size();) {
    const char c = text[at];
    const size_t sequence = Utf8SequenceLength(text, at);
    if (sequence == 0) {
      // JSON text is UTF-8: a byte that is not part of a well-formed
      // sequence (a name stored from a raw %FF) becomes U+FFFD.
      escaped += "\\ufffd";
      ++at;
      continue;
    }
    if (sequence > 1) {
      escaped.append(text, at, sequence);
      at += sequence;
      continue;
    }
    ++at;
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
