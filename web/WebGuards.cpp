// WebGuards.cpp - digest authentication through CivetWeb, the Host, Origin,
// Referer (read by libcurl's URL parser) and Sec-Fetch-Site checks of the
// cross-site guard, and the page header a browser's changing request must
// carry.
#include "WebGuards.h"

#include <arpa/inet.h>
#include <civetweb.h>
#include <netdb.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <optional>

#include "ConsoleLog.h"
#include "UrlParts.h"

const char* const kWebAuthRealm = "veld-weather-server";
const char* const kPageRequestHeader = "X-Veld-Request";

namespace {

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

// A host[:port] as the guard compares it: the host lower-cased, without one
// trailing dot (an IPv6 literal keeps its brackets); the port's digits as
// written, empty when not given.
struct Authority {
  std::string host;
  std::string port;
  bool ipLiteral = false;
};

// The guard's view of what libcurl read. Only an authority libcurl took as
// it was written counts, so that a name it would rewrite (an IPv4 address
// in a short or numeric form, percent-encoding, a non-canonical IPv6
// literal, a port with leading zeros) or an IPv6 zone is refused rather
// than compared in its rewritten form.
std::optional<Authority> AuthorityOf(const UrlParts& parts) {
  if (!parts.authorityAsWritten) {
    return std::nullopt;
  }
  Authority authority;
  authority.host = Lower(parts.host);
  authority.port = parts.port;
  if (authority.host.empty()) {
    return std::nullopt;
  }
  if (authority.host.front() == '[') {
    authority.ipLiteral = true;  // libcurl checked the IPv6 literal
    return authority;
  }
  if (authority.host.back() == '.') {
    authority.host.pop_back();
  }
  in_addr address{};
  authority.ipLiteral = inet_pton(AF_INET, authority.host.c_str(), &address) == 1;
  if (authority.host.empty()) {
    return std::nullopt;  // the name was a lone dot
  }
  return authority;
}

std::optional<Authority> ParseHost(const std::string& text) {
  const std::optional<UrlParts> parts = ParseAuthority(text);
  return parts ? AuthorityOf(*parts) : std::nullopt;
}

// The scheme and authority of an absolute http(s) URL (an Origin or a
// Referer); nothing for anything else, and for a URL with user information
// (browsers never send it here).
std::optional<Authority> ParseUrlAuthority(const std::string& url, std::string& scheme) {
  const std::optional<UrlParts> parts = ParseUrl(url);
  if (!parts || (parts->scheme != "http" && parts->scheme != "https") || parts->hasUserInfo) {
    return std::nullopt;
  }
  scheme = parts->scheme;
  return AuthorityOf(*parts);
}

// The name this machine gives itself, and its canonical name, asked once
// (a name lookup may take a while, so only when a Host needs it).
std::string CanonicalHostName() {
  static std::once_flag once;
  static std::string canonical;
  std::call_once(once, [] {
    char name[HOST_NAME_MAX + 1] = "";
    if (gethostname(name, sizeof name) != 0) {
      return;
    }
    addrinfo hints{};
    hints.ai_flags = AI_CANONNAME;
    addrinfo* found = nullptr;
    if (getaddrinfo(name, nullptr, &hints, &found) == 0 && found != nullptr) {
      if (found->ai_canonname != nullptr) {
        canonical = Lower(found->ai_canonname);
      }
      freeaddrinfo(found);
    }
  });
  return canonical;
}

bool IsMachineName(const std::string& host) {
  char name[HOST_NAME_MAX + 1] = "";
  if (gethostname(name, sizeof name) == 0 && name[0] != '\0' && host == Lower(name)) {
    return true;
  }
  const std::string canonical = CanonicalHostName();
  return !canonical.empty() && host == canonical;
}

bool HostAllowed(const Authority& host, const std::vector<std::string>& allowedHosts) {
  if (host.ipLiteral || host.host == "localhost" || IsMachineName(host.host)) {
    return true;
  }
  return std::any_of(allowedHosts.begin(), allowedHosts.end(),
                     [&host](const std::string& name) { return Lower(name) == host.host; });
}

// True when the URL (an Origin or a Referer) names the same host and port as
// the Host header. A URL without a port stands for its scheme's port; a Host
// without one matches that too, since a proxy in front may serve either.
bool SameAuthority(const std::string& url, const Authority& host) {
  std::string scheme;
  const std::optional<Authority> named = ParseUrlAuthority(url, scheme);
  if (!named || named->host != host.host) {
    return false;
  }
  const std::string defaultPort = scheme == "https" ? "443" : "80";
  const std::string port = named->port.empty() ? defaultPort : named->port;
  return host.port.empty() ? port == defaultPort : port == host.port;
}

}  // namespace

