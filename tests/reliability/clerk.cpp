// One clerk at one workstation: opens the real screens headless and does what
// clerks do, in a random order, on the data set in DIR, until the time is up.
// Every operation that a screen confirmed is written to the journal (and
// flushed to the disk) before the next one starts, so whatever happens to the
// process afterwards, the journal never claims more than the clerk was told.
//
//   tvx-clerk DIR JOURNAL --clerk N --seed S --seconds T [--ops LIST] [--die-at-write K]
//
// LIST is a comma-separated subset of: entry, edit, partner, template,
// attachment, debt, delete, user, password (all of them by default).
// --die-at-write ends the process with SIGKILL at its K-th write to any file
// of the data set, as a crash or a power cut would.
//
// Journal lines, tab-separated:
//   entry RECORDID IKTATOSZAM CONTRACT     a filing entry saved ("MENTVE")
//   edit VALUE                             the shared entry's note saved
//   tried VALUE                            a note typed but refused (it may still land later)
//   partner RECORDID NAME                  a partner saved
//   template JELLEG                        a filing-number template saved
//   attachment RECORDID IKTATOSZAM         an attachment record saved
//   debt OKMANYSZAM                        an invoice debt saved
//   delete RECORDID                        an entry deleted (archived first)
//   user NAME                              a user created
//   password NAME PASSWORD                 a password changed
// Last line: "done OPS LOCKS OTHER" — operations confirmed, lock messages seen,
// other messages seen.

#include "attachments/iktatasmellekletekformx.h"
#include "common/hungarian.h"
#include "common/session.h"
#include "filing/iktatasformx.h"
#include "filing/parameterformx.h"
#include "filing/szamlatartozasformx.h"
#include "partners/beraktarozokformx.h"
#include "support/faultvfs.h"
#include "support/scriptedplatform.h"
#include "users/felhjelszovaltoztatformx.h"
#include "users/menuujfelhasznaloform.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QThread>

#include <csignal>
#include <cstdio>
#include <random>
#include <unistd.h>

using namespace tvx;

namespace {

const QStringList kAllOperations{QStringLiteral("entry"), QStringLiteral("edit"),   QStringLiteral("partner"),
                                 QStringLiteral("template"), QStringLiteral("attachment"), QStringLiteral("debt"),
                                 QStringLiteral("delete"), QStringLiteral("user"), QStringLiteral("password")};

// Messages that mean "someone else has it now, try again".
bool isLockMessage(const ShownMessage &m)
{
    static const QStringList texts{QStringLiteral("Az adat jelenleg zárolt! Próbálja újra!"), QStringLiteral("Az adat zárolt!"),
                                   QStringLiteral("Az adatot egy másik munkahely éppen használja, ezért nem törlődött! Próbálja újra!")};
    return texts.contains(m.text) || m.text.contains(QStringLiteral("éppen írja")) || m.text.contains(QStringLiteral("zárolt"));
}

class Journal {
public:
    explicit Journal(const QString &path) : file_(path)
    {
        if (!file_.open(QIODevice::WriteOnly | QIODevice::Append))
            qFatal("cannot write the journal %s", qPrintable(path));
    }
    void write(const QStringList &fields)
    {
        file_.write((fields.join(u'\t') + u'\n').toUtf8());
        file_.flush();
        ::fsync(file_.handle());
    }

private:
    QFile file_;
};

class Clerk {
public:
    Clerk(int number, quint32 seed, Journal &journal) : number_(number), random_(seed), journal_(journal)
    {
        if (qEnvironmentVariableIsSet("TVX_CLERK_TRAP"))  // stops in a debugger at an unexpected message
            platform_.onMessage = [](const ShownMessage &m) {
                if (m.buttons != MessageButtons::YesNo && !isLockMessage(m) && !m.text.startsWith(QStringLiteral("Minden adat")))
                {
                    std::fprintf(stderr, "unexpected: %s | %s\n", qPrintable(m.title), qPrintable(m.text));
                    std::raise(SIGTRAP);
                }
            };
    }

    int confirmed = 0;
    int lockMessages = 0;
    int otherMessages = 0;

    void run(const QStringList &operations, qint64 milliseconds)
    {
        ownUser_ = QStringLiteral("ügyintéző %1").arg(number_);
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < milliseconds) {
            platform_.fixedClock.set(QDateTime::currentDateTime());
            const QString op = operations[int(random_() % quint32(operations.size()))];
            operation_ = op;
            ++serial_;
            if (op == u"entry")
                newEntry();
            else if (op == u"edit")
                editSharedEntry();
            else if (op == u"partner")
                newPartner();
            else if (op == u"template")
                newTemplate();
            else if (op == u"attachment")
                newAttachment();
            else if (op == u"debt")
                newDebt();
            else if (op == u"delete")
                deleteEntry();
            else if (op == u"user")
                newUser(QStringLiteral("közös %1").arg(random_() % 40));
            else if (op == u"password")
                changePassword();
            countMessages();
        }
    }

private:
    QString tag() const { return QStringLiteral("%1-%2").arg(number_).arg(serial_); }

