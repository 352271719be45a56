#pragma once

// The component objects the main program creates at start-up and keeps for
// its whole life: the sound converter, the dictionary compiler and the music
// score compiler. Null before start-up, after shutdown, and while a
// component is not part of the build.

class cSonvert;
class cLexmold;
class cCantorel;

inline cSonvert *cSonv = nullptr;          // its TargetPath is the temporary folder
inline cLexmold *DicCompiler = nullptr;
inline cCantorel *MusicCompiler = nullptr;
