// A period from..to (both inclusive), for reports and filters.
#pragma once

#include "host/values/date.h"

class rsPeriod {
public:
    rsPeriod() = default;
    rsPeriod(const zDate& von, const zDate& bis) : m_von(von), m_bis(bis) {}

    static rsPeriod year(int y) { return rsPeriod(zDate(y, 1, 1), zDate(y, 12, 31)); }
    static rsPeriod quarter(int y, int q);  // q 1..4
    static rsPeriod month(int y, int m);    // m 1..12

    const zDate& von() const { return m_von; }
    const zDate& bis() const { return m_bis; }
    void setVon(const zDate& d) { m_von = d; }
    void setBis(const zDate& d) { m_bis = d; }

    bool isEmpty() const { return !m_von.isValid() && !m_bis.isValid(); }
    bool isValid() const { return m_von.isValid() && m_bis.isValid() && m_von <= m_bis; }
    bool contains(const zDate& d) const;  // an open end (invalid bound) does not limit
    void clear() { m_von = zDate(); m_bis = zDate(); }

    friend bool operator==(const rsPeriod& a, const rsPeriod& b) { return a.m_von == b.m_von && a.m_bis == b.m_bis; }
    friend bool operator!=(const rsPeriod& a, const rsPeriod& b) { return !(a == b); }

private:
    zDate m_von, m_bis;
};
