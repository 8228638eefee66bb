// A small ledger for the tests of the self-check and the CSV export: a case
// in slot 0 with the SKR03 chart of 2016, the tax keys and accounts the
// tests book on, and ten bookings that cover every shape the posting code
// writes. The numbers are fixed, so a test can break one booking by SQL:
//
//   1 income 119,00 gross on 8400, key 5 (cancelled by 9)
//   2 expense 59,50 on 4930, key 7          lines 4 (money), 5 (base), 6 (tax)
//   3 expense 1000,00 on 3425, key 19 (intra-Community acquisition: tax lines on 1574 and 1774)
//   4 income 100,00 net on 8400, key 5
//   5 income 0,05 on 8300, key 2 (a tax of zero gets no line)
//   6 free booking 200,00 from the bank to private withdrawals 1800
//   7 expense split over 4930 (key 7), 4210 (no key) and 4940 (key 7, net), paid in cash
//   8 income split over 8400 (key 5) and 8300 (key 2)
//   9 the cancellation of 1
//  10 expense 12,34 on 4210 without key
#pragma once

#include "support/testenv.h"

#include <gtest/gtest.h>

class DBConnection;
class KontoGlobal;

class Buchungsfall : public ::testing::Test {
protected:
    void SetUp() override;

    TestEnv env;
    KontoGlobal* kg = nullptr;
    DBConnection* db = nullptr;
};
