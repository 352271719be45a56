#pragma once

// Compiling the active sound library window into a compiled sound library
// (".sfx") with the compile window up, and offering the result for download.

// Asks for the output file, then checks that every sound is there, converts
// and appends each one and completes the file, showing each stage in
// frmSLCProgress; CompilingLibrary is set meanwhile. Cancel (or closing the
// compile window) stops it after the current sound. Only a complete library
// is left on disk: a compile that fails or is cancelled leaves no file of
// the output's name at all. With a chip configured the user may download
// the result at once.
void CompileSoundLibrary();
