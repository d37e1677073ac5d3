// No header includes itself, yet whole.cpp and parts.h close a circle.
#include "whole.h"

#include "parts.h"
