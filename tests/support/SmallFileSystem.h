#pragma once

#include <QString>

namespace velmora::test {

// A real file system that runs full: a small tmpfs mounted on a directory while it lives (needs root).
// `ok` is false when it could not be mounted.
class SmallFileSystem {
public:
    static constexpr qint64 PageBytes = 4096; // tmpfs hands out space a page at a time

    SmallFileSystem(const QString& mountPoint, qint64 bytes);
    ~SmallFileSystem();
    SmallFileSystem(const SmallFileSystem&) = delete;
    SmallFileSystem& operator=(const SmallFileSystem&) = delete;

    // Fills the file system with a file of its own until only `freeBytes` (whole pages) are left.
    void fillLeaving(qint64 freeBytes);
    // Removes that file again.
    void makeRoom();

    bool ok = false;

private:
    QString mountPoint;
    QString filler;
};

} // namespace velmora::test
