#pragma once

// The program's version, as the About box and --version show it.
constexpr const char* kFretlyVersion = "1.0.0.1";
