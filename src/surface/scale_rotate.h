// Scale-and-rotate blits between 8-bit surfaces, and the heading function the saver steers with.
// Plain C entry points, in the shape of the sprite library they stand in for.
#pragma once

#include <cstdint>

extern "C" {

// Draws the source cell scaled by zoom and turned by angle about its pivot, the pivot landing on the
// destination pivot point (both pivots relative to their rectangle's top-left corner). Writes only inside the
// destination rectangle and reads only inside the source cell.
// Sampling: each destination pixel centre is mapped back into the cell; pixel squares are half-open, so a
// sample exactly on an edge belongs to the pixel to its right or below.
// Source pixels equal to the key are not drawn: any negative key means index 0, a key above 255 draws every
// pixel. A zoom or angle that is zero, negative (zoom), NaN or infinite draws nothing.
void LS8_ScaleRotate(uint8_t* destBits, int16_t destPitch, int16_t destLeft, int16_t destTop, int16_t destPivotX,
                     int16_t destPivotY, int16_t destWidth, int16_t destHeight, const uint8_t* srcBits,
                     int16_t srcPitch, int16_t srcLeft, int16_t srcTop, int16_t srcPivotX, int16_t srcPivotY,
                     int16_t srcWidth, int16_t srcHeight, float angle, float zoom, int16_t key);

// The same with an 8-bit key: source pixels equal to it are not drawn.
void LS8_ScaleRotateMask(uint8_t* destBits, int16_t destPitch, int16_t destLeft, int16_t destTop,
                         int16_t destPivotX, int16_t destPivotY, int16_t destWidth, int16_t destHeight,
                         const uint8_t* srcBits, int16_t srcPitch, int16_t srcLeft, int16_t srcTop,
                         int16_t srcPivotX, int16_t srcPivotY, int16_t srcWidth, int16_t srcHeight, float angle,
                         float zoom, uint8_t key);

// The heading, in radians within -pi .. pi, of the direction (dx, dy) with y downward; finite for (0, 0).
float LS8_ArcTan(float dy, float dx);

}
