// Laptops with an integrated and a discrete GPU run a program on the integrated one unless the
// program asks otherwise. The NVIDIA (Optimus) and AMD (PowerXpress) drivers look for these two
// exported variables in the executable, before DXGI's own preference exists.
#include "platform/win32.h"

extern "C" {
__declspec(dllexport) DWORD NvOptimusEnablement = 1;
__declspec(dllexport) int AmdPowerXpressRequestHighPerformance = 1;
}
