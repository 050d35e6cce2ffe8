// Tarvix on data sets it cannot write, on a full disk, with broken files and
// with files of a newer template: every screen opens or says why it cannot,
// a save that fails says so in Hungarian and names the file, and what was
// saved before stays as it was.

#include "attachments/iktatasmellekletekformx.h"
#include "common/hungarian.h"
#include "common/session.h"
#include "data/datasource.h"
#include "data/templates.h"
#include "filing/iktatasformx.h"
#include "filing/parameterformx.h"
#include "filing/szamlatartozasformx.h"
#include "partners/beraktarozokformx.h"
#include "reliability/faultkit.h"
#include "shell/tarvixformx.h"
#include "support/faultvfs.h"
#include "support/login.h"
#include "support/scriptedplatform.h"
#include "support/tablerows.h"
#include "users/felhjelszovaltoztatformx.h"
#include "users/menuujfelhasznaloform.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

#include <functional>
#include <unistd.h>
#include <memory>

using namespace tvx;
using namespace Qt::StringLiterals;
using faults::Breakage;

namespace {

const QString kPartner = u"Árvíztűrő Kft."_s;

void addRow(const QDir &dir, const QString &file, const QString &table, const QVariantMap &values)
{
    data::DataSource source(file, table, nullptr, dir);
    QVERIFY2(source.refresh(), qPrintable(source.lastError().message));
    QVERIFY(source.addNew());
    for (auto it = values.begin(); it != values.end(); ++it)
        QVERIFY2(source.setValue(it.key(), it.value()), qPrintable(it.key()));
    QVERIFY2(source.update(), qPrintable(source.lastError().message));
}

// Something on every screen to browse: users, two entries, partners, a
// template, an attachment and a debt.
void seed(const QDir &dir)
{
    addRow(dir, u"regiszt.tvd"_s, u"Users"_s, {{u"Felhasználó"_s, u"demo"_s}, {u"JogosultságiSzint"_s, 1}});
    addRow(dir, u"regiszt.tvd"_s, u"Users"_s, {{u"Felhasználó"_s, u"Kiss Éva"_s}, {u"Jelszó"_s, u"titok"_s}, {u"JogosultságiSzint"_s, 2}});
    addRow(dir, u"Tarvix.tvd"_s, u"Tarvix"_s, {{u"recordID"_s, u"1"_s}, {u"PartnerNeve"_s, kPartner}, {u"Iktatószám"_s, u"A1"_s}});
    addRow(dir, u"Tarvix.tvd"_s, u"Tarvix"_s, {{u"recordID"_s, u"2"_s}, {u"Iktatószám"_s, u"B2"_s}});
    addRow(dir, u"Torzsek.tvd"_s, u"BePartner"_s, {{u"BerNev"_s, kPartner}, {u"recordID"_s, 1}});
    addRow(dir, u"Torzsek.tvd"_s, u"BePartner"_s, {{u"BerNev"_s, u"Tükörfúró Bt."_s}, {u"recordID"_s, 2}});
    addRow(dir, u"Parameter.tvd"_s, u"Iktatoszam"_s, {{u"Jelleg"_s, u"SZ"_s}, {u"PartnerID"_s, 1}, {u"PartnerNeve"_s, kPartner}});
    addRow(dir, u"Tarvix.tvd"_s, u"Mellekletek"_s, {{u"IktatasrecordID"_s, u"1"_s}, {u"Iktatószám"_s, u"A1"_s}});
    addRow(dir, u"Tarvix.tvd"_s, u"SzamlaTartozas"_s, {{u"PartnerNeve"_s, kPartner}, {u"OkmánySzám"_s, u"SZ-1"_s}});
}

// The user's words for the two faults, as the screens show them.
QString readOnlyText(const QString &file)
{
    return u"A(z) %1 állomány nem írható: az állomány vagy a mappája csak olvasható. A módosítás nem került mentésre. "
           u"Kérjen írási jogot a rendszergazdától, majd próbálja újra!"_s.arg(file);
}

QString diskFullText(const QString &file)
{
    return u"A(z) %1 állomány nem írható: megtelt a lemez. A módosítás nem került mentésre. "
           u"Szabadítson fel helyet a lemezen, majd próbálja újra!"_s.arg(file);
}

void typeText(QWidget *field, const QString &text)
{
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

bool startsWithPath(const char *path, const QByteArray &prefix) { return path && QByteArray(path).startsWith(prefix); }

enum class Fault { None, ReadOnlyFiles, ReadOnlyFolder, FullDisk, MountedReadOnly, MountedFullDisk, Permissions };

// A data set in a folder of its own, the working folder while it lives, and
// a fault put on it.
class Bed {
public:
    explicit Bed(Fault fault) : fault_(fault), previous_(QDir::currentPath())
    {
        QDir(root_.path()).mkdir(u"adat"_s);
        path_ = QDir(root_.path()).filePath(u"adat"_s);
        if (fault == Fault::MountedFullDisk) {
            disk_ = std::make_unique<faults::SmallDisk>(path_, 1024 * 1024);
            if (!disk_->mounted())
                return;
        }
        if (const auto e = data::createDataSetFiles(dir())) {
            QTest::qFail(qPrintable(e.message), __FILE__, __LINE__);
            return;
        }
        seed(dir());
        QDir::setCurrent(path_);
        ready_ = true;
    }
    ~Bed()
    {
        lift();
        QDir::setCurrent(previous_);
        readOnly_.reset();
        disk_.reset();
    }
    bool ready() const { return ready_; }
    QDir dir() const { return QDir(path_); }
    QString path() const { return path_; }

    // False when the machine does not allow it (no mounting).
    bool apply()
    {
        const QByteArray prefix = QFile::encodeName(QFileInfo(path_).canonicalFilePath()) + '/';
        switch (fault_) {
        case Fault::None: return true;
        case Fault::ReadOnlyFiles:
            faultvfs::setOpenHook([prefix](const char *path, int flags) {
                return startsWithPath(path, prefix) && (flags & SQLITE_OPEN_MAIN_DB) ? SQLITE_READONLY : SQLITE_OK;
            });
            return true;
        case Fault::ReadOnlyFolder:
            // the files may be written, but nothing can be made beside them
            faultvfs::setOpenHook([prefix](const char *path, int flags) {
                return startsWithPath(path, prefix) && (flags & SQLITE_OPEN_MAIN_JOURNAL) ? SQLITE_READONLY_DIRECTORY : SQLITE_OK;
            });
            return true;
        case Fault::FullDisk:
            faultvfs::install([prefix](faultvfs::Operation op, const char *path, long long, int) {
                return op == faultvfs::Operation::Write && startsWithPath(path, prefix) ? SQLITE_FULL : SQLITE_OK;
            });
            return true;
        case Fault::MountedReadOnly:
            readOnly_ = std::make_unique<faults::ReadOnlyMount>(path_);
            QDir::setCurrent(path_);  // through the read-only mount from now on
            return readOnly_->mounted();
        case Fault::MountedFullDisk: return disk_ && disk_->mounted() && disk_->fill();
        case Fault::Permissions:
            // the permission bits bind everybody but root
            if (geteuid() == 0)
                return false;
            for (const QString &name : dir().entryList(QDir::Files))
                QFile::setPermissions(dir().filePath(name), QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
            QFile::setPermissions(path_, QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadGroup | QFileDevice::ExeGroup);
            return true;
        }
        return false;
    }
    void lift()
    {
        if (fault_ == Fault::Permissions) {
            QFile::setPermissions(path_, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
            for (const QString &name : dir().entryList(QDir::Files))
                QFile::setPermissions(dir().filePath(name), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        }
        faultvfs::clear();
        if (disk_)
            disk_->release();
        readOnly_.reset();
        QDir::setCurrent(path_);
    }
    // Whether a screen that met the fault can save once it is gone: a full
    // disk, yes; a file opened read-only stays so until it is opened again.
    bool passes() const { return fault_ == Fault::FullDisk || fault_ == Fault::MountedFullDisk; }
    QString expected(const QString &file) const { return passes() ? diskFullText(file) : readOnlyText(file); }

private:
    Fault fault_;
    QString previous_;
    QTemporaryDir root_;
    QString path_;
    bool ready_ = false;
    std::unique_ptr<faults::SmallDisk> disk_;
    std::unique_ptr<faults::ReadOnlyMount> readOnly_;
};

enum class Which { Filing, Partners, NewUser, Password, Attachments, Debts, Templates };

// A screen opened on the data set, and its save.
struct Attempt {
    std::shared_ptr<QWidget> screen;
    QString file;    // what the save writes
    QString title;   // of the message box that reports a failed save
    QString before;  // the screen's own words before the cause, if any
    std::function<void()> save;
    std::function<bool()> saved;  // what the screen shows of a save that went through
};

// Opens the screen; `browse` checks that it shows the data set's rows and
// moves among them.
Attempt open(Which which, bool browse)
{
    Attempt a;
    a.title = u"FIGYELEM!"_s;
    switch (which) {
    case Which::Filing: {
        auto s = std::make_shared<IktatasFormX>();
        s->activation();
        if (browse) {
            [&] {
                QCOMPARE(s->TarvixData.value(u"recordID"_s).toString(), u"2"_s);
                s->moveFirst();
                QCOMPARE(s->Label18->text(), u"A1"_s);
            }();
        }
        a.screen = s;
        a.file = u"Tarvix.tvd"_s;
        a.save = [s] {
            s->modify();
            typeText(s->Text5, u"új feljegyzés"_s);
            s->ok();
        };
        a.saved = [s] { return s->Label7->text() == u"MENTVE"_s; };
        break;
    }
    case Which::Partners: {
        auto s = std::make_shared<BeraktarozokFormX>();
        s->show();
        if (browse) {
            [&] {
                QCOMPARE(s->Beraktarozok.recordCount(), 2);
                QVERIFY(s->Beraktarozok.moveFirst());
                QCOMPARE(s->Beraktarozok.value(u"BerNev"_s).toString(), kPartner);
            }();
        }
        a.screen = s;
        a.file = u"Torzsek.tvd"_s;
        a.save = [s] { s->newPartner(); };
        a.saved = [s] { return s->Beraktarozok.recordCount() == 3; };
        break;
    }
    case Which::NewUser: {
        auto s = std::make_shared<menuUjFelhasznaloForm>();
        s->Text1->setText(u"Kiss Éva"_s);
        s->Text2->setText(u"titok"_s);
        s->Command1->click();
        if (browse)
            [&] { QVERIFY(!s->Frame1->isHidden() && s->Frame1->isEnabled()); }();
        a.screen = s;
        a.file = u"regiszt.tvd"_s;
        a.save = [s] {
            s->Text3->setText(u"Nagy Ödön"_s);
            s->Text4->setText(u"jelszó"_s);
            s->Text5->setText(u"1"_s);
            s->command3->click();
        };
        a.saved = [s] { return !s->Frame1->isEnabled(); };
        break;
    }
    case Which::Password: {
        currentUser().name = u"Kiss Éva"_s;
        currentUser().password = u"titok"_s;
        auto s = std::make_shared<FelhJelszoValtoztatFormX>();
        a.screen = s;
        a.file = u"regiszt.tvd"_s;
        a.title = u"FIGYELEM! RegisztJ update hiba!"_s;
        a.before = u"Az adat nem menthető!\n"_s;
        a.save = [s] {
            s->Text1->setText(currentUser().password);  // a failed save has changed it already
            s->Command1->click();
            s->Text2->setText(u"újjelszó"_s);
            s->Command2->click();
            s->Text3->setText(u"újjelszó"_s);
            s->Command3->click();
        };
        a.saved = [] {
            for (const QVariantList &row : tableRows(QDir::current(), u"regiszt.tvd"_s, u"Users"_s))
                if (row.value(0).toString() == u"Kiss Éva"_s)
                    return row.value(1).toString() == u"újjelszó"_s;
            return false;
        };
        break;
    }
    case Which::Attachments: {
        handOver().singleEntryAttachments = true;
        handOver().currentFilingId = u"1"_s;
        auto s = std::make_shared<IktatasMellekletekFormX>();
        s->activation();
        if (browse)
            [&] { QCOMPARE(s->MellekletekData.recordCount(), 1); }();
        a.screen = s;
        a.file = u"Tarvix.tvd"_s;
        a.save = [s] { s->UjMelleklet->trigger(); };
        a.saved = [s] { return s->MellekletekData.recordCount() == 2; };
        break;
    }
    case Which::Debts: {
        handOver().currentPartnerName = kPartner;
        auto s = std::make_shared<SzamlaTartozasFormX>();
        s->activation();
        if (browse)
            [&] { QCOMPARE(s->TartozasData.recordCount(), 1); }();
        a.screen = s;
        a.file = u"Tarvix.tvd"_s;
        a.save = [s] { s->newDebt(); };
        a.saved = [s] { return s->TartozasData.recordCount() == 2; };
        break;
    }
    case Which::Templates: {
        auto s = std::make_shared<ParameterFormX>();
        s->show();
        if (browse) {
            [&] {
                QCOMPARE(s->ParameterData.recordCount(), 1);
                QCOMPARE(s->PartnerData.recordCount(), 2);
            }();
        }
        a.screen = s;
        a.file = u"Parameter.tvd"_s;
        a.save = [s] { s->UjAdat->trigger(); };
        a.saved = [s] { return s->ParameterData.recordCount() == 2; };
        break;
    }
    }
    return a;
}

QString fileOf(Which which)
{
    switch (which) {
    case Which::Filing:
    case Which::Attachments:
    case Which::Debts: return u"Tarvix.tvd"_s;
    case Which::Partners: return u"Torzsek.tvd"_s;
    case Which::NewUser:
    case Which::Password: return u"regiszt.tvd"_s;
    case Which::Templates: return u"Parameter.tvd"_s;
    }
    return {};
}

const QList<QPair<const char *, Which>> kScreens{
    {"iktatás", Which::Filing},     {"partnerek", Which::Partners}, {"új felhasználó", Which::NewUser},
    {"jelszó", Which::Password},    {"mellékletek", Which::Attachments}, {"számlatartozás", Which::Debts},
    {"iktatószámok", Which::Templates},
};

const QList<QPair<const char *, Fault>> kFaults{
    {"csak olvasható állományok", Fault::ReadOnlyFiles},
    {"csak olvasható mappa", Fault::ReadOnlyFolder},
    {"megtelt lemez", Fault::FullDisk},
    {"csak olvasható csatolás", Fault::MountedReadOnly},
    {"kicsi, teli lemez", Fault::MountedFullDisk},
    {"írási jog nélkül", Fault::Permissions},
};

QString skipText(Fault fault)
{
    if (fault == Fault::Permissions)
        return u"rootként fut, akire a jogosultsági bitek nem vonatkoznak; a csatolt és a motor szintű változat lefutott"_s;
    return u"ezen a gépen a teszt nem csatolhat fájlrendszert (root és mount jog kell); a motor szintű változat lefutott"_s;
}

enum class Op { Update, Insert, Delete };
enum class Failing { FromThere, OnlyThat };

// One save through a data source, as the screens make it.
bool perform(Op op, data::DataSource &ds, int round)
{
    switch (op) {
    case Op::Update:
        return ds.moveFirst() && ds.setValue(u"Megjegyzés"_s, u"%1. változat"_s.arg(round)) && ds.update();
    case Op::Insert: return ds.addNew() && ds.setValue(u"recordID"_s, u"új-%1"_s.arg(round)) && ds.update();
    case Op::Delete: return ds.moveLast() && ds.deleteCurrent();
    }
    return false;
}

// The same save again, on what the failed one left.
bool retry(Op op, data::DataSource &ds)
{
    return op == Op::Delete ? ds.deleteCurrent() : ds.update();
}

// Runs `sql` straight on the file, as another program would.
void runSql(const QString &path, const QString &sql)
{
    sqlite3 *db = nullptr;
    QCOMPARE(sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
    char *error = nullptr;
    const int rc = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &error);
    const QString text = QString::fromUtf8(error ? error : "");
    sqlite3_free(error);
    sqlite3_close_v2(db);
    QVERIFY2(rc == SQLITE_OK, qPrintable(text + u": "_s + sql));
}

// The added columns of every row, as "rowid|text|number".
QStringList extraValues(const QString &path, const QString &table)
{
    QStringList rows;
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt *st = nullptr;
        const QByteArray sql = u"SELECT rowid, \"Újabb mező\", \"Újabb szám\" FROM \"%1\" ORDER BY rowid"_s.arg(table).toUtf8();
        if (sqlite3_prepare_v2(db, sql.constData(), -1, &st, nullptr) == SQLITE_OK) {
            while (sqlite3_step(st) == SQLITE_ROW) {
                QStringList values;
                for (int c = 0; c < 3; ++c)
                    values << (sqlite3_column_type(st, c) == SQLITE_NULL
                                   ? u"<null>"_s
                                   : QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, c))));
                rows << values.join(u'|');
            }
        }
        sqlite3_finalize(st);
    }
    sqlite3_close_v2(db);
    return rows;
}

// The tables a newer template widened, with two columns at their end.
const QList<QPair<QString, QString>> kWidened{
    {u"Tarvix.tvd"_s, u"Tarvix"_s},         {u"Tarvix.tvd"_s, u"Mellekletek"_s},  {u"Tarvix.tvd"_s, u"SzamlaTartozas"_s},
    {u"TarvixArchiv.tvd"_s, u"Tarvix"_s},   {u"Torzsek.tvd"_s, u"BePartner"_s},   {u"Parameter.tvd"_s, u"Iktatoszam"_s},
    {u"regiszt.tvd"_s, u"Users"_s},         {u"regiszt.tvd"_s, u"Regisztrálás"_s}, {u"betarol.tvd"_s, u"Bettorzs"_s},
};

void widen(const QDir &dir)
{
    for (const auto &[file, table] : kWidened)
        runSql(dir.filePath(file), u"ALTER TABLE \"%1\" ADD COLUMN \"Újabb mező\" VARCHAR(40);"
                                   u"ALTER TABLE \"%1\" ADD COLUMN \"Újabb szám\" INTEGER;"
                                   u"UPDATE \"%1\" SET \"Újabb mező\" = 'megőrzendő ' || rowid, \"Újabb szám\" = rowid * 7;"_s.arg(table));
    for (const QString &file : {u"Tarvix.tvd"_s, u"regiszt.tvd"_s})
        runSql(dir.filePath(file), u"CREATE TABLE \"ÚjTábla\" (\"Név\" VARCHAR(20), \"Érték\" INTEGER);"
                                   u"INSERT INTO \"ÚjTábla\" VALUES ('marad', 42);"_s);
}

}  // namespace

