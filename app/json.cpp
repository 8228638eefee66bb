// JSON output with amounts of two decimals (see json.h).
#include "app/json.h"

#include "host/values/euro.h"

#include <QJsonDocument>
#include <QRegularExpression>

namespace cli {

namespace {
// An amount travels through QJsonDocument as a string with a control
// character no booking text holds, and is put back as a bare number in the
// text; the control character is escaped by Qt, hence the six characters.
const QString kMarke = QStringLiteral("\u0001B:");

QString ersetze(const QByteArray& text) {
    static const QRegularExpression betrag(QStringLiteral("\"\\\\u0001B:(-?[0-9]+\\.[0-9]{2})\""));
    return QString::fromUtf8(text).replace(betrag, QStringLiteral("\\1"));
}
}  // namespace

QJsonValue jsonBetrag(double euro) { return jsonBetrag(EuroType::ausDouble(euro)); }

// Cents have no negative zero, so "-0.00" cannot come out.
QJsonValue jsonBetrag(const EuroType& euro) { return QJsonValue(kMarke + euro.getText(EuroType::TextPunkt)); }

QString jsonText(const QJsonObject& o) { return ersetze(QJsonDocument(o).toJson(QJsonDocument::Indented)); }
QString jsonText(const QJsonArray& a) { return ersetze(QJsonDocument(a).toJson(QJsonDocument::Indented)); }

}  // namespace cli
