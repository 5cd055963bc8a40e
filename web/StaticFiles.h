// StaticFiles.h - the fixed routes: the page's index, script and style sheet
// served from memory, and a favicon that is not there.
#pragma once

#include <string>

struct mg_connection;

// Answers path when it is a static route and returns true; "/" is the index
// page unless accept is exactly "application/json" (then it is a data query).
bool SendStaticFile(mg_connection* conn, const std::string& path, const std::string& accept);
