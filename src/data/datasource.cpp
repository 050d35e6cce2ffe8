#include "data/datasource.h"

namespace tvx::data {

DataSource::DataSource(QString fileName, QString recordSource, QObject *parent, QDir directory)
    : QObject(parent), fileName_(std::move(fileName)), recordSource_(std::move(recordSource)), directory_(std::move(directory))
{
}

DataSource::~DataSource()
{
    if (recordset_)
        recordset_->disconnect(this);
}

bool DataSource::closedError() const
{
    // a source that could not open says why, whichever step finds it closed
    error_ = {ErrorCode::Closed, openError_ ? openError_.message : QStringLiteral("A(z) %1 adatforrás nincs megnyitva.").arg(fileName_)};
    return false;
}

template <typename F>
bool DataSource::call(F &&operation)
{
    if (!recordset_)
        return closedError();
    const bool ok = operation(*recordset_);
    error_ = recordset_->lastError();
    return ok;
}

std::shared_ptr<Database> DataSource::database()
{
    if (!database_) {
        database_ = Database::open(fileName_, directory_, error_);
        if (!database_)
            openError_ = error_;
    }
    return database_;
}

bool DataSource::refresh()
{
    if (recordset_ && recordset_->isOpen() && !recordset_->close()) {
        error_ = recordset_->lastError();
        return false;
    }
    if (!database())
        return false;
    Error error;
    auto rs = database_->openRecordset(recordSource_, error);
    error_ = error;
    if (!rs) {
        openError_ = error;
        return false;
    }
    return setRecordset(std::move(rs));
}

bool DataSource::runRecordSource(const QString &source)
{
    if (isOpen() && !writePending())
        return false;
    if (!database())
        return false;
    Error error;
    auto rs = database_->openRecordset(source, error);
    if (!rs) {
        error_ = error;
        return false;
    }
    if (recordset_ && recordset_->isOpen())
        recordset_->close();
    recordSource_ = source;
    return setRecordset(std::move(rs));
}

bool DataSource::requery()
{
    if (!isOpen())
        return refresh();
    return call([](Recordset &rs) { return rs.requery(); });
}

bool DataSource::setRecordset(std::shared_ptr<Recordset> recordset)
{
    if (recordset_ && recordset_ != recordset && recordset_->isOpen() && !recordset_->writePending()) {
        error_ = recordset_->lastError();
        return false;
    }
    if (recordset_)
        recordset_->disconnect(this);
    recordset_ = std::move(recordset);
    if (recordset_) {
        database_ = recordset_->database();
        connect(recordset_.get(), &Recordset::currentChanged, this, &DataSource::currentChanged);
        connect(recordset_.get(), &Recordset::rowsReset, this, &DataSource::rowsReset);
        connect(recordset_.get(), &Recordset::rowInserted, this, &DataSource::rowInserted);
        connect(recordset_.get(), &Recordset::rowRemoved, this, &DataSource::rowRemoved);
        connect(recordset_.get(), &Recordset::rowChanged, this, &DataSource::rowChanged);
        connect(recordset_.get(), &Recordset::editModeChanged, this, &DataSource::editModeChanged);
    }
    error_ = {};
    openError_ = {};
    emit recordsetChanged();
    emit currentChanged();
    return true;
}

bool DataSource::closeRecordset()
{
    return call([](Recordset &rs) { return rs.close(); });
}

bool DataSource::writePending() { return call([](Recordset &rs) { return rs.writePending(); }); }

int DataSource::recordCount() const { return recordset_ ? recordset_->recordCount() : 0; }
bool DataSource::bof() const { return !recordset_ || recordset_->bof(); }
bool DataSource::eof() const { return !recordset_ || recordset_->eof(); }
bool DataSource::hasCurrent() const { return recordset_ && recordset_->hasCurrent(); }
int DataSource::absolutePosition() const { return recordset_ ? recordset_->absolutePosition() : -1; }
bool DataSource::moveFirst() { return call([](Recordset &rs) { return rs.moveFirst(); }); }
bool DataSource::moveLast() { return call([](Recordset &rs) { return rs.moveLast(); }); }
bool DataSource::moveNext() { return call([](Recordset &rs) { return rs.moveNext(); }); }
bool DataSource::movePrevious() { return call([](Recordset &rs) { return rs.movePrevious(); }); }
bool DataSource::moveTo(int row) { return call([row](Recordset &rs) { return rs.moveTo(row); }); }
bool DataSource::addNew() { return call([](Recordset &rs) { return rs.addNew(); }); }
bool DataSource::edit() { return call([](Recordset &rs) { return rs.edit(); }); }
bool DataSource::update() { return call([](Recordset &rs) { return rs.update(); }); }
bool DataSource::update(const WriteGuard &guard) { return call([&](Recordset &rs) { return rs.update(guard); }); }
void DataSource::cancelUpdate()
{
    call([](Recordset &rs) {
        rs.cancelUpdate();
        return true;
    });
}
bool DataSource::deleteCurrent() { return call([](Recordset &rs) { return rs.deleteCurrent(); }); }
Recordset::EditMode DataSource::editMode() const { return recordset_ ? recordset_->editMode() : Recordset::EditMode::None; }

QVariant DataSource::value(int position) const
{
    if (!recordset_) {
        closedError();
        return {};
    }
    const QVariant v = recordset_->value(position);
    error_ = recordset_->lastError();
    return v;
}

QVariant DataSource::shownValue(const QString &name) const
{
    if (!recordset_)
        return {};
    return recordset_->shownValue(recordset_->fieldIndex(name));
}

QVariant DataSource::value(const QString &name) const
{
    if (!recordset_) {
        closedError();
        return {};
    }
    const QVariant v = recordset_->value(name);
    error_ = recordset_->lastError();
    return v;
}

bool DataSource::setValue(int position, const QVariant &value)
{
    return call([&](Recordset &rs) { return rs.setValue(position, value); });
}
bool DataSource::setValue(const QString &name, const QVariant &value)
{
    return call([&](Recordset &rs) { return rs.setValue(name, value); });
}
bool DataSource::findFirst(const QString &criteria) { return call([&](Recordset &rs) { return rs.findFirst(criteria); }); }
bool DataSource::findNext(const QString &criteria) { return call([&](Recordset &rs) { return rs.findNext(criteria); }); }
bool DataSource::noMatch() const { return recordset_ && recordset_->noMatch(); }
bool DataSource::existsInTable(const QString &criteria, bool &found)
{
    found = false;
    return call([&](Recordset &rs) { return rs.existsInTable(criteria, found); });
}
bool DataSource::storedValues(QVector<QVariant> &values) { return call([&](Recordset &rs) { return rs.storedValues(values); }); }
Bookmark DataSource::bookmark() const { return recordset_ ? recordset_->bookmark() : Bookmark{}; }
bool DataSource::setBookmark(const Bookmark &bookmark) { return call([&](Recordset &rs) { return rs.setBookmark(bookmark); }); }
QString DataSource::sort() const { return recordset_ ? recordset_->sort() : QString(); }
void DataSource::setSort(const QString &sort)
{
    if (recordset_)
        recordset_->setSort(sort);
}

Error DataSource::lastError() const { return error_; }

void DataSource::clearError()
{
    error_ = {};
    if (recordset_)
        recordset_->clearError();
}

}  // namespace tvx::data
