// Writes the template database files, and sets up data sets from them.
//   tvx-dataset templates DIR            the six empty files, with their default rows
//   tvx-dataset sample DIR TEMPLATES     a sample data set (only into a folder without database files)

#include "common/hungarian.h"
#include "sampledata.h"
#include "data/schema.h"
#include "data/templates.h"
#include "maintenance/newdataset.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    tvx::useHungarianLocale();
    const QStringList args = app.arguments().mid(1);
    QTextStream err(stderr);
    if (args.size() >= 2 && args[0] == u"templates") {
        QDir dir(args[1]);
        dir.mkpath(QStringLiteral("."));
        for (const auto &file : tvx::data::databaseFiles()) {
            QFile::remove(dir.filePath(file.fileName));
            QFile::remove(dir.filePath(file.fileName + QStringLiteral("-lock")));
        }
        if (const auto e = tvx::data::createDataSetFiles(dir)) {
            err << e.message << "\n";
            return 1;
        }
        for (const auto &file : tvx::data::databaseFiles())
            QFile::remove(dir.filePath(file.fileName + QStringLiteral("-lock")));
        return 0;
    }
    if (args.size() >= 3 && args[0] == u"sample") {
        QDir dir(args[1]);
        // only into a folder without a data set, as `tarvix --new-data-set`
        if (auto e = tvx::maintenance::createDataSet(QDir(args[2]), dir); e) {
            err << e.message << "\n";
            return 1;
        }
        if (auto e = tvx::tools::fillSampleData(dir); e) {
            err << e.message << "\n";
            return 1;
        }
        return 0;
    }
    err << "Használat: tvx-dataset templates MAPPA | tvx-dataset sample MAPPA SABLONMAPPA\n";
    return 2;
}