class TestFaults : public QObject {
    Q_OBJECT

    std::unique_ptr<ScriptedPlatform> platform;

    void checkNoForeignText()
    {
        for (const ShownMessage &m : std::as_const(platform->messages))
            QVERIFY2(!faults::looksForeign(m.title + u' ' + m.text), qPrintable(m.text));
    }

private Q_SLOTS:
    void initTestCase()
    {
        useHungarianLocale();
        // every file opened from here on goes through the wrapped file layer
        faultvfs::install(nullptr);
    }
    void init()
    {
        platform = std::make_unique<ScriptedPlatform>();
        currentUser() = CurrentUser{};
        handOver() = HandOver{};
    }
    void cleanup()
    {
        faultvfs::clear();
        platform.reset();
    }

    // Read-only files and folders, a full disk: each screen opens and shows
    // its rows; its save is refused with the file's name and what to do;
    // the data set is as it was; after space comes back the save goes through.
    void everyScreenSavesOrSaysWhy_data()
    {
        QTest::addColumn<Which>("which");
        QTest::addColumn<Fault>("fault");
        for (const auto &[faultName, fault] : kFaults)
            for (const auto &[screenName, which] : kScreens)
                QTest::addRow("%s, %s", screenName, faultName) << which << fault;
    }
    void everyScreenSavesOrSaysWhy()
    {
        QFETCH(Which, which);
        QFETCH(Fault, fault);
        Bed bed(fault);
        if (!bed.ready())
            QSKIP(qPrintable(skipText(fault)));
        const QString before = faults::contentsOf(bed.dir());
        if (!bed.apply())
            QSKIP(qPrintable(skipText(fault)));

        Attempt attempt = open(which, true);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(platform->messages.size(), 0);
        attempt.save();
        QCOMPARE(platform->messages.size(), 1);
        const ShownMessage &shown = platform->messages[0];
        QCOMPARE(shown.title, attempt.title);
        QCOMPARE(shown.text, attempt.before + bed.expected(attempt.file));
        QVERIFY(!attempt.saved());

        bed.lift();
        QCOMPARE(faults::contentsOf(bed.dir()), before);
        QCOMPARE(faults::integrity(bed.dir().filePath(attempt.file)), u"ok"_s);
        if (!bed.passes())
            return;
        platform->messages.clear();
        attempt.save();
        QCOMPARE(platform->messages.size(), 0);
        QVERIFY(attempt.saved());
        QVERIFY(faults::contentsOf(bed.dir()) != before);
        QCOMPARE(faults::integrity(bed.dir().filePath(attempt.file)), u"ok"_s);
    }

