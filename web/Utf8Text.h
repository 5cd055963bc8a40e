// Utf8Text.h - text made safe for a JSON string: RapidJSON's Writer copies
// bytes as they are, so text that may hold bytes from a client (a stored
// name, a decoded query value) is mended to well-formed UTF-8 first.
#pragma once

#include <string>
#include <string_view>

// The text with every byte that does not begin a well-formed UTF-8
// sequence (RFC 3629: no overlong forms, no surrogates, nothing past
// U+10FFFF) replaced by U+FFFD; well-formed text comes back unchanged.
std::string ValidUtf8(std::string_view text);
