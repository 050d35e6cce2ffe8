#pragma once

// "--check": whether a program finds what ships with it, for the person who
// installed it. Plain C++, no window.

#include <QDir>
#include <QStringList>

class QTextStream;

namespace tvx::maintenance {

struct InstallationReport {
    QStringList lines;
    bool ok = true;
    void good(const QString &what, const QString &detail);
    void bad(const QString &what, const QString &detail);
    // Every line, then the verdict; the program's exit code (0 when all is well).
    int print(QTextStream &out) const;
};

// The program folder, the templates, the given help documents, and the data
// set folder (a folder without a data set is reported; one with some of its
// files missing is a fault).
void checkProgramFiles(InstallationReport &report, const QStringList &helpScreens);
void checkDataSetFolder(InstallationReport &report, const QDir &dataSet);

}  // namespace tvx::maintenance
