#pragma once

// The help topics the main program's windows and messages open, besides
// the menu items' own (the menu table carries those). Each has its section,
// anchored "topic" and the number, in Docs/Voxmere_Help.html.
namespace vx::help {

inline constexpr int kCompatibilityQuery = 182;
inline constexpr int kCommunicationError = 184;
inline constexpr int kGeneralSettings = 289; // also the greeting's length limit
inline constexpr int kSoundLibrarySettings = 292; // also a sound editor that cannot be found
inline constexpr int kAppearanceSettings = 294;
inline constexpr int kDictionaryRules = 347;
inline constexpr int kScoreLanguage = 362;
inline constexpr int kDictionarySettings = 417;

inline constexpr int kTopics[] = {kCompatibilityQuery, kCommunicationError, kGeneralSettings,
                                  kSoundLibrarySettings, kAppearanceSettings, kDictionaryRules,
                                  kScoreLanguage, kDictionarySettings};

} // namespace vx::help
