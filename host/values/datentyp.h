// DatenTyp: one typed value, as held by a node variable or read from a
// database field. A small tagged union over the value kinds the module uses.
// Conversions never fail loudly: asking a text for its amount gives 0, asking
// NULL for anything gives the empty/zero value; isNull() tells them apart.
#pragma once

#include "host/values/date.h"
#include "host/values/euro.h"

#include <QString>
#include <QVariant>

class DatenTyp {
public:
    enum Art { Null = 0, Int, Double, Euro, Bool, Text, Datum, Blob };

    DatenTyp() = default;
    DatenTyp(int v) : m_art(Int), m_v(qlonglong(v)) {}                 // NOLINT
    DatenTyp(long v) : m_art(Int), m_v(qlonglong(v)) {}                // NOLINT
    DatenTyp(unsigned long v) : m_art(Int), m_v(qlonglong(v)) {}       // NOLINT
    DatenTyp(unsigned int v) : m_art(Int), m_v(qlonglong(v)) {}        // NOLINT
    DatenTyp(qlonglong v) : m_art(Int), m_v(v) {}                      // NOLINT
    DatenTyp(double v) : m_art(Double), m_v(v) {}                      // NOLINT
    DatenTyp(const EuroType& v) : m_art(Euro), m_v(qlonglong(v.cent())) {}  // NOLINT: an amount is held in cents
    DatenTyp(bool v) : m_art(Bool), m_v(v) {}                          // NOLINT
    DatenTyp(const QString& v) : m_art(Text), m_v(v) {}                // NOLINT
    DatenTyp(const char* v) : m_art(Text), m_v(QString::fromUtf8(v)) {}  // NOLINT
    DatenTyp(const zDate& v) : m_art(Datum), m_v(v.qdate()) {}         // NOLINT
    static DatenTyp fromBlob(const QByteArray& b);

    Art art() const { return m_art; }
    bool isNull() const { return m_art == Null; }

    qlonglong toLongLong() const;
    int toInt() const { return int(toLongLong()); }
    unsigned long toULong() const { return (unsigned long)toLongLong(); }
    double toDouble() const;
    // An amount exactly; any other number (a double read from the database)
    // rounded to the cent by EuroType::ausDouble.
    EuroType toEuro() const { return m_art == Euro ? EuroType::ausCent(m_v.toLongLong()) : EuroType::ausDouble(toDouble()); }
    bool toBool() const;          // numbers: <>0; texts: "1", "-1", "true", "ja"
    QString toString() const;     // numbers in C locale ("12.5"), dates ISO, booleans "1"/"0"
    zDate toDate() const;         // texts are parsed as ISO or dd.mm.yyyy; '' and NULL are invalid
    QByteArray toBlob() const;
    const QVariant& variant() const { return m_v; }

    // Same kind class and same value; Int/Double/Euro compare numerically.
    friend bool operator==(const DatenTyp& a, const DatenTyp& b);
    friend bool operator!=(const DatenTyp& a, const DatenTyp& b) { return !(a == b); }

private:
    Art m_art = Null;
    QVariant m_v;
};