    // The main window logs in on a data set it cannot write; the activity
    // log row of a user switch is left out without a word, as ever.
    void mainWindowLogsInWithoutWriting_data()
    {
        QTest::addColumn<Fault>("fault");
        for (const auto &[faultName, fault] : kFaults)
            QTest::newRow(faultName) << fault;
    }
    void mainWindowLogsInWithoutWriting()
    {
        QFETCH(Fault, fault);
        Bed bed(fault);
        if (!bed.ready())
            QSKIP(qPrintable(skipText(fault)));
        const QString before = faults::contentsOf(bed.dir());
        if (!bed.apply())
            QSKIP(qPrintable(skipText(fault)));
        {
            TarvixFormX w;
            w.start();
            QCOMPARE(w.Combo1->count(), 2);
            QVERIFY(loginAs(w, *platform, u"Kiss Éva"_s, u"titok"_s));
            w.userSwitch();
            QVERIFY(loginAs(w, *platform, u"demo"_s, QString()));
            QCOMPARE(platform->messages.size(), 0);
            QCOMPARE(platform->programEnds, 0);
        }
        bed.lift();
        QCOMPARE(faults::contentsOf(bed.dir()), before);
        QCOMPARE(faults::integrity(bed.dir().filePath(u"regiszt.tvd"_s)), u"ok"_s);
    }

