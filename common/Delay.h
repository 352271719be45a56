#pragma once

// Waits the given number of seconds of program time while the user interface
// stays alive: processes pending events, sleeps 10 ms, and repeats until the
// clock is strictly past start + Seconds. Any event handler may run inside.
void Delay(double Seconds);
