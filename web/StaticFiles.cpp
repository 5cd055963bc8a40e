// StaticFiles.cpp - the page's assets, each written in one raw write of its
// exact length (none for HEAD), with the content type a browser needs to use it.
#include "StaticFiles.h"

#include <civetweb.h>

#include "WebAssets.h"
#include "WebResponses.h"

namespace {

void SendAsset(mg_connection* conn, const char* contentType, const unsigned char* bytes, size_t length) {
  SendHeader(conn, 200, contentType);
  WriteBody(conn, bytes, length);
}

}  // namespace

bool SendStaticFile(mg_connection* conn, const std::string& path, const std::string& accept) {
  if (path == "/index.js") {
    SendAsset(conn, "application/javascript", kIndexJs, kIndexJsLength);
    return true;
  }
  if (path == "/index.css") {
    SendAsset(conn, "text/css", kIndexCss, kIndexCssLength);
    return true;
  }
  if (path == "/favicon.ico") {
    SendHeader(conn, 404, "text/html");
    return true;
  }
  if (path == "/" && accept != kJsonContentType) {
    SendAsset(conn, "text/html", kIndexHtml, kIndexHtmlLength);
    return true;
  }
  return false;
}