    // No user yet on a user file that cannot be written: the default user is
    // not made, and instead of a restart that would ask for another restart
    // the user learns why.
    void firstStartOnAReadOnlyUserFile()
    {
        Bed bed(Fault::ReadOnlyFiles);
        QVERIFY(bed.ready());
        runSql(bed.dir().filePath(u"regiszt.tvd"_s), u"DELETE FROM Users"_s);
        QVERIFY(bed.apply());
        TarvixFormX w;
        w.start();
        QCOMPARE(w.Combo1->count(), 0);
        QCOMPARE(platform->messages.size(), 0);
        emit w.Combo1->activated(0);
        w.Command1->click();
        QCOMPARE(platform->messages.size(), 2);
        QCOMPARE(platform->messages[0].text, u"Indítsa újra a programot!"_s);
        QCOMPARE(platform->messages[1].title, u"FIGYELEM!"_s);
        QCOMPARE(platform->messages[1].text, readOnlyText(u"regiszt.tvd"_s));
        QCOMPARE(platform->programEnds, 1);
        bed.lift();
        QCOMPARE(tableRows(bed.dir(), u"regiszt.tvd"_s, u"Users"_s).size(), 0);
    }

    // A file that is no database, empty, or cut short: the screen that needs
    // it says which file and what to do, nothing crashes, and the file is
    // left exactly as it was.
    void brokenFileIsNamedAndLeftAlone_data()
    {
        QTest::addColumn<Which>("which");
        QTest::addColumn<Breakage>("breakage");
        for (const Breakage breakage : faults::allBreakages())
            for (const auto &[screenName, which] : kScreens)
                QTest::addRow("%s, %s", screenName, qPrintable(faults::breakageName(breakage))) << which << breakage;
    }
    void brokenFileIsNamedAndLeftAlone()
    {
        QFETCH(Which, which);
        QFETCH(Breakage, breakage);
        Bed bed(Fault::None);
        QVERIFY(bed.ready());
        const QString file = fileOf(which);
        QVERIFY(faults::breakFile(bed.dir().filePath(file), breakage));
        const QByteArray broken = faults::readBytes(bed.dir().filePath(file));

        Attempt attempt = open(which, false);
        attempt.save();
        QVERIFY(!platform->messages.isEmpty());
        const QString start = faults::brokenMessageStart(file, breakage);
        bool named = false;
        for (const ShownMessage &m : std::as_const(platform->messages))
            named = named || m.text.contains(start);
        QVERIFY2(named, qPrintable(platform->lastText()));
        checkNoForeignText();
        QVERIFY(!attempt.saved());
        attempt = {};
        QCOMPARE(faults::readBytes(bed.dir().filePath(file)), broken);
    }

