// Periods from..to (see period.h).
#include "host/values/period.h"

rsPeriod rsPeriod::quarter(int y, int q) {
    if (q < 1 || q > 4) return rsPeriod();
    const zDate von(y, (q - 1) * 3 + 1, 1);
    return rsPeriod(von, von.addMonths(3).addDays(-1));
}

rsPeriod rsPeriod::month(int y, int m) {
    if (m < 1 || m > 12) return rsPeriod();
    const zDate von(y, m, 1);
    return rsPeriod(von, von.addMonths(1).addDays(-1));
}

bool rsPeriod::contains(const zDate& d) const {
    if (!d.isValid()) return false;
    if (m_von.isValid() && d < m_von) return false;
    if (m_bis.isValid() && d > m_bis) return false;
    return true;
}
