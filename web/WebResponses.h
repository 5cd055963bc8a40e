// WebResponses.h - the two response primitives every web answer is made of:
// the status line with its headers, and the error answer in the form the
// request's Accept header selects.
#pragma once

#include <cstdint>
#include <string>

struct mg_connection;

extern const char* const kJsonContentType;

// Writes "HTTP/1.1 <status> <reason>", the Content-Type (text/html when
// contentType is null) and "Connection: close". No Content-Length is sent:
// the body ends when the connection closes.
void SendHeader(mg_connection* conn, uint16_t status, const char* contentType);

// Answers an error: the JSON error object when contentType is exactly
// "application/json", else a line of text under text/html. Returns status.
int SendError(mg_connection* conn, const std::string& contentType, uint16_t status, const std::string& message);

// Writes the whole text in one raw write.
void WriteText(mg_connection* conn, const std::string& text);

// Text escaped as the inside of a JSON string (RFC 8259): quote, backslash
// and control characters; bytes that are not well-formed UTF-8 become
// U+FFFD, so the answer is always valid JSON.
std::string JsonEscape(const std::string& text);

// Text escaped for HTML element content and attribute values: & < > " '.
std::string HtmlEscape(const std::string& text);
