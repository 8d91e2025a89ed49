// Times the project's code and a plain reference on the same work in one benchmark run, and
// reports both per-iteration times and their ratio (project / reference) as counters. Times are
// the thread's CPU time (the kernel's share included), so other work on a shared machine does not
// tilt the ratio.
#pragma once

#include <benchmark/benchmark.h>

#include <time.h>

namespace bench {

inline double ThreadSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

template <class Work>
double SecondsOf(Work& work) {
  const double start = ThreadSeconds();
  work();
  return ThreadSeconds() - start;
}

template <class Project, class Reference>
void SideBySide(benchmark::State& state, Project project, Reference reference) {
  double projectSeconds = 0, referenceSeconds = 0;
  bool projectFirst = true;  // alternated, so neither side always meets the other's leftovers
  for (auto _ : state) {
    if (projectFirst) projectSeconds += SecondsOf(project);
    referenceSeconds += SecondsOf(reference);
    if (!projectFirst) projectSeconds += SecondsOf(project);
    projectFirst = !projectFirst;
  }
  const double runs = double(state.iterations());
  state.counters["project_ms"] = projectSeconds * 1e3 / runs;
  state.counters["reference_ms"] = referenceSeconds * 1e3 / runs;
  state.counters["ratio"] = projectSeconds / referenceSeconds;
}

}  // namespace bench
