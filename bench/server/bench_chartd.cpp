// The chart server's speed on a database of 100 stations with a year of hourly
// readings each: every graph kind timed in-process (open, station check, query,
// reply) and as the whole CGI process that fcgiwrap would start.
// Usage: bench_chartd [folder for the database]   (default: a new one in /tmp)
#include "ChartDatabase.h"
#include "ChartQuery.h"
#include "ChartReply.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numbers>
#include <spawn.h>
#include <sqlite3.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using namespace std::chrono;
using namespace chartd;

constexpr int Stations = 100;
constexpr int Year = 2025;

// (kind, code) of station i.
int KindOf(int station)
{
    return 1 + station % 3;
}
int CodeOf(int station)
{
    return station / 3 + 1;
}

long DayNumber(const year_month_day& date)
{
    return (sys_days(date) - sys_days(year(1899) / December / 30)).count();
}

bool Execute(sqlite3* db, const char* sql)
{
    char* error = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &error) == SQLITE_OK)
        return true;
    std::fprintf(stderr, "bench_chartd: %s\n", error ? error : "?");
    sqlite3_free(error);
    return false;
}

// A year of hourly readings per station: season, day and a little noise.
bool BuildDatabase(const std::string& path)
{
    sqlite3* db = nullptr;
    if (sqlite3_open(path.c_str(), &db) != SQLITE_OK)
        return false;
    bool ok = Execute(db, "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF;") &&
              Execute(db, ChartSchema) && Execute(db, "BEGIN");
    sqlite3_stmt* station = nullptr;
    sqlite3_stmt* reading = nullptr;
    ok = ok &&
         sqlite3_prepare_v2(db, "INSERT INTO stations VALUES (?, ?, ?)", -1, &station, nullptr) ==
             SQLITE_OK &&
         sqlite3_prepare_v2(db, "INSERT INTO readings VALUES (?, ?, ?, ?)", -1, &reading,
                            nullptr) == SQLITE_OK;
    unsigned noise = 12345;
    for (int s = 0; ok && s < Stations; ++s) {
        const std::string name = "Postaja " + std::to_string(s);
        sqlite3_bind_int(station, 1, KindOf(s));
        sqlite3_bind_int(station, 2, CodeOf(s));
        sqlite3_bind_text(station, 3, name.c_str(), -1, SQLITE_TRANSIENT);
        ok = sqlite3_step(station) == SQLITE_DONE && sqlite3_reset(station) == SQLITE_OK;
        const sys_days first = year(Year) / January / 1;
        for (int d = 0; ok && d < 365; ++d) {
            const year_month_day date(first + days(d));
            for (int h = 0; ok && h < 24; ++h) {
                char at[32];
                std::snprintf(at, sizeof at, "%04d-%02u-%02u %02d:00:00", Year,
                              static_cast<unsigned>(date.month()),
                              static_cast<unsigned>(date.day()), h);
                noise = noise * 1103515245 + 12345;
                const double t = 10 - 10 * std::cos(2 * std::numbers::pi * (d - 15) / 365) -
                                 4 * std::cos(2 * std::numbers::pi * (h - 3) / 24) +
                                 (noise >> 16) % 40 / 10.0 - 2 - s % 7;
                sqlite3_bind_int(reading, 1, KindOf(s));
                sqlite3_bind_int(reading, 2, CodeOf(s));
                sqlite3_bind_text(reading, 3, at, -1, SQLITE_TRANSIENT);
                sqlite3_bind_double(reading, 4, std::round(t * 10) / 10);
                ok = sqlite3_step(reading) == SQLITE_DONE && sqlite3_reset(reading) == SQLITE_OK;
            }
        }
    }
    sqlite3_finalize(station);
    sqlite3_finalize(reading);
    ok = ok && Execute(db, "COMMIT");
    sqlite3_close(db);
    return ok;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double Percentile90(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() * 9 / 10];
}

struct TCase
{
    const char* name;
    int graph; // 0: the 31-day range
    long day;
};

std::string Query(const TCase& c, int station)
{
    std::string query = "&POSTAJA_TIP=" + std::to_string(KindOf(station)) +
                        "&POSTAJA_IME=" + std::to_string(CodeOf(station)) +
                        "&OD_DAT=" + std::to_string(c.day) + ",767523217589769";
    if (c.graph == 0)
        return query + "&DO_DAT=" + std::to_string(c.day + 32) + ",767523217589769";
    return query + "&TIP_GRAFA=" + std::to_string(c.graph);
}

// What chartd does apart from starting: open, check, query, write the reply.
bool AnswerInProcess(const std::string& path, const std::string& query)
{
    const TParsedQuery parsed = ParseChartQuery(query);
    TChartDatabase database(path);
    if (!parsed.refusal.empty() ||
        database.HasStation(parsed.request.stationKind, parsed.request.stationCode) !=
            std::optional<bool>(true))
        return false;
    const auto rows = database.Rows(parsed.request);
    return rows && !CgiResponse(200, ChartReplyBody(*rows), false).empty();
}

