// chartd: the chart server, a CGI program. For GET /cgi-bin/sendgraf.exe/Load?...
// (PATH_INFO "/Load") it answers the temperatures of one station from the
// database named by NIMBULON_CHART_DB, opened read-only.
#include "ChartDatabase.h"
#include "ChartQuery.h"
#include "ChartReply.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

using namespace chartd;

std::string_view Environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

// The server's own trouble goes to the web server's log, not to the client.
std::string Unavailable(const std::string& why, bool head)
{
    std::fprintf(stderr, "chartd: %s\n", why.c_str());
    return CgiResponse(500, "chart database unavailable\n", head);
}

std::string Answer()
{
    const std::string_view method = Environment("REQUEST_METHOD");
    const bool head = method == "HEAD";
    if (Environment("PATH_INFO") != "/Load")
        return CgiResponse(404, "not found\n", head);
    if (method != "GET" && !head)
        return CgiResponse(405, "only GET and HEAD\n", false);
    const TParsedQuery parsed = ParseChartQuery(Environment("QUERY_STRING"));
    if (!parsed.refusal.empty())
        return CgiResponse(400, parsed.refusal + "\n", head);
    const std::string path(Environment("NIMBULON_CHART_DB"));
    if (path.empty())
        return Unavailable("NIMBULON_CHART_DB is not set", head);

    TChartDatabase database(path);
    const TChartRequest& request = parsed.request;
    const std::optional<bool> known = database.HasStation(request.stationKind, request.stationCode);
    if (!known)
        return Unavailable(database.Error(), head);
    if (!*known)
        return CgiResponse(400, "unknown station\n", head);
    const std::optional<std::vector<TChartRow>> rows = database.Rows(request);
    if (!rows)
        return Unavailable(database.Error(), head);
    return CgiResponse(200, ChartReplyBody(*rows), head);
}

} // namespace

int main()
{
    const std::string response = Answer();
    const bool written =
        std::fwrite(response.data(), 1, response.size(), stdout) == response.size();
    return written && std::fflush(stdout) == 0 ? EXIT_SUCCESS : EXIT_FAILURE;
}