    void countMessages()
    {
        for (const ShownMessage &m : platform_.messages) {
            if (m.buttons == MessageButtons::YesNo)
                continue;  // questions the clerk answered
            if (isLockMessage(m))
                ++lockMessages;
            else {
                ++otherMessages;
                std::fprintf(stderr, "clerk %d, %s: %s | %s\n", number_, qPrintable(operation_), qPrintable(m.title), qPrintable(m.text));
            }
        }
        platform_.messages.clear();
    }
    bool quiet() const
    {
        for (const ShownMessage &m : platform_.messages)
            if (m.buttons != MessageButtons::YesNo)
                return false;
        return true;
    }
    void confirm(const QStringList &fields)
    {
        journal_.write(fields);
        ++confirmed;
    }

    static void type(QLineEdit *field, const QString &text)
    {
        field->setFocus();
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Delete);
        for (const QChar c : text)
            QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }

    // The filing screen narrowed to one entry by the filing-number search.
    bool findEntry(IktatasFormX &screen, const QString &number)
    {
        platform_.inputs.enqueue(number);
        screen.Command5->click();
        return quiet() && screen.Label18->text() == number;
    }

    void newEntry()
    {
        IktatasFormX screen;
        screen.activation();
        screen.modify();
        screen.newEntry();
        if (!quiet())
            return;
        const QString id = handOver().currentFilingId;
        const QString contract = QStringLiteral("Szerződés %1").arg(tag());
        type(screen.Text2, contract);
        type(screen.Text3, QStringLiteral("Ügy „%1”").arg(tag()));
        type(screen.Text9, QStringLiteral("K%1").arg(number_));
        type(screen.Text10, QStringLiteral("/"));
        type(screen.Text11, QString::number(serial_));
        screen.ok();
        const QString number = QStringLiteral("K%1/%2").arg(number_).arg(serial_);
        if (quiet() && screen.Label7->text() == QStringLiteral("MENTVE")) {
            confirm({QStringLiteral("entry"), id, number, contract});
            ownEntries_ << number;
        }
        screen.Kilepes();
    }

    void editSharedEntry()
    {
        IktatasFormX screen;
        screen.activation();
        if (!findEntry(screen, QStringLiteral("KÖZÖS/1"))) {
            screen.Kilepes();
            return;
        }
        screen.modify();
        const QString value = QStringLiteral("jegyzet %1").arg(tag());
        type(screen.Text5, value);
        QThread::msleep(random_() % 40);  // the entry stays locked while the clerk reads it over
        // a clerk who is told the entry is locked tries again a few times
        for (int attempt = 0; attempt < 4; ++attempt) {
            platform_.messages.clear();
            screen.ok();
            if (quiet() && screen.Label7->text() == QStringLiteral("MENTVE")) {
                confirm({QStringLiteral("edit"), value});
                screen.Kilepes();
                return;
            }
            countMessages();
            QThread::msleep(20 + random_() % 60);
        }
        journal_.write({QStringLiteral("tried"), value});
        screen.Kilepes();
    }

    void newPartner()
    {
        BeraktarozokFormX screen;
        screen.activation();
        screen.newPartner();
        if (!quiet()) {
            screen.Kilepes();
            return;
        }
        const QString id = screen.RecordIdLabel->text();
        const QString name = QStringLiteral("Partner %1 O'Brien \"Kft.\"").arg(tag());
        type(screen.BerNevText, name);
        screen.confirmPartner();
        if (quiet())
            confirm({QStringLiteral("partner"), id, name});
        screen.Kilepes();
    }

    void newTemplate()
    {
        ParameterFormX screen;
        screen.activation();
        screen.newTemplate();
        if (!quiet()) {
            screen.Kilepes();
            return;
        }
        const QString jelleg = QStringLiteral("Jelleg %1").arg(tag());
        type(screen.Text1, jelleg);
        type(screen.Text2, QStringLiteral("J"));
        screen.confirm();
        if (quiet())
            confirm({QStringLiteral("template"), jelleg});
        screen.Kilepes();
    }

    void newAttachment()
    {
        const QString entryId = handOver().currentFilingId;
        if (entryId.isEmpty())
            return;
        handOver().singleEntryAttachments = true;
        IktatasMellekletekFormX screen;
        screen.activation();
        if (!screen.newAttachment()) {
            screen.Kilepes();
            return;
        }
        const QString number = QStringLiteral("M%1").arg(tag());
        type(screen.Text1, number);
        screen.ok();
        if (quiet())
            confirm({QStringLiteral("attachment"), entryId, number});
        screen.Kilepes();
    }

    void newDebt()
    {
        handOver().currentPartnerName.clear();
        SzamlaTartozasFormX screen;
        screen.activation();
        screen.newDebt();
        if (!quiet()) {
            screen.Kilepes();
            return;
        }
        const QString document = QStringLiteral("Számla %1").arg(tag());
        type(screen.Text2, document);
        type(screen.Text3, QStringLiteral("1234,5"));
        screen.Kilepes();  // the exit routine saves what was typed
        if (quiet())
            confirm({QStringLiteral("debt"), document});
    }

    void deleteEntry()
    {
        if (ownEntries_.isEmpty())
            return;
        const QString number = ownEntries_.takeAt(int(random_() % quint32(ownEntries_.size())));
        IktatasFormX screen;
        screen.activation();
        if (!findEntry(screen, number)) {
            ownEntries_ << number;
            screen.Kilepes();
            return;
        }
        const QString id = screen.Label2->text();
        platform_.answers.enqueue(Answer::Yes);
        screen.deleteEntry();
        platform_.answers.clear();
        // the list was narrowed to this one entry, so the screen says it is empty now
        if (!platform_.messages.isEmpty() && platform_.lastText() == QStringLiteral("Minden adat törölve! Kilépés a főmenüre!"))
            platform_.messages.removeLast();
        if (quiet())
            confirm({QStringLiteral("delete"), id});
        else
            ownEntries_ << number;
        screen.Kilepes();
    }

    bool newUser(const QString &name)
    {
        menuUjFelhasznaloForm screen;
        screen.Text1->setText(QStringLiteral("demo"));
        screen.Text2->clear();
        screen.Command1->click();
        if (!quiet()) {
            screen.Kilepes();
            return false;
        }
        screen.Text3->setText(name);
        screen.Text4->setText(QStringLiteral("jelszó"));
        screen.Text5->setText(QStringLiteral("1"));
        screen.command3->click();
        const bool saved = quiet();
        if (saved)
            confirm({QStringLiteral("user"), name});
        else if (platform_.lastText() == QStringLiteral("Már létezik ilyen felhasználó! Adjon meg másik nevet!"))
            platform_.messages.clear();  // taken by another clerk: not a failure
        screen.Kilepes();
        return saved;
    }

    void changePassword()
    {
        if (!hasOwnUser_) {
            hasOwnUser_ = newUser(ownUser_);
            ownPassword_ = QStringLiteral("jelszó");
            return;
        }
        currentUser() = CurrentUser{ownUser_, ownPassword_, 1};
        FelhJelszoValtoztatFormX screen;
        const QString next = QStringLiteral("j%1").arg(serial_ % 100000);
        screen.Text1->setText(ownPassword_);
        screen.ok1();
        screen.Text2->setText(next);
        screen.ok2();
        screen.Text3->setText(next);
        screen.ok3();
        if (quiet()) {
            ownPassword_ = next;
            confirm({QStringLiteral("password"), ownUser_, next});
        }
        screen.Kilepes();
    }

    int number_;
    std::mt19937 random_;
    Journal &journal_;
    ScriptedPlatform platform_;
    int serial_ = 0;
    QString operation_;
    QStringList ownEntries_;    // filing numbers of this clerk's entries not deleted yet
    QString ownUser_, ownPassword_;
    bool hasOwnUser_ = false;
};

