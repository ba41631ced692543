// The foreground screen live in this terminal, with the terminal's keys as the phone's.
#pragma once

namespace phone {

// Whether 'attach' can run here; throws Failure saying why not.
void CheckAttachable();

// Shows the screen and sends keys until the quit key (Ctrl-Q or Ctrl-C) or a terminating signal, keeping the
// device running meanwhile (a real clock followed, run-at-time registrations fired). Throws Failure when
// standard input is not a terminal.
void AttachScreen();

} // namespace phone
