// Typed values of node variables and database fields (see datentyp.h).
#include "host/values/datentyp.h"

#include <cmath>

DatenTyp DatenTyp::fromBlob(const QByteArray& b) {
    DatenTyp d;
    d.m_art = Blob;
    d.m_v = b;
    return d;
}

qlonglong DatenTyp::toLongLong() const {
    switch (m_art) {
    case Int: return m_v.toLongLong();
    case Double: return qlonglong(std::llround(m_v.toDouble()));
    case Euro: return qlonglong(std::llround(toDouble()));
    case Bool: return m_v.toBool() ? 1 : 0;
    case Text: {
        bool ok = false;
        const QString s = m_v.toString().trimmed();
        const qlonglong v = s.toLongLong(&ok);
        if (ok) return v;
        const double d = s.toDouble(&ok);
        return ok ? qlonglong(std::llround(d)) : 0;
    }
    default: return 0;
    }
}

double DatenTyp::toDouble() const {
    switch (m_art) {
    case Int: return double(m_v.toLongLong());
    case Double: return m_v.toDouble();
    case Euro: return EuroType::ausCent(m_v.toLongLong()).alsDouble();
    case Bool: return m_v.toBool() ? 1.0 : 0.0;
    case Text: {
        bool ok = false;
        const double d = m_v.toString().trimmed().toDouble(&ok);
        return ok ? d : 0.0;
    }
    default: return 0.0;
    }
}

bool DatenTyp::toBool() const {
    switch (m_art) {
    case Int: return m_v.toLongLong() != 0;
    case Double: return m_v.toDouble() != 0.0;
    case Euro: return m_v.toLongLong() != 0;
    case Bool: return m_v.toBool();
    case Text: {
        const QString s = m_v.toString().trimmed().toLower();
        return s == QLatin1String("1") || s == QLatin1String("-1") || s == QLatin1String("true") ||
               s == QLatin1String("ja") || s == QLatin1String("wahr");
    }
    default: return false;
    }
}

QString DatenTyp::toString() const {
    switch (m_art) {
    case Int: return QString::number(m_v.toLongLong());
    case Double:
    case Euro: return QString::number(toDouble(), 'g', 15);
    case Bool: return m_v.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    case Text: return m_v.toString();
    case Datum: return zDate(m_v.toDate()).toIso();
    case Blob: return QString::fromUtf8(m_v.toByteArray());
    default: return QString();
    }
}

zDate DatenTyp::toDate() const {
    if (m_art == Datum) return zDate(m_v.toDate());
    if (m_art != Text) return zDate();
    const QString s = m_v.toString();
    const zDate iso = zDate::fromIso(s);
    return iso.isValid() ? iso : zDate::fromText(s);
}

QByteArray DatenTyp::toBlob() const {
    if (m_art == Blob) return m_v.toByteArray();
    return toString().toUtf8();
}

bool operator==(const DatenTyp& a, const DatenTyp& b) {
    auto numeric = [](DatenTyp::Art t) {
        return t == DatenTyp::Int || t == DatenTyp::Double || t == DatenTyp::Euro || t == DatenTyp::Bool;
    };
    if (a.m_art == DatenTyp::Null || b.m_art == DatenTyp::Null) return a.m_art == b.m_art;
    if (numeric(a.m_art) && numeric(b.m_art)) {
        if (a.m_art == DatenTyp::Int && b.m_art == DatenTyp::Int) return a.m_v.toLongLong() == b.m_v.toLongLong();
        if (a.m_art == DatenTyp::Euro && b.m_art == DatenTyp::Euro) return a.m_v.toLongLong() == b.m_v.toLongLong();
        return a.toDouble() == b.toDouble();
    }
    if (a.m_art != b.m_art) return false;
    switch (a.m_art) {
    case DatenTyp::Text: return a.m_v.toString() == b.m_v.toString();
    case DatenTyp::Datum: return a.m_v.toDate() == b.m_v.toDate();
    case DatenTyp::Blob: return a.m_v.toByteArray() == b.m_v.toByteArray();
    default: return false;
    }
}
