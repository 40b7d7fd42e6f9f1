/* Time built-ins. date() formats local time (TZ decides the zone),
 * gmdate() universal time, with the letters of the original engine: the
 * ones later versions added (N, e, o, c, u, P) are plain text here, the
 * week number has no leading zero and "r" pads the day with a space. */
#include <cmath>
#include <cstdio>
#include <ctime>
#include <sys/time.h>
#include <unistd.h>

#include "builtins.h"
#include "engine.h"

using namespace zend::builtins;

namespace {

const char *const day_names[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
const char *const month_names[] = {"January", "February", "March", "April", "May", "June", "July",
                                   "August", "September", "October", "November", "December"};

bool leap_year(long year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int days_in_month(int month, long year)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 1 && leap_year(year) ? 29 : days[month];
}

std::string two(int v)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d", v);
    return buf;
}

/* ISO 8601 week number (weeks start on Monday, week 1 holds the year's
 * first Thursday), reckoned from the weekday of January 1st. */
int iso_week(const std::tm &t)
{
    long year = t.tm_year + 1900L;
    int wd = (t.tm_wday + 6) % 7;          /* Monday 0 */
    int yd = t.tm_yday + 1;                /* 1 on January 1st */
    int fd = (7 + wd - yd % 7 + 1) % 7;    /* weekday of January 1st */
    if (yd <= 7 - fd && fd > 3)            /* the last week of the year before */
        return fd == 4 || (fd == 5 && leap_year(year - 1)) ? 53 : 52;
    if ((leap_year(year) ? 366 : 365) - yd < 3 - wd) /* the first week of the next */
        return 1;
    return (yd + 6 - wd + fd) / 7 - (fd > 3 ? 1 : 0);
}

std::string utc_offset(long seconds)
{
    char buf[48];
    long a = seconds < 0 ? -seconds : seconds;
    std::snprintf(buf, sizeof buf, "%c%02ld%02ld", seconds < 0 ? '-' : '+', a / 3600, (a / 60) % 60);
    return buf;
}

std::string format_date(const std::string &format, std::time_t ts, bool local)
{
    std::tm t{};
    if (local)
        localtime_r(&ts, &t);
    else
        gmtime_r(&ts, &t);
    long offset = local ? t.tm_gmtoff : 0;
    const char *zone = local ? (t.tm_zone ? t.tm_zone : "") : "GMT";
    long year = t.tm_year + 1900L;
    int hour12 = t.tm_hour % 12 == 0 ? 12 : t.tm_hour % 12;
    std::string out;
    for (std::size_t i = 0; i < format.size(); i++) {
        char c = format[i];
        switch (c) {
        case 'a': out += t.tm_hour < 12 ? "am" : "pm"; break;
        case 'A': out += t.tm_hour < 12 ? "AM" : "PM"; break;
        case 'B': {
            long beat = ((ts + 3600) % 86400 + 86400) % 86400 * 10 / 864;
            char buf[8];
            std::snprintf(buf, sizeof buf, "%03ld", beat);
            out += buf;
            break;
        }
        case 'd': out += two(t.tm_mday); break;
        case 'D': out += std::string(day_names[t.tm_wday], 3); break;
        case 'F': out += month_names[t.tm_mon]; break;
        case 'g': out += std::to_string(hour12); break;
        case 'G': out += std::to_string(t.tm_hour); break;
        case 'h': out += two(hour12); break;
        case 'H': out += two(t.tm_hour); break;
        case 'i': out += two(t.tm_min); break;
        case 'I': out += t.tm_isdst > 0 ? "1" : "0"; break;
        case 'j': out += std::to_string(t.tm_mday); break;
        case 'l': out += day_names[t.tm_wday]; break;
        case 'L': out += leap_year(year) ? "1" : "0"; break;
        case 'm': out += two(t.tm_mon + 1); break;
        case 'M': out += std::string(month_names[t.tm_mon], 3); break;
        case 'n': out += std::to_string(t.tm_mon + 1); break;
        case 'O': out += utc_offset(offset); break;
        case 'r': {
            char day[8];
            std::snprintf(day, sizeof day, "%2d", t.tm_mday);
            out += std::string(day_names[t.tm_wday], 3) + ", " + day + format_date(" M Y H:i:s O", ts, local);
            break;
        }
        case 's': out += two(t.tm_sec); break;
        case 'S': {
            int d = t.tm_mday;
            if (d >= 11 && d <= 13)
                out += "th";
            else if (d % 10 == 1)
                out += "st";
            else if (d % 10 == 2)
                out += "nd";
            else if (d % 10 == 3)
                out += "rd";
            else
                out += "th";
            break;
        }
        case 't': out += std::to_string(days_in_month(t.tm_mon, year)); break;
        case 'T': out += zone; break;
        case 'U': out += std::to_string(static_cast<long>(ts)); break;
        case 'w': out += std::to_string(t.tm_wday); break;
        case 'W': out += std::to_string(iso_week(t)); break;
        case 'Y': out += std::to_string(year); break;
        case 'y': out += two(static_cast<int>(year % 100)); break;
        case 'z': out += std::to_string(t.tm_yday); break;
        case 'Z': out += std::to_string(offset); break;
        case '\\':
            if (i + 1 < format.size())
                out += format[++i];
            break;
        default: out += c;
        }
    }
    return out;
}

void date_function(INTERNAL_FUNCTION_PARAMETERS, bool local)
{
    std::string format;
    long timestamp = 0;
    if (!parse_args(ZEND_NUM_ARGS(), "s|l", &format, &timestamp))
        return;
    std::time_t ts = ZEND_NUM_ARGS() == 2 ? static_cast<std::time_t>(timestamp) : std::time(nullptr);
    return_string(return_value, format_date(format, ts, local));
}

} // namespace

