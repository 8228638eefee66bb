// JSON output of the commands: Qt's serialisation, with every money amount
// written with exactly two decimals (119.00, -0.50), as a spreadsheet or an
// adviser's script expects money; QJsonDocument alone would write 119.
#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>

class EuroType;

namespace cli {

// A money amount, rounded to the cent, for a JSON object or array that is
// written with jsonText.
QJsonValue jsonBetrag(double euro);
QJsonValue jsonBetrag(const EuroType& euro);

// The document as indented UTF-8 text with the amounts as numbers of two
// decimals.
QString jsonText(const QJsonObject& o);
QString jsonText(const QJsonArray& a);

}  // namespace cli
