#pragma once

// The in-process chip emulator as a kind of serial device: a port whose
// device reads "sim" (or "sim:SV3410") talks to a chipsim::Chip instead of
// a line. Each program registers it at start.

class SerialComm;

namespace chipsim {

class Chip;

// Registers the "sim" kind with the serial object (again is harmless).
void registerSimDevice();
// The in-process chip of port N: created on first use (when N maps to
// "sim"), kept for the life of the application like hardware on a port.
// nullptr when N does not map to the emulator. Registers the kind.
[[nodiscard]] Chip *simulatedChip(int port);
// Forgets every in-process chip (tests start from a fresh chip).
void resetSimulatedChips();
// The chip behind an open port, nullptr when the port is no emulator.
[[nodiscard]] Chip *emulatorOf(const SerialComm &comm);

} // namespace chipsim
