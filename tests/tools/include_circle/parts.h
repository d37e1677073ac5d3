// A fixture of tools/include_graph.py: with whole.h, two parts that depend on each other.
#include "whole.h"
