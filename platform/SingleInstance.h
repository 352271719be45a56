#pragma once

#include <QString>

#include <memory>

class QLockFile;

namespace vx {

// Holds a per-user lock for the life of the program, so that a second start
// of the same program can tell that the first runs. A lock left by a program
// that died is taken over.
class SingleInstance
{
public:
    explicit SingleInstance(const QString &program);
    ~SingleInstance();

    // True when this process holds the lock (no other instance runs).
    [[nodiscard]] bool isFirst() const { return mFirst; }

private:
    std::unique_ptr<QLockFile> mLock;
    bool mFirst = false;
};

} // namespace vx