// The whole CGI run: start chartd (or another program) with the request's
// environment, read its output to the end, wait for it; whether it ended well.
bool AnswerAsProcess(const std::string& path, const std::string& query,
                     const char* executable = NIMBULON_CHARTD)
{
    std::vector<std::string> variables{"REQUEST_METHOD=GET", "PATH_INFO=/Load",
                                       "QUERY_STRING=" + query, "NIMBULON_CHART_DB=" + path};
    std::vector<char*> environment;
    for (std::string& variable : variables)
        environment.push_back(variable.data());
    environment.push_back(nullptr);
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    std::string program = executable;
    char* arguments[] = {program.data(), nullptr};
    pid_t pid = 0;
    const int spawned =
        posix_spawn(&pid, program.c_str(), &actions, nullptr, arguments, environment.data());
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    char buffer[65536];
    while (spawned == 0 && read(pipeEnds[0], buffer, sizeof buffer) > 0) {
    }
    close(pipeEnds[0]);
    int status = 0;
    return spawned == 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

template <typename F> std::vector<double> Time(int runs, F answer)
{
    std::vector<double> milliseconds;
    for (int i = 0; i < runs; ++i) {
        const auto start = steady_clock::now();
        if (!answer(i)) {
            std::fprintf(stderr, "bench_chartd: a request failed\n");
            std::exit(1);
        }
        milliseconds.push_back(duration<double, std::milli>(steady_clock::now() - start).count());
    }
    return milliseconds;
}

} // namespace

int main(int argc, char** argv)
{
    std::string folder;
    if (argc > 1) {
        folder = argv[1];
    } else {
        char pattern[] = "/tmp/bench_chartd.XXXXXX";
        if (!mkdtemp(pattern))
            return 1;
        folder = pattern;
    }
    const std::string path = folder + "/chart.sqlite";
    std::remove(path.c_str());
    const auto buildStart = steady_clock::now();
    if (!BuildDatabase(path))
        return 1;
    struct stat info = {};
    stat(path.c_str(), &info);
    std::printf("database: %d stations x 8760 hours = %d readings, %.1f MiB on disk (%.1f bytes "
                "per reading), built in %.1f s\n  %s\n",
                Stations, Stations * 8760, info.st_blocks * 512 / 1048576.0,
                static_cast<double>(info.st_size) / (Stations * 8760),
                duration<double>(steady_clock::now() - buildStart).count(), path.c_str());

    const TCase cases[] = {
        {"day graph", 1, DayNumber(year(Year) / June / 16)},
        {"week", 2, DayNumber(year(Year) / June / 16)},
        {"month", 3, DayNumber(year(Year) / June / 16)},
        {"year", 4, DayNumber(year(Year) / June / 16)},
        {"31-day range", 0, DayNumber(year(Year) / March / 1)},
    };
    constexpr int InProcessRuns = 400;
    constexpr int ProcessRuns = 200;
    std::printf("\n%-14s %8s %22s %22s\n", "request", "rows", "in-process ms", "CGI process ms");
    std::printf("%-14s %8s %11s %10s %11s %10s\n", "", "", "median", "p90", "median", "p90");
    for (const TCase& c : cases) {
        // Stations in turn, so that no answer comes from one station's pages only.
        const auto inProcess = Time(
            InProcessRuns, [&](int i) { return AnswerInProcess(path, Query(c, i % Stations)); });
        const auto process =
            Time(ProcessRuns, [&](int i) { return AnswerAsProcess(path, Query(c, i % Stations)); });
        const TParsedQuery parsed = ParseChartQuery(Query(c, 0));
        TChartDatabase database(path);
        const auto rows = database.Rows(parsed.request);
        std::printf("%-14s %8zu %11.3f %10.3f %11.3f %10.3f\n", c.name, rows ? rows->size() : 0,
                    Median(inProcess), Percentile90(inProcess), Median(process),
                    Percentile90(process));
    }
    // What any process costs here, for comparison: /bin/true with the same
    // environment and pipe.
    const auto bare = Time(ProcessRuns, [&](int i) {
        return AnswerAsProcess(path, Query(cases[0], i % Stations), "/bin/true");
    });
    std::printf("%-14s %8s %11s %10s %11.3f %10.3f\n", "(/bin/true)", "", "", "", Median(bare),
                Percentile90(bare));
    std::printf("\nmedians of %d in-process and %d process runs; goal: a day graph under 5 ms\n",
                InProcessRuns, ProcessRuns);
    if (argc <= 1) {
        std::remove(path.c_str());
        rmdir(folder.c_str());
    }
    return 0;
}