    // The disk fills up at any write of a save (and stays full), or one write
    // fails on a flaky medium: the save fails with the file's name, what was
    // saved before is all there, the file is sound, and once the fault is
    // gone the same save goes through.
    void everyWriteOfASaveCanFail_data()
    {
        QTest::addColumn<Op>("op");
        QTest::addColumn<Failing>("failing");
        const QList<QPair<const char *, Op>> ops{{"módosítás", Op::Update}, {"új sor", Op::Insert}, {"törlés", Op::Delete}};
        for (const auto &[name, op] : ops) {
            QTest::addRow("%s, megtelt lemez", name) << op << Failing::FromThere;
            QTest::addRow("%s, egy írás hibás", name) << op << Failing::OnlyThat;
        }
    }
    void everyWriteOfASaveCanFail()
    {
        QFETCH(Op, op);
        QFETCH(Failing, failing);
        Bed bed(Fault::None);
        QVERIFY(bed.ready());
        for (int i = 0; i < 30; ++i)
            addRow(bed.dir(), u"Tarvix.tvd"_s, u"Tarvix"_s, {{u"recordID"_s, u"sor-%1"_s.arg(i)}, {u"Megjegyzés"_s, QString(300, u'ő')}});
        const QString path = bed.dir().filePath(u"Tarvix.tvd"_s);
        const QByteArray prefix = QFile::encodeName(QFileInfo(path).canonicalFilePath());
        const QString expected = failing == Failing::FromThere
                                     ? diskFullText(u"Tarvix.tvd"_s)
                                     : u"A(z) Tarvix.tvd állomány olvasása vagy írása nem sikerült (lemez- vagy hálózati hiba). "
                                       u"Ellenőrizze a lemezt és a hálózati kapcsolatot, majd próbálja újra!"_s;
        data::DataSource ds(u"Tarvix.tvd"_s, u"Tarvix"_s, nullptr, bed.dir());
        QVERIFY(ds.refresh());
        int failedRounds = 0;
        for (int n = 1;; ++n) {
            QVERIFY2(n < 100, "a save that never ends");
            const QString before = faults::contentsOf(bed.dir());
            int writes = 0;
            faultvfs::install([&](faultvfs::Operation operation, const char *file, long long, int) {
                if (operation != faultvfs::Operation::Write || !startsWithPath(file, prefix))
                    return SQLITE_OK;
                ++writes;
                const bool fails = failing == Failing::FromThere ? writes >= n : writes == n;
                return fails ? (failing == Failing::FromThere ? SQLITE_FULL : SQLITE_IOERR_WRITE) : SQLITE_OK;
            });
            const bool saved = perform(op, ds, n);
            faultvfs::clear();
            if (saved) {
                // no write failed, or a failed one was not taken for a save
                QVERIFY2(writes < n, qPrintable(u"the %1. write failed, yet the save was reported done"_s.arg(n)));
                break;
            }
            ++failedRounds;
            QCOMPARE(ds.lastError().message, expected);
            QCOMPARE(faults::contentsOf(bed.dir()), before);
            QCOMPARE(faults::integrity(path), u"ok"_s);
            QVERIFY2(retry(op, ds), qPrintable(ds.lastError().message));
            QVERIFY(faults::contentsOf(bed.dir()) != before);
            QCOMPARE(faults::integrity(path), u"ok"_s);
        }
        QVERIFY(failedRounds >= 2);
    }

