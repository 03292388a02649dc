#pragma once
// The game's start-up: title, splash, main window, about box and picture
// window. The program then runs the message loop.

struct TStartOptions {
  // How long the splash pauses the start (tests skip it with 0).
  int splashMs = 2000;
};

// Needs the application object. Leaves Form1, AboutBox and Form3 made and
// the splash gone.
void StartTrovaly(const TStartOptions& options = {});
