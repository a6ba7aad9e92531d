#pragma once

#include "ChartDatabase.h"

#include <string>
#include <string_view>
#include <vector>

namespace chartd {

// The reply in the program's table stream layout: the table definition, the
// header line and one line per row ("dd/MM/yyyy HH:mm:ss" quoted, the whole
// degrees, the hour; an unknown value is an empty field), lines ending CRLF.
std::string ChartReplyBody(const std::vector<TChartRow>& rows);

// A complete CGI response: Status, Content-Type, Content-Length and, for a
// 200, the Cache-Control that lets proxies keep it (a reply depends on its
// query only); the body unless the request was a HEAD.
std::string CgiResponse(int status, std::string_view body, bool headOnly);

} // namespace chartd
