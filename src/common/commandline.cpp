#include "common/commandline.h"

#include "common/paths.h"

namespace tvx {

namespace {

QString programName(ProgramKind program)
{
    return program == ProgramKind::Tarvix ? QStringLiteral("Tarvix") : QStringLiteral("Tarvfix");
}

QString commandName(ProgramKind program) { return programName(program).toLower(); }

bool isHelpWord(const QString &word)
{
    return word == u"--help" || word == u"-h" || word == u"/?" || word == u"-?";
}

CommandLine invalid(ProgramKind program, const QString &why)
{
    CommandLine line;
    line.action = CommandLine::Action::Invalid;
    line.error = why + QStringLiteral("\nA kapcsolók leírása: %1 --help").arg(commandName(program));
    return line;
}

}  // namespace

QStringList argumentsOf(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

CommandLine parseCommandLine(ProgramKind program, const QStringList &arguments)
{
    CommandLine line;
    QStringList programWords;
    bool actionSet = false;
    auto setAction = [&](CommandLine::Action action) {
        // the first of several asks wins: "--version --help" prints the version
        if (!actionSet)
            line.action = action;
        actionSet = true;
    };

    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &word = arguments[i];
        // --name=value and --name value alike
        QString name = word;
        QString value;
        bool hasValue = false;
        if (word.startsWith(u"--")) {
            const qsizetype equals = word.indexOf(u'=');
            if (equals > 0) {
                name = word.left(equals);
                value = word.mid(equals + 1);
                hasValue = true;
            }
        }
        auto takeFolder = [&]() -> bool {
            if (!hasValue) {
                if (i + 1 >= arguments.size())
                    return false;
                value = arguments[++i];
            }
            return !value.trimmed().isEmpty();
        };

        if (isHelpWord(word)) {
            setAction(CommandLine::Action::Help);
        } else if (word == u"--version" || word == u"-v") {
            setAction(CommandLine::Action::Version);
        } else if (name == u"--check") {
            setAction(CommandLine::Action::Check);
        } else if (name == u"--data-set") {
            if (!takeFolder())
                return invalid(program, QStringLiteral("A --data-set után meg kell adni az adatállomány mappáját."));
            line.dataSet = paths::expandFolder(value);
        } else if (name == u"--new-data-set" && program == ProgramKind::Tarvix) {
            if (!takeFolder())
                return invalid(program, QStringLiteral("A --new-data-set után meg kell adni az új adatállomány mappáját."));
            line.newDataSet = paths::expandFolder(value);
            setAction(CommandLine::Action::NewDataSet);
        } else if (name == u"--move-to-server" && program == ProgramKind::Tarvix) {
            if (!takeFolder())
                return invalid(program, QStringLiteral("A --move-to-server után meg kell adni az adatállomány mappáját."));
            line.moveToServer = paths::expandFolder(value);
            setAction(CommandLine::Action::MoveToServer);
        } else if (name == u"--db") {
            if (!takeFolder())
                return invalid(program, QStringLiteral("A --db után meg kell adni az adatbázis kapcsolódási leírását (például \"service=tarvix\")."));
            line.db = value.trimmed();
        } else if (word.startsWith(u"--")) {
            return invalid(program, QStringLiteral("Ismeretlen kapcsoló: %1").arg(word));
        } else if (program == ProgramKind::Tarvfix) {
            programWords << word;
        } else {
            return invalid(program, QStringLiteral("Ismeretlen paraméter: %1").arg(word));
        }
    }
    line.programText = programWords.join(u' ');
    if (line.action == CommandLine::Action::MoveToServer && line.db.isEmpty())
        return invalid(program, QStringLiteral("A --move-to-server mellé a --db kapcsolóval meg kell adni a kiszolgáló adatbázisát."));
    return line;
}

QString versionNumber() { return QStringLiteral(TVX_VERSION); }

QString versionText(ProgramKind program) { return programName(program) + u' ' + versionNumber(); }

QString usageText(ProgramKind program)
{
    if (program == ProgramKind::Tarvix) {
        return QStringLiteral(
            "Használat: tarvix [KAPCSOLÓK]\n"
            "\n"
            "Tarvix – Irattári Nyilvántartás. Kapcsoló nélkül a munkakönyvtárban lévő\n"
            "adatállománnyal indul.\n"
            "\n"
            "  --data-set MAPPA      a MAPPA adatállományával indul; ha ott még nincs\n"
            "                        adatállomány, felajánlja, hogy üresen létrehozza\n"
            "  --new-data-set MAPPA  új, üres adatállományt hoz létre a MAPPA-ban a\n"
            "                        mintákból, majd kilép\n"
            "  --db LEÍRÁS           az adatbázis-kiszolgálón lévő adatállománnyal indul\n"
            "                        (libpq kapcsolódási leírás, például \"service=tarvix\");\n"
            "                        a mappa Tarvix.conninfo állománya helyett\n"
            "  --new-data-set MAPPA --db LEÍRÁS\n"
            "                        új, üres adatállományt hoz létre a kiszolgálón a\n"
            "                        mintákból, és a MAPPA-ba írja a Tarvix.conninfo-t\n"
            "  --move-to-server MAPPA --db LEÍRÁS\n"
            "                        a MAPPA adatállományát minden sorával a kiszolgálóra\n"
            "                        költözteti, és kiírja a táblák sorainak számát\n"
            "  --check               ellenőrzi, hogy megvannak-e a minták, a segédletek\n"
            "                        és a kézikönyv, majd kilép\n"
            "  --version             kiírja a változat számát\n"
            "  --help                kiírja ezt a leírást\n"
            "\n"
            "A MAPPA elején a ~ a saját mappát jelenti. Egy új adatállományba először\n"
            "a \"demo\" felhasználó lép be, üres jelszóval.\n");
    }
    return QStringLiteral(
        "Használat: tarvfix [KAPCSOLÓK] [/s]\n"
        "\n"
        "Tarvfix – a Tarvix adatállományainak újraépítése a mintákból. Az állományokat\n"
        "előbb a SAVE-ÉÉÉÉHHNN-ÓÓPPMM mappába menti, majd soraikat visszamásolja az\n"
        "új állományokba. Kapcsoló nélkül a munkakönyvtárban lévő adatállománnyal\n"
        "dolgozik.\n"
        "\n"
        "  /s                    a Szerver gomb megnyomása nélkül, azonnal indítja az\n"
        "                        újraépítést; a \"Karbantartás vége!\" üzenet után kilép\n"
        "  --data-set MAPPA      a MAPPA adatállományával dolgozik\n"
        "  --db LEÍRÁS           az adatbázis-kiszolgálón lévő adatállománnyal dolgozik\n"
        "                        (libpq kapcsolódási leírás, például \"service=tarvix\")\n"
        "  --check               ellenőrzi, hogy megvannak-e a minták, majd kilép\n"
        "  --version             kiírja a változat számát\n"
        "  --help                kiírja ezt a leírást\n"
        "\n"
        "A MAPPA elején a ~ a saját mappát jelenti.\n");
}

}  // namespace tvx
