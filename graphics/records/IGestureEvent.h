#pragma once
// IGestureEvent: a recognised touch gesture handed to IControl::OnTouchGesture.
// Kind keys the control's gesture-handler map. Nothing in this system
// recognises gestures yet, so no producer fills these records; the shape is
// kept so that controls can register handlers ahead of one.

#include <cstdint>

namespace plugkit {
namespace canvas {

struct IGestureEvent {
  int32_t Kind = 0;        // the gesture kind (the handler map's key)
  float X = 0.0f;          // logical pixels
  float Y = 0.0f;
  float Scale = 1.0f;      // pinch: current spread over the starting spread
  float Velocity = 0.0f;   // swipe or pan speed in logical pixels per second
  float AngleDegrees = 0.0f;  // rotation, clockwise
};

} // namespace canvas
} // namespace plugkit
