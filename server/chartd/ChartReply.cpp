#include "ChartReply.h"

namespace chartd {
namespace {

const char* StatusText(int status)
{
    switch (status) {
    case 200:
        return "200 OK";
    case 400:
        return "400 Bad Request";
    case 404:
        return "404 Not Found";
    case 405:
        return "405 Method Not Allowed";
    default:
        return "500 Internal Server Error";
    }
}

} // namespace

std::string ChartReplyBody(const std::vector<TChartRow>& rows)
{
    std::string body = "@@TABLEDEF START@@\r\n"
                       "KDAJ,DATETIME\r\n"
                       "TEMPERATURA,INTEGER\r\n"
                       "URA,INTEGER\r\n"
                       "@@TABLEDEF END@@\r\n"
                       "KDAJ,TEMPERATURA,URA\r\n";
    body.reserve(body.size() + rows.size() * 32);
    for (const TChartRow& row : rows) {
        // "YYYY-MM-DD HH:MM:SS" becomes "DD/MM/YYYY HH:MM:SS".
        const std::string_view at = row.at;
        body += '"';
        body.append(at.substr(8, 2)).append("/").append(at.substr(5, 2)).append("/");
        body.append(at.substr(0, 4)).append(at.substr(10));
        body += "\",";
        if (row.temperature)
            body += std::to_string(*row.temperature);
        body += ',';
        body += std::to_string(row.hour);
        body += "\r\n";
    }
    return body;
}

std::string CgiResponse(int status, std::string_view body, bool headOnly)
{
    std::string response = std::string("Status: ") + StatusText(status) +
                           "\r\nContent-Type: text/plain; charset=utf-8\r\n";
    if (status == 200)
        response += "Cache-Control: public, max-age=300\r\n";
    if (status == 405)
        response += "Allow: GET, HEAD\r\n";
    response += "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n";
    if (!headOnly)
        response += body;
    return response;
}

} // namespace chartd
