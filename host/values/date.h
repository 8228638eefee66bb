// Calendar dates of bookings. zDate wraps QDate and adds the notions the
// ledger reasons with: validity, the "bad date" sentinel, quarters and the
// German text form dd.mm.yyyy.
#pragma once

#include <QDate>
#include <QString>

class zDate {
public:
    zDate() = default;  // invalid
    zDate(int year, int month, int day) : m_d(year, month, day) {}
    explicit zDate(const QDate& d) : m_d(d) {}

    static zDate badDate() { return zDate(); }
    static zDate today() { return zDate(QDate::currentDate()); }
    // "dd.mm.yyyy" or "d.m.yyyy"; an invalid date for anything else.
    static zDate fromText(const QString& ddmmyyyy);
    static zDate fromText(QStringView ddmmyyyy);  // the same, for a field of a longer text
    // "YYYY-MM-DD" with an optional time part ("YYYY-MM-DD hh:mm:ss"), as stored in the database.
    static zDate fromIso(const QString& iso);

    bool isValid() const { return m_d.isValid(); }
    bool isBad() const { return !m_d.isValid(); }
    int year() const { return m_d.year(); }
    int month() const { return m_d.month(); }
    int day() const { return m_d.day(); }
    int quarter() const { return isValid() ? (m_d.month() - 1) / 3 + 1 : 0; }  // 1..4, 0 when invalid
    int daysInMonth() const { return m_d.daysInMonth(); }
    zDate addDays(qint64 n) const { return zDate(m_d.addDays(n)); }
    zDate addMonths(int n) const { return zDate(m_d.addMonths(n)); }
    zDate addYears(int n) const { return zDate(m_d.addYears(n)); }
    const QDate& qdate() const { return m_d; }

    QString getText() const;     // "dd.mm.yyyy"; empty when invalid
    QString toIso() const;       // "yyyy-MM-dd"; empty when invalid

    friend bool operator==(const zDate& a, const zDate& b) { return a.m_d == b.m_d; }
    friend bool operator!=(const zDate& a, const zDate& b) { return a.m_d != b.m_d; }
    friend bool operator<(const zDate& a, const zDate& b) { return a.m_d < b.m_d; }
    friend bool operator>(const zDate& a, const zDate& b) { return a.m_d > b.m_d; }
    friend bool operator<=(const zDate& a, const zDate& b) { return a.m_d <= b.m_d; }
    friend bool operator>=(const zDate& a, const zDate& b) { return a.m_d >= b.m_d; }

private:
    QDate m_d;
};