    // Deleting with archiving on a disk that fills at any write: an entry is
    // never lost between the two files; it leaves the working table only with
    // its copy in the archive, and whatever failed is said.
    void archivingDeletionNeverLosesTheEntry()
    {
        Bed bed(Fault::None);
        QVERIFY(bed.ready());
        const QByteArray prefix = QFile::encodeName(QFileInfo(bed.path()).canonicalFilePath()) + '/';
        auto idsIn = [&](const QString &file) {
            QStringList ids;
            for (const QVariantList &row : tableRows(bed.dir(), file, u"Tarvix"_s))
                ids << row.value(0).toString();
            return ids;
        };
        bool deleted = false;
        for (int n = 1; !deleted; ++n) {
            QVERIFY2(n < 100, "a deletion that never ends");
            platform->messages.clear();
            int writes = 0;
            IktatasFormX s;
            s.activation();
            s.moveFirst();
            QCOMPARE(s.TarvixData.value(u"recordID"_s).toString(), u"1"_s);
            platform->answers << Answer::Yes;
            faultvfs::install([&](faultvfs::Operation operation, const char *file, long long, int) {
                return operation == faultvfs::Operation::Write && startsWithPath(file, prefix) && ++writes >= n ? SQLITE_FULL : SQLITE_OK;
            });
            s.deleteEntry();
            faultvfs::clear();
            const QStringList working = idsIn(u"Tarvix.tvd"_s), archived = idsIn(u"TarvixArchiv.tvd"_s);
            deleted = !working.contains(u"1"_s);
            if (deleted) {
                QVERIFY(archived.contains(u"1"_s));
                QVERIFY2(writes < n, "a write failed, yet the entry was deleted");
            } else {
                QCOMPARE(platform->messages.size(), 2);  // the question, and why nothing was deleted
                QVERIFY2(platform->messages[1].text.contains(u"nem írható: megtelt a lemez"_s), qPrintable(platform->messages[1].text));
            }
            checkNoForeignText();
            for (const QString &file : {u"Tarvix.tvd"_s, u"TarvixArchiv.tvd"_s})
                QCOMPARE(faults::integrity(bed.dir().filePath(file)), u"ok"_s);
        }
    }

