#include "platform/ResourceSound.h"

#include "platform/SoundPlayer.h"

#include <QCoreApplication>
#include <QFile>
#include <QHash>
#include <QSoundEffect>
#include <QUrl>

namespace vx {

namespace {

class OutputPlayer : public ResourceSoundPlayer
{
public:
    void play(const QString &name) override
    {
        const QString path = QStringLiteral(":/sounds/") + name + QStringLiteral(".wav");
        if (!QFile::exists(path) || !SoundPlayer::hasOutputDevice())
            return;
        QSoundEffect *&effect = mEffects[name];
        if (!effect) {
            // Kept for the program's life: a click follows a click.
            effect = new QSoundEffect(QCoreApplication::instance());
            effect->setSource(QUrl(QStringLiteral("qrc") + path));
        }
        effect->play();
    }

private:
    QHash<QString, QSoundEffect *> mEffects;
};

ResourceSoundPlayer *gPlayer = nullptr;

ResourceSoundPlayer &player()
{
    static OutputPlayer output;
    return gPlayer ? *gPlayer : output;
}

} // namespace

ResourceSoundPlayer *setResourceSoundPlayer(ResourceSoundPlayer *p)
{
    ResourceSoundPlayer *old = gPlayer;
    gPlayer = p;
    return old;
}

void PlayResourceSound(const QString &name)
{
    player().play(name);
}

} // namespace vx
