#pragma once

// The report of a rebuild, shared by the runs on files and on the server.

#include "maintenance/rebuild.h"

#include <QFile>

namespace tvx::maintenance {

// What a run did to every file and table, written as it goes so that an
// abandoned run leaves it too.
class Rebuild::Report {
public:
    explicit Report(const QString &path) : file_(path)
    {
        written_ = file_.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text);
    }
    void line(const QString &text)
    {
        if (!written_)
            return;
        file_.write(text.toUtf8());
        file_.write("\n");
        written_ = file_.flush();
    }
    bool written() const { return written_; }
    QString path() const { return file_.fileName(); }

private:
    QFile file_;
    bool written_ = false;
};

}  // namespace tvx::maintenance
