#pragma once
// Crashes in the middle of writing a file, for tests of work that must be all or nothing. Called in the
// child of a death test: the process ends with SIGXFSZ the moment any write takes a file past `bytes`,
// with no clean-up run, as kill -9 or a power cut would leave it.
#include <csignal>
#include <sys/resource.h>

namespace testsupport {

inline void cortaAlEscribirMasDe(long long bytes) {
  const rlimit sinVolcado{0, 0};
  setrlimit(RLIMIT_CORE, &sinVolcado);
  std::signal(SIGXFSZ, SIG_DFL);
  const rlimit tope{rlim_t(bytes), rlim_t(bytes)};
  setrlimit(RLIMIT_FSIZE, &tope);
}

}  // namespace testsupport
