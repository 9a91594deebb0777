#pragma once

// Names of the fifteen category indexes (0 "None" .. 14 "Window") used by
// planes, cuboids and rectangle groups.
extern const char* const CategoryNames[15];

// Names of the material bits: index k (1..11) is bit k of a material code.
// Index 0 is never written out.
extern const char* const MaterialNames[12];