    // Files of a newer template: more columns at the end of the tables, a
    // table more. Every screen works as ever, fields addressed by position
    // included, and the added columns keep their values through every save.
    void newerTemplateFilesKeepWhatTheyAdd()
    {
        Bed bed(Fault::None);
        QVERIFY(bed.ready());
        widen(bed.dir());
        QMap<QString, QStringList> extras;
        for (const auto &[file, table] : kWidened)
            extras.insert(file + u'/' + table, extraValues(bed.dir().filePath(file), table));

        for (const auto &[name, which] : kScreens) {
            Attempt attempt = open(which, false);
            if (QTest::currentTestFailed())
                return;
            attempt.save();
            QVERIFY2(platform->messages.isEmpty(), qPrintable(QString::fromUtf8(name) + u": "_s + platform->lastText()));
            QVERIFY2(attempt.saved(), name);
        }
        {
            // the entry edited, and one deleted with archiving: its added values go with it
            IktatasFormX s;
            s.activation();
            s.moveFirst();
            s.modify();
            typeText(s.Text5, u"megint"_s);
            s.ok();
            QCOMPARE(s.Label7->text(), u"MENTVE"_s);
            s.moveLast();
            QCOMPARE(s.TarvixData.value(u"recordID"_s).toString(), u"2"_s);
            platform->answers << Answer::Yes;
            s.deleteEntry();
            QCOMPARE(platform->messages.size(), 1);  // the question only
            platform->messages.clear();
        }
        {
            TarvixFormX w;
            w.start();
            QVERIFY(loginAs(w, *platform, u"Kiss Éva"_s, u"újjelszó"_s));
            w.userSwitch();
        }
        QVERIFY2(platform->messages.isEmpty(), qPrintable(platform->lastText()));

        // rows that were there keep their added values; new rows have them empty
        for (const auto &[file, table] : kWidened) {
            const QStringList now = extraValues(bed.dir().filePath(file), table);
            const QStringList was = extras.value(file + u'/' + table);
            for (const QString &row : was) {
                if (file == u"Tarvix.tvd"_s && table == u"Tarvix"_s && row.startsWith(u"2|"_s))
                    continue;  // the deleted entry
                QVERIFY2(now.contains(row), qPrintable(file + u'/' + table + u": "_s + row));
            }
            for (const QString &row : now)
                QVERIFY2(was.contains(row) || row.endsWith(u"|<null>|<null>"_s) || (file == u"TarvixArchiv.tvd"_s),
                         qPrintable(file + u'/' + table + u": "_s + row));
        }
        // the archived entry carries its added values, by position as every field
        QCOMPARE(extraValues(bed.dir().filePath(u"TarvixArchiv.tvd"_s), u"Tarvix"_s).last().section(u'|', 1), u"megőrzendő 2|14"_s);
        // the activity log rows of the new partner and of the user switch, field by field
        const QList<QVariantList> log = tableRows(bed.dir(), u"regiszt.tvd"_s, u"select * from Regisztrálás"_s);
        QCOMPARE(log.size(), 2);
        QCOMPARE(log[0].size(), 12);
        QCOMPARE(log[0][4].toString(), u"Új beszállító felvitele"_s);
        QCOMPARE(log[1][0].toString(), u"Kiss Éva"_s);
        QCOMPARE(log[1][4].toString(), u"Felhasználóváltás kérése"_s);
        QCOMPARE(log[1][7].toString(), u"Tarvix"_s);
        QCOMPARE(log[1][9].toString(), u"Főmenü"_s);
        for (const QVariantList &row : log)
            QVERIFY(row[10].isNull() && row[11].isNull());
        for (const QString &file : {u"Tarvix.tvd"_s, u"regiszt.tvd"_s})
            QCOMPARE(tableRows(bed.dir(), file, u"ÚjTábla"_s), (QList<QVariantList>{{u"marad"_s, 42}}));
    }

