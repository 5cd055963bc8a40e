// WebAssets.h - the browser page's three files, compiled into the program
// from web/assets/ at build time. Each length counts the file's own bytes;
// the array carries one extra zero that is never sent.
#pragma once

#include <cstddef>

extern const unsigned char kIndexHtml[];
extern const size_t kIndexHtmlLength;
extern const unsigned char kIndexCss[];
extern const size_t kIndexCssLength;
extern const unsigned char kIndexJs[];
extern const size_t kIndexJsLength;
