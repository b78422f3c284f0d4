#include "data/odbc_cell.h"

#include "data/odbc_check.h"

#include <sqlext.h>

#include <cstring>

namespace brindle::odbc {

namespace {

template <typename T> T Read(const void* data) {
    static_assert(sizeof(T) <= sizeof(FixedCell));
    T value;
    std::memcpy(&value, data, sizeof value);
    return value;
}

Error OutOfRange(const QString& text) {
    return {kOdbcFailure, QStringLiteral("日付または時刻の値を表せません: ") + text};
}

QDate ToDate(SQLSMALLINT year, SQLUSMALLINT month, SQLUSMALLINT day) {
    QDate date(year, month, day);
    if (!date.isValid())
        throw OutOfRange(QString::number(year) + u'-' + QString::number(month) + u'-' +
                         QString::number(day));
    return date;
}

QTime ToTime(SQLUSMALLINT hour, SQLUSMALLINT minute, SQLUSMALLINT second, int msec) {
    QTime time(hour, minute, second, msec);
    if (!time.isValid())
        throw OutOfRange(QString::number(hour) + u':' + QString::number(minute) + u':' +
                         QString::number(second));
    return time;
}

} // namespace

void AppendFixedCell(ColumnValues& values, SQLSMALLINT cType, const void* data) {
    switch (cType) {
    case SQL_C_SBIGINT:
        values.appendInteger(Read<SQLBIGINT>(data));
        return;
    case SQL_C_DOUBLE:
        values.appendDouble(Read<SQLDOUBLE>(data));
        return;
    case SQL_C_TYPE_DATE: {
        const auto d = Read<SQL_DATE_STRUCT>(data);
        values.appendDate(ToDate(d.year, d.month, d.day));
        return;
    }
    case SQL_C_TYPE_TIME: {
        const auto t = Read<SQL_TIME_STRUCT>(data);
        values.appendTime(ToTime(t.hour, t.minute, t.second, 0));
        return;
    }
    case SQL_C_TYPE_TIMESTAMP: {
        const auto ts = Read<SQL_TIMESTAMP_STRUCT>(data);
        // The fraction is in nanoseconds; QTime keeps milliseconds.
        const QDate date = ToDate(ts.year, ts.month, ts.day);
        const QTime time =
            ToTime(ts.hour, ts.minute, ts.second, static_cast<int>(ts.fraction / 1000000U));
        values.appendDateTime(QDateTime(date, time, Qt::UTC));
        return;
    }
    default:
        Q_ASSERT_X(false, "AppendFixedCell", "not a fixed-size C type");
        values.appendNull();
    }
}

} // namespace brindle::odbc
