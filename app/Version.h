#pragma once
// The program's version (resources/Version.h, made from the project's version).
#include "resources/Version.h"
