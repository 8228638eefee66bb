// JSON output with amounts of two decimals (see json.h).
#include "app/json.h"

#include "app/cli.h"

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

// Inside the list an object stands one level deeper than on its own, four
// spaces more on every line; a string never holds a raw line break (JSON
// escapes it), so indenting line by line is exact.
void JsonListe::element(const QJsonObject& o) {
    m_puffer += m_anzahl++ > 0 ? ",\n" : "[\n";
    const QByteArray doc = jsonText(o).toUtf8();
    int von = 0;
    while (von < doc.size()) {
        int bis = doc.indexOf('\n', von);
        if (bis < 0) bis = doc.size();
        if (bis > von) {
            if (von > 0) m_puffer += '\n';
            m_puffer += "    ";
            m_puffer += doc.mid(von, bis - von);
        }
        von = bis + 1;
    }
    if (m_puffer.size() >= 1 << 16) {
        outBytes(m_puffer);
        m_puffer.clear();
    }
}

void JsonListe::ende() {
    if (m_zu) return;
    m_zu = true;
    m_puffer += m_anzahl > 0 ? "\n]\n" : "[\n]\n";
    outBytes(m_puffer);
    m_puffer.clear();
}

}  // namespace cli
