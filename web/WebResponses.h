// WebResponses.h - the response primitives every web answer is made of: the
// status line with its headers, the body (left out for a HEAD request), and
// the error answer in the form the request's Accept header selects.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct mg_connection;

extern const char* const kJsonContentType;

// Writes "HTTP/1.1 <status> <reason>", the Content-Type (text/html when
// contentType is null), the extra header lines (each ending in "\r\n") and
// "Connection: close". No Content-Length is sent: the body ends when the
// connection closes.
void SendHeader(mg_connection* conn, uint16_t status, const char* contentType, const char* extraHeaders = "");

// Answers an error: the JSON error object when contentType is exactly
// "application/json", else a line of text under text/html. Returns status.
// The JSON object is {"errorCode":N,"errorMessage":"..."}, written by
// RapidJSON. The extra header lines go into the header (see SendHeader).
int SendError(mg_connection* conn, const std::string& contentType, uint16_t status, const std::string& message,
              const char* extraHeaders = "");

// Writes the body bytes in one raw write; nothing when the request is a HEAD
// request (CivetWeb sends whatever is written, HEAD or not).
void WriteBody(mg_connection* conn, const void* bytes, size_t length);
void WriteText(mg_connection* conn, const std::string& text);

// Text escaped for HTML element content and attribute values: & < > " '.
std::string HtmlEscape(const std::string& text);
