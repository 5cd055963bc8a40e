// UrlParts.h - a URL or an authority ("host:port") read by libcurl's URL
// API, for every place that needs the scheme, host or port of one: the
// --weather-url setting, the weather service's redirects and the web
// guard's Host, Origin and Referer.
#pragma once

#include <optional>
#include <string>

struct UrlParts {
  std::string scheme;  // lower case
  // The host as libcurl reads it, its case kept; an IPv6 literal in
  // brackets, without its zone id. libcurl writes an IPv4 address given in
  // a short or numeric form ("127.1") as a dotted quad, decodes
  // percent-encoding and shortens an IPv6 literal.
  std::string host;
  std::string zoneId;  // an IPv6 literal's zone ("%25eth0" gives "eth0"); empty when none
  // The port's digits as libcurl reads them (leading zeros dropped); empty
  // when the URL gives none.
  std::string port;
  // port, or the scheme's default port when the URL gives none; empty when
  // libcurl knows no default for the scheme.
  std::string portOrDefault;
  bool hasUserInfo = false;  // a user name or password before the host
  // True when the text after "scheme://" up to the first "/", "?" or "#" is
  // exactly host[:port] (an empty port after the colon allowed), letters
  // compared without regard to case: nothing libcurl rewrote, dropped or
  // took as user information.
  bool authorityAsWritten = false;
};

// Reads an absolute URL with a scheme and a host; any scheme is taken.
// Nothing when libcurl refuses the text.
std::optional<UrlParts> ParseUrl(const std::string& text);

// Reads an authority, host[:port] as a Host header carries it, read as the
// authority of an http URL. Nothing when libcurl refuses it, or it holds
// anything besides host and port (user information, a path, a query or a
// fragment).
std::optional<UrlParts> ParseAuthority(const std::string& text);
