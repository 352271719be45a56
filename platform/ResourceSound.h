#pragma once

#include <QString>

namespace vx {

// Plays the program's own short sounds, kept in its resources as
// ":/sounds/<name>.wav", without waiting for them to end.
class ResourceSoundPlayer
{
public:
    virtual ~ResourceSoundPlayer() = default;
    virtual void play(const QString &name) = 0;
};

// Installs player (not owned; null restores the one on the sound output).
// Returns the previous one.
ResourceSoundPlayer *setResourceSoundPlayer(ResourceSoundPlayer *player);

// Starts the sound of that name ("CLICK"). A sound that is missing, or a
// system with no sound output, plays nothing and says nothing.
void PlayResourceSound(const QString &name);

} // namespace vx
