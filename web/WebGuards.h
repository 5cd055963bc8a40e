// WebGuards.h - what stands between a request and the router's answer: HTTP
// digest authentication (when the server has a password file), the methods
// served (GET and HEAD), and the guard of the requests that change the table
// (the write and add actions, a look-up of a new postal code): cross-site
// checks and the page's own request header, which keep other web sites (and
// pages that rebind a name of their own to this machine's address) from
// changing the registers through the operator's browser.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "WeatherFetch.h"

struct mg_connection;

// The realm (CivetWeb's "authentication domain") of the password file: the
// second field of each of its lines, as htdigest writes them.
extern const char* const kWebAuthRealm;

// The request header the page sends with each of its requests
// ("X-Veld-Request: page"). A browser lets a page of another site send a
// header of this kind only after a CORS preflight, which this server never
// allows, so a browser's request carrying it was sent by the page itself.
extern const char* const kPageRequestHeader;

struct WebAccess {
  // Host names a browser may use for the actions besides the IP address
  // literals, localhost and this machine's own name (--web-allowed-hosts).
  std::vector<std::string> allowedHosts;
  // The htdigest file every request is checked against (--web-auth); empty:
  // no authentication.
  std::string authFile;
  // Distinct postal codes other than "0" the table may hold before a
  // look-up of a new code is refused with 429 (--max-postal-codes).
  size_t maxPostalCodes = kDefaultMaxPostalCodes;
};

// The headers the cross-site guard reads; null for a header the request
// does not carry.
struct RequestSite {
  const char* host = nullptr;
  const char* origin = nullptr;
  const char* referer = nullptr;
  const char* fetchSite = nullptr;  // Sec-Fetch-Site
  const char* userAgent = nullptr;
  bool fetchMetadata = false;         // any Sec-Fetch-* header
  const char* pageRequest = nullptr;  // kPageRequestHeader
};

// Why an action is refused to a request with these headers, or an empty
// text when it may run. Refused: Sec-Fetch-Site other than same-origin or
// none (the user typed the address); an Origin or Referer naming another
// host[:port] than Host (an Origin of "null" names none); a Host that is not
// an IPv4 literal, a bracketed IPv6 literal, localhost, this machine's host
// name (or its canonical name) or one of allowedHosts, each with or without
// a port. A request without any of these headers (curl, an HTTP/1.0 client)
// may run.
std::string CrossSiteRefusal(const RequestSite& site, const std::vector<std::string>& allowedHosts);

// Why a request that changes the table is refused, or an empty text when
// it may run: first CrossSiteRefusal, then, for a request from a browser (a
// User-Agent beginning "Mozilla/", a Sec-Fetch-* header, an Origin or a
// Referer), the lack of kPageRequestHeader (any value). A request without
// these marks (curl, scripts, PLC tools) needs no page header.
std::string ChangeRefusal(const RequestSite& site, const std::vector<std::string>& allowedHosts);

// True for a name --web-allowed-hosts takes: letters, digits, "-" and ".",
// not empty, at most 253 characters.
bool IsAllowedHostName(const std::string& name);

// Checks a password file at start-up: empty when it can be read and holds
// at least one line of the realm kWebAuthRealm, else why not.
std::string CheckWebAuthFile(const std::string& path);

// Answers 401 with a digest challenge unless the request carries valid
// credentials of the file (read anew for every request, so that a changed
// file counts at once; a file that has become unreadable refuses
// everybody). Returns 0 when the request may go on, else the status sent.
int RequireDigestAuthentication(mg_connection* conn, const std::string& authFile);
