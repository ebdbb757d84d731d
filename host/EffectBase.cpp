// Placeholder translation unit; the shell classes arrive with the host boundary.
#include "host/vst2.h"
