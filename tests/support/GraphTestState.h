#pragma once
// Both states a graph window is given, in one object for the tests.
#include "graph/GraphWindowsState.h"
#include "link/LinkState.h"

struct GraphTestState : LinkState, GraphWindowsState {};