namespace zend::builtins {

std::string date_text(const std::string &format, long timestamp, bool local)
{
    return format_date(format, static_cast<std::time_t>(timestamp), local);
}

} // namespace zend::builtins

ZEND_FUNCTION(date) { date_function(INTERNAL_FUNCTION_PARAM_PASSTHRU, true); }
ZEND_FUNCTION(gmdate) { date_function(INTERNAL_FUNCTION_PARAM_PASSTHRU, false); }

ZEND_FUNCTION(time)
{
    if (!parse_args(ZEND_NUM_ARGS(), ""))
        return;
    RETURN_LONG(static_cast<long>(std::time(nullptr)));
}

/* microtime(): "0.12345600 1234567890". The float form came with a later
 * version; as in the original engine, arguments are not looked at. */
ZEND_FUNCTION(microtime)
{
    struct timeval tv;
    gettimeofday(&tv, nullptr);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.8F %ld", tv.tv_usec / 1e6, static_cast<long>(tv.tv_sec));
    RETURN_STRING(buf, 1);
}

namespace {

/* mktime() and gmmktime(): missing parts from the current time (local or
 * universal); out-of-range parts roll over. */
void make_time(INTERNAL_FUNCTION_PARAMETERS, bool local)
{
    long parts[7]; /* the seventh, is_dst, is taken and not used */
    if (!parse_args(ZEND_NUM_ARGS(), "|lllllll", &parts[0], &parts[1], &parts[2], &parts[3], &parts[4], &parts[5],
                    &parts[6]))
        return;
    std::time_t now = std::time(nullptr);
    std::tm t{};
    if (local)
        localtime_r(&now, &t);
    else
        gmtime_r(&now, &t);
    int *fields[] = {&t.tm_hour, &t.tm_min, &t.tm_sec, &t.tm_mon, &t.tm_mday, &t.tm_year};
    for (int i = 0; i < ZEND_NUM_ARGS() && i < 6; i++) {
        long v = parts[i];
        if (v > 1000000 || v < -1000000)
            RETURN_FALSE;
        if (i == 3)
            v -= 1;
        if (i == 5) {
            if (v >= 0 && v < 70)
                v += 2000;
            else if (v >= 70 && v <= 100)
                v += 1900;
            v -= 1900;
        }
        *fields[i] = static_cast<int>(v);
    }
    if (!local)
        RETURN_LONG(static_cast<long>(timegm(&t)));
    t.tm_isdst = -1;
    std::time_t result = std::mktime(&t);
    if (result == static_cast<std::time_t>(-1))
        RETURN_FALSE;
    RETURN_LONG(static_cast<long>(result));
}

} // namespace

/* mktime([hour [, minute [, second [, month [, day [, year]]]]]]) */
ZEND_FUNCTION(mktime) { make_time(INTERNAL_FUNCTION_PARAM_PASSTHRU, true); }

/* gmmktime(): mktime() in universal time. */
ZEND_FUNCTION(gmmktime) { make_time(INTERNAL_FUNCTION_PARAM_PASSTHRU, false); }

ZEND_FUNCTION(checkdate)
{
    long m, d, y;
    if (!parse_args(ZEND_NUM_ARGS(), "lll", &m, &d, &y))
        return;
    RETURN_BOOL(y >= 1 && y <= 32767 && m >= 1 && m <= 12 && d >= 1 && d <= days_in_month(static_cast<int>(m - 1), y));
}

ZEND_FUNCTION(sleep)
{
    long seconds;
    if (!parse_args(ZEND_NUM_ARGS(), "l", &seconds))
        return;
    if (seconds > 0)
        ::sleep(static_cast<unsigned>(seconds));
}

ZEND_FUNCTION(usleep)
{
    long micro;
    if (!parse_args(ZEND_NUM_ARGS(), "l", &micro))
        return;

    if (micro > 0) {
        struct timespec ts = {micro / 1000000, (micro % 1000000) * 1000};
        nanosleep(&ts, nullptr);
    }
}
