#pragma once

// Appends one rectangle for room plane planeIndex (type 7 wall x = position,
// 9 wall y = position, 8 floor or ceiling z = position): 4 vertices at
// vertexCount.. and one face row at rectangleCount, wound so that the quad's
// right-hand normal points toward the origin. Vertex colours come from the
// plane's own category. Advances vertexCount by 4 and rectangleCount by 1.
// A plane index outside the plane list, or a type that truncates to none of
// 7, 8, 9, appends nothing.
void emitPlaneRectangle(int planeIndex);
