// Preloaded into norvale-check by load.sh (LD_PRELOAD): as the program exits,
// writes its own peak resident memory, the VmHWM line of /proc/self/status in
// KiB, to the file named by NORVALE_PEAK_RSS_FILE. GNU time cannot give this
// figure: Linux folds the checker processes a program waited for into the
// peak that wait4() reports.

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

char g_target[4096];

__attribute__((constructor)) void Arm()
{
    const char *target = std::getenv("NORVALE_PEAK_RSS_FILE");
    if (!target || std::strlen(target) >= sizeof g_target)
        return;
    std::strcpy(g_target, target);
    // Only this process: the checkers it starts must not load us.
    unsetenv("LD_PRELOAD");
    unsetenv("NORVALE_PEAK_RSS_FILE");
}

__attribute__((destructor)) void Report()
{
    if (!g_target[0])
        return;
    std::FILE *status = std::fopen("/proc/self/status", "r");
    if (!status)
        return;
    char line[256];
    long peak = -1;
    while (std::fgets(line, sizeof line, status)) {
        if (std::strncmp(line, "VmHWM:", 6) == 0)
            peak = std::strtol(line + 6, nullptr, 10);
    }
    std::fclose(status);
    if (std::FILE *out = std::fopen(g_target, "w")) {
        std::fprintf(out, "%ld\n", peak);
        std::fclose(out);
    }
}

} // namespace
