// Reading stored dates: the stored form is read without the pattern, and
// that shortcut must agree with the pattern on every text it accepts or
// passes on.
#include "host/values/date.h"

#include <gtest/gtest.h>

namespace {

TEST(DatumAusDerDatenbank, StoredFormAndEveryOtherSpellingAgree) {
    struct Fall {
        const char* text;
        zDate erwartet;
    };
    const Fall faelle[] = {
        {"2016-12-31 00:00:00", zDate(2016, 12, 31)},
        {"2016-02-29T10:11:12", zDate(2016, 2, 29)},
        {"2016-01-05", zDate(2016, 1, 5)},
        {"2016-02-30 00:00:00", zDate()},            // no such day
        {"2015-02-29", zDate()},
        {"0000-00-00 00:00:00", zDate()},
        {" 2016-03-01", zDate(2016, 3, 1)},          // not the stored form: the pattern trims
        {"2016-03-01 00:00", zDate(2016, 3, 1)},     // without seconds
        {"2016-03-01 00:00:00.123", zDate(2016, 3, 1)},
        {"2016-3-01 00:00:00", zDate()},             // 19 characters, but not the stored form
        {"2016-03-01x00:00:00", zDate()},
        {"2016/03/01 00:00:00", zDate()},
        {"2016-03-01 0a:00:00", zDate()},
        {"01.03.2016", zDate()},                     // the German form is fromText's
    };
    for (const Fall& f : faelle) EXPECT_EQ(zDate::fromIso(QString::fromLatin1(f.text)), f.erwartet) << f.text;
}

}  // namespace
