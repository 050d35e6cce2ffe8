#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

namespace tvx::data {

// The column types of the database files. Each is stored under its own
// declared type name so that the files describe themselves.
enum class FieldType {
    Text,      // text with a size (1..255 characters)
    Memo,      // text without a size
    Date,      // ISO 8601 date text: 2024-03-07
    Time,      // time of day text: 12:34:56
    YesNo,     // 0 or 1
    Short,     // small integer, -32768..32767
    Long,      // long integer, 32 bits
    Double,    // double precision number
};

struct FieldDef {
    QString name;
    FieldType type = FieldType::Text;
    int size = 0;  // characters, Text only
};

struct TableDef {
    QString name;
    QVector<FieldDef> fields;
};

struct DatabaseFileDef {
    QString fileName;  // the canonical spelling of the file
    QVector<TableDef> tables;
};

// Declared SQL type of a field ("VARCHAR(50)", "DATE", ...) and back.
QString declaredType(const FieldDef &field);
FieldDef fieldFromDeclaredType(const QString &name, const QString &declared);
QString fieldTypeName(FieldType type);  // Hungarian, for messages

// The six database files of a data set, with every table, field order and type.
const QVector<DatabaseFileDef> &databaseFiles();
const DatabaseFileDef *databaseFile(const QString &fileName);  // case-insensitive

// The files that the maintenance program rebuilds, in its order.
QStringList rebuiltFileNames();

// Statements that create the tables of a file.
QStringList createStatements(const DatabaseFileDef &file);

}  // namespace tvx::data
