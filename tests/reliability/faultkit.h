#pragma once

// Data set files as they break in an office: cut short by a copy that did not
// finish, overwritten with text, emptied, full of noise; folders that cannot
// be written and disks that fill up, for real where the machine lets a test
// mount file systems, and always through the engine's file layer.

#include <QByteArray>
#include <QDir>
#include <QString>
#include <QStringList>

namespace faults {

QByteArray readBytes(const QString &path);
bool writeBytes(const QString &path, const QByteArray &bytes);

// DamagedPages: every page but the first overwritten with noise, the size
// kept: the file opens, its tables do not read.
enum class Breakage { Text, Empty, Noise, CutInHeader, CutMidPage, LastPageMissing, DamagedPages };
QString breakageName(Breakage breakage);
const QList<Breakage> &allBreakages();
// Breaks the database file at `path` the given way; false when it could not.
bool breakFile(const QString &path, Breakage breakage);
// The beginning every message about such a file starts with.
QString brokenMessageStart(const QString &fileName, Breakage breakage);

// The engine's own check of a file: "ok" for a sound one.
QString integrity(const QString &path);

// Every file of the five data set files and their row counts, read through
// the engine directly: equal before and after means nothing was written.
QString contentsOf(const QDir &dir);

// Texts that only the engine or the system would show, never a screen.
bool looksForeign(const QString &text);

// Mounts. The test process runs in a mount namespace of its own when the
// machine lets it (root with the right to mount), so that every mount dies
// with it; otherwise none of this is available and the tests skip that part.
bool canMount();

// `dir` itself, read-only, from now on (paths opened before keep writing).
class ReadOnlyMount {
public:
    explicit ReadOnlyMount(const QString &dir);
    ~ReadOnlyMount();
    bool mounted() const { return mounted_; }

private:
    QString dir_;
    bool mounted_ = false;
};

// A small file system at `dir`; fill() takes every byte left.
class SmallDisk {
public:
    SmallDisk(const QString &dir, qint64 bytes);
    ~SmallDisk();
    bool mounted() const { return mounted_; }
    bool fill();
    void release();  // the space fill() took comes back

private:
    QString dir_;
    bool mounted_ = false;
};

}  // namespace faults
