// Start-up against a bare window: the time from exec to the program's window being mapped on the
// display (DISPLAY, with a window manager running), and the page faults of the process until
// then, in interleaved pairs. Each program is ended with SIGTERM once its window shows.
// Usage: bench_Startup PAIRS PROGRAM BARE-PROGRAM
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{
struct Sample
{
    double ms;
    long faults;
};

// Returns once a new top-level window (or the window manager's frame around it) is mapped.
bool waitForMap(xcb_connection_t *connection)
{
    while (xcb_generic_event_t *event = xcb_wait_for_event(connection)) {
        const bool mapped = (event->response_type & 0x7f) == XCB_MAP_NOTIFY
            && !reinterpret_cast<xcb_map_notify_event_t *>(event)->override_redirect;
        std::free(event);
        if (mapped)
            return true;
    }
    return false;
}

Sample run(xcb_connection_t *connection, const char *program)
{
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        execl(program, program, static_cast<char *>(nullptr));
        _exit(127);
    }
    if (!waitForMap(connection)) {
        std::fprintf(stderr, "the display went away\n");
        std::exit(1);
    }
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    // The faults until the window shows: read before the end, which has its own.
    long faults = -1;
    char path[64];
    std::snprintf(path, sizeof path, "/proc/%d/stat", child);
    if (FILE *stat = std::fopen(path, "r")) {
        // Field 10 is minflt, 12 majflt; the command name (field 2) holds no spaces here.
        long minflt = 0, majflt = 0;
        if (std::fscanf(stat, "%*d %*s %*c %*d %*d %*d %*d %*d %*u %ld %*u %ld", &minflt, &majflt) == 2)
            faults = minflt + majflt;
        std::fclose(stat);
    }
    kill(child, SIGTERM);
    int status = 0;
    waitpid(child, &status, 0);
    return {ms, faults};
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void report(const char *name, const std::vector<Sample> &samples)
{
    std::vector<double> ms, faults;
    for (const Sample &s : samples) {
        ms.push_back(s.ms);
        faults.push_back(double(s.faults));
    }
    std::printf("%-6s ms min %.1f median %.1f max %.1f; faults median %.0f\n", name,
                *std::min_element(ms.begin(), ms.end()), median(ms), *std::max_element(ms.begin(), ms.end()),
                median(faults));
}
}

int main(int argc, char **argv)
{
    if (argc != 4)
        return 2;
    const int pairs = std::atoi(argv[1]);
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection))
        return 1;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection, root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(connection);

    std::vector<Sample> program, bare, ratio;
    for (int pair = 0; pair < pairs; ++pair) {
        // Which goes first alternates, so neither always meets the caches the other left.
        const bool programFirst = pair % 2 == 0;
        const Sample first = run(connection, programFirst ? argv[2] : argv[3]);
        const Sample second = run(connection, programFirst ? argv[3] : argv[2]);
        program.push_back(programFirst ? first : second);
        bare.push_back(programFirst ? second : first);
        ratio.push_back({program.back().ms / bare.back().ms, 0});
    }
    report("program", program);
    report("bare", bare);
    std::vector<double> ratios;
    for (const Sample &s : ratio)
        ratios.push_back(s.ms);
    std::printf("median of the pairs' ratios %.2f; ratio of the medians %.2f\n", median(ratios),
                median([&] {
                    std::vector<double> v;
                    for (const Sample &s : program)
                        v.push_back(s.ms);
                    return v;
                }()) / median([&] {
                    std::vector<double> v;
                    for (const Sample &s : bare)
                        v.push_back(s.ms);
                    return v;
                }()));
    xcb_disconnect(connection);
    return 0;
}
