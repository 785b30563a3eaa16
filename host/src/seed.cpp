// The game seeds rand() with the time; a replay fixes the seed instead
// (GLOOMGRID_HOST_SEED). The program is linked with --wrap=srand.
#include "host/control.h"

extern "C" void __real_srand(unsigned seed);
extern "C" void __wrap_srand(unsigned seed) {
  __real_srand(host::settings().fixedSeed ? host::settings().seed : seed);
}