std::string CrossSiteRefusal(const RequestSite& site, const std::vector<std::string>& allowedHosts) {
  if (site.fetchSite != nullptr) {
    const std::string fetchSite = Lower(site.fetchSite);
    if (fetchSite != "same-origin" && fetchSite != "none") {
      return std::string("the browser marks the request as Sec-Fetch-Site [") + site.fetchSite + "]";
    }
  }
  if (site.host == nullptr) {
    // HTTP/1.0 without a Host: no browser sends that, and an Origin or
    // Referer has nothing to be compared with.
    if (site.origin != nullptr || site.referer != nullptr) {
      return "the request names an Origin or Referer but no Host";
    }
    return std::string();
  }
  const std::optional<Authority> host = ParseHost(site.host);
  if (!host || !HostAllowed(*host, allowedHosts)) {
    return std::string("Host [") + site.host +
           "] is not an IP address, localhost, this machine's name or a name of --web-allowed-hosts";
  }
  if (site.origin != nullptr && !SameAuthority(site.origin, *host)) {
    return std::string("Origin [") + site.origin + "] names another host than Host [" + site.host + "]";
  }
  if (site.referer != nullptr && !SameAuthority(site.referer, *host)) {
    return std::string("Referer [") + site.referer + "] names another host than Host [" + site.host + "]";
  }
  return std::string();
}

std::string ChangeRefusal(const RequestSite& site, const std::vector<std::string>& allowedHosts) {
  std::string refusal = CrossSiteRefusal(site, allowedHosts);
  if (!refusal.empty()) {
    return refusal;
  }
  const bool browser = (site.userAgent != nullptr && std::strncmp(site.userAgent, "Mozilla/", 8) == 0) ||
                       site.fetchMetadata || site.origin != nullptr || site.referer != nullptr;
  if (browser && site.pageRequest == nullptr) {
    return std::string("a browser's request without the header ") + kPageRequestHeader + " that the page sends";
  }
  return std::string();
}

bool IsAllowedHostName(const std::string& name) {
  return !name.empty() && name.size() <= 253 &&
         std::all_of(name.begin(), name.end(), [](unsigned char c) { return std::isalnum(c) || c == '-' || c == '.'; });
}

std::string CheckWebAuthFile(const std::string& path) {
  const std::string unreadable = "cannot read the password file '" + path + "'";
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) {
    return unreadable;
  }
  std::ifstream file(path);
  if (!file) {
    return unreadable;
  }
  // user:realm:hash, as htdigest and mg_modify_passwords_file write it.
  const std::string realm = std::string(":") + kWebAuthRealm + ":";
  std::string line;
  while (std::getline(file, line)) {
    const size_t colon = line.find(':');
    if (colon != std::string::npos && colon > 0 && line.compare(colon, realm.size(), realm) == 0 &&
        line.size() > colon + realm.size()) {
      return std::string();
    }
  }
  if (file.bad()) {
    return unreadable;
  }
  return "the password file '" + path + "' has no user of the realm '" + kWebAuthRealm + "' (htdigest " + path + " " +
         kWebAuthRealm + " USER adds one)";
}

int RequireDigestAuthentication(mg_connection* conn, const std::string& authFile) {
  const int checked = mg_check_digest_access_authentication(conn, kWebAuthRealm, authFile.c_str());
  if (checked > 0) {
    return 0;
  }
  if (checked < 0) {
    LogError("Error: Can not read the web password file [%s]; the request is refused\n", authFile.c_str());
  } else if (mg_get_header(conn, "Authorization") != nullptr) {
    LogWarning("Error: HTTP digest authentication failed\n");
  }
  mg_send_digest_access_authentication_request(conn, kWebAuthRealm);
  return 401;
}
