// The program's error type; see Errors.h.
#include "core/Errors.h"
