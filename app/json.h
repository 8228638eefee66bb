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

// A list written to standard output element by element, in blocks: the
// bytes jsonText gives for the whole list, without the list or its text
// ever held whole.
class JsonListe {
public:
    void element(const QJsonObject& o);
    // The closing bracket (the whole "[]" for a list without elements).
    void ende();

private:
    QByteArray m_puffer;
    long m_anzahl = 0;
    bool m_zu = false;
};

}  // namespace cli
