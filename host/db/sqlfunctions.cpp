// Access-dialect SQL functions on SQLite handles.
//
// The ledger's statements were written for a desktop database engine and use
// its function names (MONTH(Belegdatum), MID(Belegdatum,5,1), NZ(SUM(...))).
// SQLite lacks them, so each handle gets small C implementations here. They
// follow one rule: NULL in gives NULL out (except NZ, whose job is NULL), and
// text they cannot read also gives NULL rather than a made-up value, so a bad
// row never turns into a plausible number.
//
// Text is handled as UTF-8 and counted in characters (code points), never in
// bytes: booking texts contain umlauts and "€".
#include "host/db/sqlfunctions.h"

#include "host/values/euro.h"

#include <QDate>
#include <QString>

#include <sqlite3.h>

#include <algorithm>
#include <cmath>

namespace dbsql {
namespace {

// ---- UTF-8 helpers -----------------------------------------------------------

// Argument as UTF-8 bytes; false for NULL.
bool argText(sqlite3_value* v, const unsigned char** p, int* n) {
    if (sqlite3_value_type(v) == SQLITE_NULL) return false;
    *p = sqlite3_value_text(v);  // converts numbers to their text form
    *n = sqlite3_value_bytes(v);
    if (!*p) return false;
    return true;
}

// Byte offset reached after skipping `chars` code points (clamped to n).
int utf8Offset(const unsigned char* p, int n, long long chars) {
    int i = 0;
    while (i < n && chars > 0) {
        ++i;
        while (i < n && (p[i] & 0xC0) == 0x80) ++i;  // continuation bytes
        --chars;
    }
    return i;
}

long long utf8Length(const unsigned char* p, int n) {
    long long count = 0;
    for (int i = 0; i < n; ++i)
        if ((p[i] & 0xC0) != 0x80) ++count;
    return count;
}

void resultBytes(sqlite3_context* ctx, const unsigned char* p, int n) {
    sqlite3_result_text(ctx, reinterpret_cast<const char*>(p), n, SQLITE_TRANSIENT);
}

void resultQString(sqlite3_context* ctx, const QString& s) {
    const QByteArray utf8 = s.toUtf8();
    sqlite3_result_text(ctx, utf8.constData(), utf8.size(), SQLITE_TRANSIENT);
}

bool anyNull(int argc, sqlite3_value** argv) {
    for (int i = 0; i < argc; ++i)
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL) return true;
    return false;
}

// ---- numbers -------------------------------------------------------------

// Numeric value of an argument. Text is read in machine form ("1234.5") or
// German form ("1.234,5"), since both occur in imported columns.
bool argNumber(sqlite3_value* v, double* out, bool* isInteger, long long* asInteger) {
    *isInteger = false;
    switch (sqlite3_value_type(v)) {
    case SQLITE_NULL:
        return false;
    case SQLITE_INTEGER:
        *asInteger = sqlite3_value_int64(v);
        *out = double(*asInteger);
        *isInteger = true;
        return true;
    case SQLITE_FLOAT:
        *out = sqlite3_value_double(v);
        return std::isfinite(*out);
    default: {
        const unsigned char* p = nullptr;
        int n = 0;
        if (!argText(v, &p, &n)) return false;
        const QString text = QString::fromUtf8(reinterpret_cast<const char*>(p), n).trimmed();
        if (text.isEmpty()) return false;
        bool ok = false;
        const long long i = text.toLongLong(&ok);
        if (ok) {
            *asInteger = i;
            *out = double(i);
            *isInteger = true;
            return true;
        }
        double d = text.toDouble(&ok);
        if (!ok) {
            QString german = text;
            german.remove(QLatin1Char('.')).replace(QLatin1Char(','), QLatin1Char('.'));
            d = german.toDouble(&ok);
        }
        if (!ok || !std::isfinite(d)) return false;
        *out = d;
        return true;
    }
    }
}

// True when d fits a 64-bit integer after rounding (the bounds as doubles).
bool fitsInt64(double d) {
    return d >= -9223372036854775808.0 && d < 9223372036854775808.0;
}

// ---- date parts ------------------------------------------------------------

struct DateTimeParts {
    bool hasDate = false;
    int year = 0, month = 0, day = 0;
    int hour = 0, minute = 0, second = 0;
};

// Reads minDigits..maxDigits decimal digits.
bool readNumber(const char*& p, const char* end, int minDigits, int maxDigits, int* out) {
    int value = 0, digits = 0;
    while (p < end && digits < maxDigits && *p >= '0' && *p <= '9') {
        value = value * 10 + (*p - '0');
        ++p;
        ++digits;
    }
    *out = value;
    return digits >= minDigits;
}

bool expect(const char*& p, const char* end, char c) {
    if (p < end && *p == c) {
        ++p;
        return true;
    }
    return false;
}

// "hh:mm[:ss[.fff]]"
bool readTime(const char*& p, const char* end, DateTimeParts* out) {
    if (!readNumber(p, end, 1, 2, &out->hour) || !expect(p, end, ':') || !readNumber(p, end, 2, 2, &out->minute))
        return false;
    if (expect(p, end, ':')) {
        if (!readNumber(p, end, 2, 2, &out->second)) return false;
        if (expect(p, end, '.')) {
            int ignored = 0;
            if (!readNumber(p, end, 1, 9, &ignored)) return false;
        }
    }
    return out->hour < 24 && out->minute < 60 && out->second < 60;
}

// The forms stored in our databases: "YYYY-MM-DD[ hh:mm:ss]" (also with 'T'),
// "dd.mm.yyyy[ hh:mm[:ss]]" from older imports, and a bare time of day.
bool parseDateTime(const unsigned char* text, int n, DateTimeParts* out) {
    const char* p = reinterpret_cast<const char*>(text);
    const char* end = p + n;
    while (p < end && *p == ' ') ++p;
    while (end > p && end[-1] == ' ') --end;
    if (p == end) return false;

    const char* start = p;
    int a = 0, b = 0, c = 0;
    bool dateRead = false;
    if (readNumber(p, end, 4, 4, &a) && expect(p, end, '-') && readNumber(p, end, 1, 2, &b) &&
        expect(p, end, '-') && readNumber(p, end, 1, 2, &c)) {
        out->year = a, out->month = b, out->day = c;
        dateRead = true;
    } else {
        p = start;
        if (readNumber(p, end, 1, 2, &a) && expect(p, end, '.') && readNumber(p, end, 1, 2, &b) &&
            expect(p, end, '.') && readNumber(p, end, 4, 4, &c)) {
            out->day = a, out->month = b, out->year = c;
            dateRead = true;
        }
    }

    if (dateRead) {
        if (!QDate::isValid(out->year, out->month, out->day)) return false;
        out->hasDate = true;
        if (p == end) return true;
        if (*p != ' ' && *p != 'T') return false;
        ++p;
        while (p < end && *p == ' ') ++p;
        return readTime(p, end, out) && p == end;
    }

    p = start;
    return readTime(p, end, out) && p == end;
}

enum class Part { Year, Month, Day, Minute };

template <Part part>
void fnDatePart(sqlite3_context* ctx, int, sqlite3_value** argv) {
    const unsigned char* p = nullptr;
    int n = 0;
    DateTimeParts dt;
    if (!argText(argv[0], &p, &n) || !parseDateTime(p, n, &dt)) {
        sqlite3_result_null(ctx);
        return;
    }
    switch (part) {
    case Part::Year:
    case Part::Month:
    case Part::Day:
        if (!dt.hasDate) {
            sqlite3_result_null(ctx);
            return;
        }
        sqlite3_result_int(ctx, part == Part::Year ? dt.year : part == Part::Month ? dt.month : dt.day);
        return;
    case Part::Minute:
        sqlite3_result_int(ctx, dt.minute);
        return;
    }
}

// ---- text functions ------------------------------------------------------

void fnLen(sqlite3_context* ctx, int, sqlite3_value** argv) {
    const unsigned char* p = nullptr;
    int n = 0;
    if (!argText(argv[0], &p, &n)) return sqlite3_result_null(ctx);
    sqlite3_result_int64(ctx, utf8Length(p, n));
}

// MID(s, start[, len]): start is 1-based; a start before 1 counts as 1 and a
// negative length as 0, where the desktop engine would raise an error.
void fnMid(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    const unsigned char* p = nullptr;
    int n = 0;
    if (anyNull(argc, argv) || !argText(argv[0], &p, &n)) return sqlite3_result_null(ctx);
    const long long start = std::max<long long>(1, sqlite3_value_int64(argv[1]));
    const int from = utf8Offset(p, n, start - 1);
    int to = n;
    if (argc == 3) {
        const long long len = std::max<long long>(0, sqlite3_value_int64(argv[2]));
        to = from + utf8Offset(p + from, n - from, len);
    }
    resultBytes(ctx, p + from, to - from);
}

void fnLeft(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    const unsigned char* p = nullptr;
    int n = 0;
    if (anyNull(argc, argv) || !argText(argv[0], &p, &n)) return sqlite3_result_null(ctx);
    const long long count = std::max<long long>(0, sqlite3_value_int64(argv[1]));
    resultBytes(ctx, p, utf8Offset(p, n, count));
}

void fnRight(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    const unsigned char* p = nullptr;
    int n = 0;
    if (anyNull(argc, argv) || !argText(argv[0], &p, &n)) return sqlite3_result_null(ctx);
    const long long count = std::max<long long>(0, sqlite3_value_int64(argv[1]));
    const long long skip = std::max<long long>(0, utf8Length(p, n) - count);
    const int from = utf8Offset(p, n, skip);
    resultBytes(ctx, p + from, n - from);
}

// TRIM/UCASE/LCASE go through QString: SQLite's own upper()/lower() only know
// ASCII, and "ä" must become "Ä".
enum class TextOp { Trim, Upper, Lower };

template <TextOp op>
void fnTextOp(sqlite3_context* ctx, int, sqlite3_value** argv) {
    const unsigned char* p = nullptr;
    int n = 0;
    if (!argText(argv[0], &p, &n)) return sqlite3_result_null(ctx);
    const QString s = QString::fromUtf8(reinterpret_cast<const char*>(p), n);
    switch (op) {
    case TextOp::Trim: return resultQString(ctx, s.trimmed());
    case TextOp::Upper: return resultQString(ctx, s.toUpper());
    case TextOp::Lower: return resultQString(ctx, s.toLower());
    }
}

// ---- conversions -----------------------------------------------------------

void fnCDbl(sqlite3_context* ctx, int, sqlite3_value** argv) {
    double d = 0;
    bool isInt = false;
    long long i = 0;
    if (!argNumber(argv[0], &d, &isInt, &i)) return sqlite3_result_null(ctx);
    sqlite3_result_double(ctx, d);
}

// Half away from zero: CLNG(2.5) = 3, CLNG(-2.5) = -3.
void fnCLng(sqlite3_context* ctx, int, sqlite3_value** argv) {
    double d = 0;
    bool isInt = false;
    long long i = 0;
    if (!argNumber(argv[0], &d, &isInt, &i)) return sqlite3_result_null(ctx);
    if (isInt) return sqlite3_result_int64(ctx, i);
    const double r = std::round(d);
    if (!fitsInt64(r)) return sqlite3_result_null(ctx);
    sqlite3_result_int64(ctx, static_cast<long long>(r));
}

// Floor, keeping the kind: an integer stays an integer, a real stays a real.
void fnInt(sqlite3_context* ctx, int, sqlite3_value** argv) {
    double d = 0;
    bool isInt = false;
    long long i = 0;
    if (!argNumber(argv[0], &d, &isInt, &i)) return sqlite3_result_null(ctx);
    if (isInt) return sqlite3_result_int64(ctx, i);
    sqlite3_result_double(ctx, std::floor(d));
}

// Numbers in machine form, as DatenTyp::toString writes them.
void fnCStr(sqlite3_context* ctx, int, sqlite3_value** argv) {
    switch (sqlite3_value_type(argv[0])) {
    case SQLITE_NULL: return sqlite3_result_null(ctx);
    case SQLITE_INTEGER: return resultQString(ctx, QString::number(sqlite3_value_int64(argv[0])));
    case SQLITE_FLOAT: return resultQString(ctx, QString::number(sqlite3_value_double(argv[0]), 'g', 15));
    default: {
        const unsigned char* p = nullptr;
        int n = 0;
        if (!argText(argv[0], &p, &n)) return sqlite3_result_null(ctx);
        resultBytes(ctx, p, n);
    }
    }
}

void fnNz(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) != SQLITE_NULL) return sqlite3_result_value(ctx, argv[0]);
    if (argc > 1) return sqlite3_result_value(ctx, argv[1]);
    sqlite3_result_int(ctx, 0);
}

