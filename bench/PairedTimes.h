// The project's way and the direct SQLite way of doing the same work, timed in turns within one benchmark
// iteration each, so a busy machine slows both alike. The medians and their ratios become the benchmark's
// counters: of the wall-clock time, and of the processor time (this process's and that of the child
// processes it waited for), which a machine shared with other work disturbs less.
#pragma once

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <vector>

namespace paired_times {

struct Elapsed {
    double wall; // microseconds
    double cpu;
};

inline double CpuMicroseconds()
{
    double total = 0;
    for (int who : {RUSAGE_SELF, RUSAGE_CHILDREN}) {
        struct rusage usage = {};
        getrusage(who, &usage);
        for (const timeval& t : {usage.ru_utime, usage.ru_stime})
            total += static_cast<double>(t.tv_sec) * 1e6 + static_cast<double>(t.tv_usec);
    }
    return total;
}

template <typename Work>
Elapsed Measure(Work&& work)
{
    double cpu = CpuMicroseconds();
    auto start = std::chrono::steady_clock::now();
    work();
    double wall = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
    return {wall, CpuMicroseconds() - cpu};
}

inline double Median(std::vector<double> samples)
{
    if (samples.empty())
        return 0;
    std::sort(samples.begin(), samples.end());
    size_t middle = samples.size() / 2;
    return samples.size() % 2 ? samples[middle] : (samples[middle - 1] + samples[middle]) / 2;
}

class PairedTimes {
public:
    // Each call runs one turn of both ways; `per` divides the times (say, by the rows read in a turn).
    template <typename Ours, typename Direct>
    void Turn(Ours&& ours, Direct&& direct, double per = 1)
    {
        Record(m_ours, Measure(ours), per);
        Record(m_direct, Measure(direct), per);
    }

    // Adds to the last turn of ours the processor time of a process it started and did not wait for, which
    // the turn's own measure cannot see.
    void AddToLastOfOurs(double cpuMicroseconds)
    {
        if (!m_ours.cpu.empty())
            m_ours.cpu.back() += cpuMicroseconds;
    }

    // project_us and sqlite_us: the wall-clock medians, ratio: how many times the direct way's median ours
    // takes; the same of processor time as project_cpu_us, sqlite_cpu_us and cpu_ratio.
    void Report(benchmark::State& state) const
    {
        double ours = Median(m_ours.wall), direct = Median(m_direct.wall);
        state.counters["project_us"] = ours;
        state.counters["sqlite_us"] = direct;
        state.counters["ratio"] = direct > 0 ? ours / direct : 0;
        double oursCpu = Median(m_ours.cpu), directCpu = Median(m_direct.cpu);
        state.counters["project_cpu_us"] = oursCpu;
        state.counters["sqlite_cpu_us"] = directCpu;
        state.counters["cpu_ratio"] = directCpu > 0 ? oursCpu / directCpu : 0;
    }

private:
    struct Samples {
        std::vector<double> wall;
        std::vector<double> cpu;
    };

    static void Record(Samples& samples, Elapsed elapsed, double per)
    {
        samples.wall.push_back(elapsed.wall / per);
        samples.cpu.push_back(elapsed.cpu / per);
    }

    Samples m_ours;
    Samples m_direct;
};

} // namespace paired_times
