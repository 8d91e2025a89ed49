// Temporary: face generation, until it lands.
#pragma once

#include "core/str.h"

double GenerateFaces(const Str& name, double object);