QString option(const QStringList &args, const QString &name, const QString &fallback = {})
{
    const int at = int(args.indexOf(name));
    return at >= 0 && at + 1 < args.size() ? args[at + 1] : fallback;
}

}  // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    const QString journalPath = args.size() < 2 ? QString() : QFileInfo(args[1]).absoluteFilePath();
    if (args.size() < 2 || !QDir::setCurrent(args[0])) {
        std::fputs("usage: tvx-clerk DIR JOURNAL --clerk N --seed S --seconds T [--ops LIST] [--die-at-write K]\n", stderr);
        return 2;
    }
    useHungarianLocale();
    Journal journal(journalPath);
    const int number = option(args, QStringLiteral("--clerk"), QStringLiteral("1")).toInt();
    const quint32 seed = option(args, QStringLiteral("--seed"), QStringLiteral("1")).toUInt();
    const double seconds = option(args, QStringLiteral("--seconds"), QStringLiteral("5")).toDouble();
    QStringList operations = option(args, QStringLiteral("--ops")).split(u',', Qt::SkipEmptyParts);
    if (operations.isEmpty())
        operations = kAllOperations;
    if (const long long dieAt = option(args, QStringLiteral("--die-at-write"), QStringLiteral("0")).toLongLong(); dieAt > 0) {
        faultvfs::install([dieAt](faultvfs::Operation op, const char *, long long, int) {
            if (op == faultvfs::Operation::Write && faultvfs::operations() >= dieAt)
                ::kill(::getpid(), SIGKILL);
            return 0;
        });
    }

    Clerk clerk(number, seed * 7919u + quint32(number), journal);
    clerk.run(operations, qint64(seconds * 1000));
    journal.write({QStringLiteral("done"), QString::number(clerk.confirmed), QString::number(clerk.lockMessages),
                   QString::number(clerk.otherMessages)});
    return 0;
}
