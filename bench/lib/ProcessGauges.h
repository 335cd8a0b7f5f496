#pragma once

#include <dirent.h>
#include <sys/resource.h>
#include <time.h>

// What the benchmarks measure of their own process, shared so every figure is taken the same way.
namespace ProcessGauges {

// User plus system CPU time of this process so far.
inline double cpuMs()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000.0
            + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0;
}

// CPU time of the calling thread: one thread's share, whatever runs beside it.
inline double threadCpuMs()
{
    timespec now {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1000.0 + now.tv_nsec / 1e6;
}

// Counted with readdir alone: a listing that stats every entry, ten times a second, added its own
// cost to the CPU time the sweep reports for the product.
inline int countEntries(const char *path)
{
    DIR *dir = opendir(path);
    if (!dir)
        return 0;
    int count = 0;
    while (const dirent *entry = readdir(dir)) {
        if (entry->d_name[0] != '.')
            ++count;
    }
    closedir(dir);
    return count;
}

}
