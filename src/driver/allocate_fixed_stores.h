#pragma once

// Reserves the fixed-capacity containers of the scene store: the mesh store
// (1,000,000 vertices, 3,000,000 rectangles, faces as a 32-bit int matrix of
// 8 columns), the four 1000-slot containers of the cuboid stage, and clears
// the fifteen category counters. Reserving touches no memory, so the
// capacities cost address space only; every container can still grow.
void allocateFixedStores();
