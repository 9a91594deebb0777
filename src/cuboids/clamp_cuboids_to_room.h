#pragma once

// Trims every box below cuboidCount to the room box (roomMin, roomMax): a
// bound that reaches the room boundary or beyond it (comparison inclusive)
// is set to the boundary and that face's shown-switch in cuboidFaces is
// cleared, since the room's own wall, floor or ceiling is drawn there.
// Precondition: cuboids and cuboidFaces hold at least cuboidCount records.
void clampCuboidsToRoom();
