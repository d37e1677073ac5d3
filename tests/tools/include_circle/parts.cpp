#include "parts.h"