    // The login reads the user table of a broken file: the message says what
    // is wrong with it, not that it is missing, and the program ends.
    void loginOnABrokenUserFile_data()
    {
        QTest::addColumn<Breakage>("breakage");
        for (const Breakage breakage : faults::allBreakages())
            QTest::newRow(qPrintable(faults::breakageName(breakage))) << breakage;
    }
    void loginOnABrokenUserFile()
    {
        QFETCH(Breakage, breakage);
        Bed bed(Fault::None);
        QVERIFY(bed.ready());
        QVERIFY(faults::breakFile(bed.dir().filePath(u"regiszt.tvd"_s), breakage));
        const QByteArray broken = faults::readBytes(bed.dir().filePath(u"regiszt.tvd"_s));
        {
            TarvixFormX w;
            w.start();
            QCOMPARE(w.Combo1->count(), 0);
            QCOMPARE(platform->messages.size(), 0);
            w.Combo1->setEditText(u"demo"_s);
            emit w.Combo1->activated(0);
            w.Command1->click();
            QCOMPARE(platform->messages.size(), 1);
            QCOMPARE(platform->messages[0].title, u"FIGYELEM! Súlyos hiba!"_s);
            QVERIFY2(platform->messages[0].text.startsWith(faults::brokenMessageStart(u"regiszt.tvd"_s, breakage)),
                     qPrintable(platform->messages[0].text));
            QCOMPARE(platform->programEnds, 1);
        }
        checkNoForeignText();
        QCOMPARE(faults::readBytes(bed.dir().filePath(u"regiszt.tvd"_s)), broken);

        // a missing file keeps its own words
        platform->messages.clear();
        QVERIFY(QFile::remove(bed.dir().filePath(u"regiszt.tvd"_s)));
        TarvixFormX w;
        w.start();
        w.Combo1->setEditText(u"demo"_s);
        emit w.Combo1->activated(0);
        w.Command1->click();
        QCOMPARE(platform->lastText(), u"Nem található a REGISZT.TVD állomány!"_s);
    }
};

QTEST_MAIN(TestFaults)
#include "tst_faults.moc"
