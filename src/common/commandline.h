#pragma once

// The two programs' command lines: what a start asks for, the version and the
// usage text. Plain C++, no window; the programs decide before they open one.
//
// Without options both programs keep their old behaviour: the data set is the
// working folder, and Tarvfix takes the rest of its command line ("/s").

#include <QString>
#include <QStringList>

namespace tvx {

enum class ProgramKind { Tarvix, Tarvfix };

struct CommandLine {
    enum class Action {
        Run,         // start the window
        Version,     // print the version
        Help,        // print the usage text
        NewDataSet,  // create an empty data set from the templates (Tarvix)
        MoveToServer,  // move a folder's data set onto the database server (Tarvix)
        Check,       // report whether templates, help documents and manual are found
        Invalid,     // `error` says why
    };
    Action action = Action::Run;
    // --data-set: the data set's folder, made absolute; empty for the working folder
    QString dataSet;
    // --new-data-set: the folder to create the data set in, made absolute
    QString newDataSet;
    // --move-to-server: the folder whose data set moves onto the server, made absolute
    QString moveToServer;
    // --db: a libpq connection string naming the data set's database, which
    // wins over the folder's connection file
    QString db;
    // what is left for the program itself (Tarvfix's "/s"), joined by spaces
    QString programText;
    QString error;
};

// The arguments after the program's name, before any Qt application exists
// (to decide whether a window is needed at all).
QStringList argumentsOf(int argc, char **argv);

// `arguments` without the program's own name.
CommandLine parseCommandLine(ProgramKind program, const QStringList &arguments);

QString versionNumber();
QString versionText(ProgramKind program);
QString usageText(ProgramKind program);

}  // namespace tvx
