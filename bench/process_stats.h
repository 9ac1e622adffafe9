// What the benchmark process has used: processor time and memory.
#pragma once

namespace lmx::bench {

// Processor time (user and system, every thread) since the process started, in ms. On a
// machine shared with other work it shows what the work cost when the wall clock cannot.
double ProcessCpuMs();
// The resident size now and at its peak, in MB (0 where unknown).
double ResidentMb();
double PeakResidentMb();

}  // namespace lmx::bench
