// JSON written straight as text, byte for byte as Qt's QJsonDocument writes
// an indented document (members in the order of their keys, four spaces a
// level, the escapes Qt uses), so a list of any length is written as it is
// read, without a document held whole and without the cost of building one.
// Amounts are bare numbers with two decimals (119.00), as an adviser's
// script expects money.
#pragma once

#include <QByteArray>
#include <QPair>
#include <QString>
#include <QVector>

class EuroType;

namespace JsonText {

// A string in quotes with JSON's escapes.
QByteArray text(const QString& s);
// The same appended to `o`, and an amount of cents ("-12.50"): for lists
// whose members are written in a fixed order without an object built.
void text(QByteArray& o, const QString& s);
void betrag(QByteArray& o, qint64 cent);
// A number as Qt writes a double: integers up to 2^53 whole.
QByteArray zahl(double d);
inline QByteArray ganz(qint64 n) { return QByteArray::number(n); }
QByteArray betrag(const EuroType& euro);
inline QByteArray wahrheit(bool b) { return b ? QByteArrayLiteral("true") : QByteArrayLiteral("false"); }
inline QByteArray null() { return QByteArrayLiteral("null"); }

// The members of an object: key and its value, already written (a nested
// object or list written for one level deeper than the object).
using Felder = QVector<QPair<QByteArray, QByteArray>>;

// An object whose closing brace stands at `ebene` (0: the document): the
// members sorted by key; of a key given twice the last counts, as in a
// QJsonObject.
QByteArray objekt(Felder felder, int ebene);
// A list of values already written for level ebene + 1.
QByteArray liste(const QVector<QByteArray>& werte, int ebene);
// The indentation of a level.
QByteArray einzug(int ebene);

}  // namespace JsonText
