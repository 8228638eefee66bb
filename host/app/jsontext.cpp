// JSON as text (see jsontext.h).
#include "host/app/jsontext.h"

#include "host/values/euro.h"

#include <QLocale>

#include <algorithm>
#include <cmath>

namespace JsonText {

namespace {
const char kHex[] = "0123456789abcdef";

void unicode(QByteArray& o, ushort c) {
    o += "\\u";
    o += kHex[(c >> 12) & 0xf];
    o += kHex[(c >> 8) & 0xf];
    o += kHex[(c >> 4) & 0xf];
    o += kHex[c & 0xf];
}
}  // namespace

QByteArray text(const QString& s) {
    QByteArray o;
    o.reserve(s.size() + 2);
    text(o, s);
    return o;
}

void betrag(QByteArray& o, qint64 cent) {
    // Cents have no negative zero, so "-0.00" cannot come out.
    const quint64 b = cent < 0 ? quint64(-(cent + 1)) + 1 : quint64(cent);
    if (cent < 0) o += '-';
    o += QByteArray::number(b / 100);
    o += '.';
    o += char('0' + (b % 100) / 10);
    o += char('0' + b % 10);
}

void text(QByteArray& o, const QString& s) {
    o += '"';
    const ushort* p = reinterpret_cast<const ushort*>(s.constData());
    const int n = s.size();
    for (int i = 0; i < n; ++i) {
        const ushort c = p[i];
        if (c < 0x80) {
            switch (c) {
            case '"': o += "\\\""; break;
            case '\\': o += "\\\\"; break;
            case '\b': o += "\\b"; break;
            case '\f': o += "\\f"; break;
            case '\n': o += "\\n"; break;
            case '\r': o += "\\r"; break;
            case '\t': o += "\\t"; break;
            default:
                if (c < 0x20)
                    unicode(o, c);
                else
                    o += char(c);
            }
        } else if (c < 0x800) {
            o += char(0xc0 | (c >> 6));
            o += char(0x80 | (c & 0x3f));
        } else if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(p[i + 1])) {
            const uint u = QChar::surrogateToUcs4(c, p[++i]);
            o += char(0xf0 | (u >> 18));
            o += char(0x80 | ((u >> 12) & 0x3f));
            o += char(0x80 | ((u >> 6) & 0x3f));
            o += char(0x80 | (u & 0x3f));
        } else if (QChar::isSurrogate(c)) {
            // A lone half of a pair is no character UTF-8 can carry.
            unicode(o, c);
        } else {
            o += char(0xe0 | (c >> 12));
            o += char(0x80 | ((c >> 6) & 0x3f));
            o += char(0x80 | (c & 0x3f));
        }
    }
    o += '"';
}

QByteArray zahl(double d) {
    if (!qIsFinite(d)) return null();
    // Qt keeps a whole number as an integer and writes all its digits.
    if (d == std::trunc(d) && std::fabs(d) < 9.2e18) return QByteArray::number(qint64(d));
    return QByteArray::number(d, 'g', QLocale::FloatingPointShortest);
}

// Cents have no negative zero, so "-0.00" cannot come out.
QByteArray betrag(const EuroType& euro) { return euro.getText(EuroType::TextPunkt).toLatin1(); }

QByteArray einzug(int ebene) { return QByteArray(4 * ebene, ' '); }

QByteArray objekt(Felder felder, int ebene) {
    std::stable_sort(felder.begin(), felder.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    QByteArray o = "{\n";
    const QByteArray innen = einzug(ebene + 1);
    for (int i = 0; i < felder.size(); ++i) {
        if (i + 1 < felder.size() && felder[i + 1].first == felder[i].first) continue;
        if (o.size() > 2) o += ",\n";
        o += innen;
        o += text(QString::fromUtf8(felder[i].first));
        o += ": ";
        o += felder[i].second;
    }
    if (o.size() > 2) o += '\n';
    o += einzug(ebene);
    o += '}';
    return o;
}

QByteArray liste(const QVector<QByteArray>& werte, int ebene) {
    QByteArray o = "[\n";
    const QByteArray innen = einzug(ebene + 1);
    for (int i = 0; i < werte.size(); ++i) {
        o += innen;
        o += werte[i];
        o += i + 1 < werte.size() ? ",\n" : "\n";
    }
    o += einzug(ebene);
    o += ']';
    return o;
}

}  // namespace JsonText