// ROUNDEURO(x[, n]): the amount rule of EuroType, so SQL sums round exactly
// like the amounts computed in code. n defaults to cents.
void fnRoundEuro(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    double d = 0;
    bool isInt = false;
    long long i = 0;
    if (anyNull(argc, argv) || !argNumber(argv[0], &d, &isInt, &i)) return sqlite3_result_null(ctx);
    const int places = argc > 1 ? sqlite3_value_int(argv[1]) : 2;
    sqlite3_result_double(ctx, EuroType::runden(d, places));
}

struct Function {
    const char* name;
    int argc;
    void (*fn)(sqlite3_context*, int, sqlite3_value**);
};

const Function kFunctions[] = {
    {"MONTH", 1, fnDatePart<Part::Month>},
    {"YEAR", 1, fnDatePart<Part::Year>},
    {"DAY", 1, fnDatePart<Part::Day>},
    {"MINUTE", 1, fnDatePart<Part::Minute>},
    {"LEN", 1, fnLen},
    {"MID", 2, fnMid},
    {"MID", 3, fnMid},
    // LEFT and RIGHT are join keywords in SQLite's grammar: a bare LEFT(s, n)
    // is a syntax error, the quoted form "LEFT"(s, n) reaches this function.
    {"LEFT", 2, fnLeft},
    {"RIGHT", 2, fnRight},
    {"TRIM", 1, fnTextOp<TextOp::Trim>},
    {"UCASE", 1, fnTextOp<TextOp::Upper>},
    {"LCASE", 1, fnTextOp<TextOp::Lower>},
    {"CDBL", 1, fnCDbl},
    {"CLNG", 1, fnCLng},
    {"CSTR", 1, fnCStr},
    {"INT", 1, fnInt},
    {"NZ", 1, fnNz},
    {"NZ", 2, fnNz},
    {"ROUNDEURO", 1, fnRoundEuro},
    {"ROUNDEURO", 2, fnRoundEuro},
};

}  // namespace

bool registerAccessFunctions(sqlite3* db) {
    bool ok = true;
    for (const Function& f : kFunctions) {
        const int rc = sqlite3_create_function_v2(db, f.name, f.argc, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                                  f.fn, nullptr, nullptr, nullptr);
        ok = ok && rc == SQLITE_OK;
    }
    return ok;
}

}  // namespace dbsql
