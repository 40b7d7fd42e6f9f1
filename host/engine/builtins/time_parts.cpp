/* Time built-ins that split, build and read dates: getdate, localtime,
 * strftime, gmstrftime and strtotime (gmmktime stands beside mktime). strtotime reads the
 * English forms the original engine's date grammar reads and returns -1
 * for text it cannot read. */
#include <cctype>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "builtins.h"
#include "engine.h"

using namespace zend::builtins;

namespace {

const char *const weekday_names[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
const char *const month_full_names[] = {"January", "February", "March", "April", "May", "June", "July",
                                        "August", "September", "October", "November", "December"};

std::tm broken_down(std::time_t ts, bool local)
{
    std::tm t{};
    if (local)
        localtime_r(&ts, &t);
    else
        gmtime_r(&ts, &t);
    return t;
}

} // namespace

/* getdate([timestamp]) */
ZEND_FUNCTION(getdate)
{
    long given = 0;
    if (!parse_args(ZEND_NUM_ARGS(), "|l", &given))
        return;
    std::time_t ts = ZEND_NUM_ARGS() >= 1 ? static_cast<std::time_t>(given) : std::time(nullptr);
    std::tm t = broken_down(ts, true);
    array_init(return_value);
    add_assoc_long(return_value, "seconds", t.tm_sec);
    add_assoc_long(return_value, "minutes", t.tm_min);
    add_assoc_long(return_value, "hours", t.tm_hour);
    add_assoc_long(return_value, "mday", t.tm_mday);
    add_assoc_long(return_value, "wday", t.tm_wday);
    add_assoc_long(return_value, "mon", t.tm_mon + 1);
    add_assoc_long(return_value, "year", t.tm_year + 1900);
    add_assoc_long(return_value, "yday", t.tm_yday);
    const char *day = weekday_names[t.tm_wday];
    const char *month = month_full_names[t.tm_mon];
    add_assoc_stringl(return_value, "weekday", day, static_cast<uint>(std::strlen(day)), 1);
    add_assoc_stringl(return_value, "month", month, static_cast<uint>(std::strlen(month)), 1);
    array_put(return_value->value.ht, 0UL, new_long(static_cast<long>(ts)));
}

/* localtime([timestamp [, is_associative]]) */
ZEND_FUNCTION(localtime)
{
    long given = 0;
    bool assoc = false;
    if (!parse_args(ZEND_NUM_ARGS(), "|lb", &given, &assoc))
        return;
    std::time_t ts = ZEND_NUM_ARGS() >= 1 ? static_cast<std::time_t>(given) : std::time(nullptr);
    std::tm t = broken_down(ts, true);
    const char *names[] = {"tm_sec", "tm_min", "tm_hour", "tm_mday", "tm_mon",
                           "tm_year", "tm_wday", "tm_yday", "tm_isdst"};
    long values[] = {t.tm_sec, t.tm_min, t.tm_hour, t.tm_mday, t.tm_mon, t.tm_year, t.tm_wday, t.tm_yday,
                     t.tm_isdst > 0 ? 1L : 0L};
    array_init(return_value);
    for (int i = 0; i < 9; i++) {
        if (assoc)
            add_assoc_long(return_value, names[i], values[i]);
        else
            add_next_index_long(return_value, values[i]);
    }
}

namespace {

/* strftime's text: the C library's, in the "C" locale this engine runs
 * in; the buffer grows for long results. */
void strftime_function(INTERNAL_FUNCTION_PARAMETERS, bool local)
{
    std::string format;
    long given = 0;
    if (!parse_args(ZEND_NUM_ARGS(), "s|l", &format, &given))
        return;
    if (format.empty())
        RETURN_FALSE;
    std::time_t ts = ZEND_NUM_ARGS() >= 2 ? static_cast<std::time_t>(given) : std::time(nullptr);
    std::tm t = broken_down(ts, local);
    if (!local) {
        t.tm_zone = "GMT";
        t.tm_gmtoff = 0;
    }
    /* A leading character keeps an empty result apart from a failure. */
    std::string with_mark = "x" + format;
    std::string buf(with_mark.size() * 4 + 64, '\0');
    std::size_t n = 0;
    while ((n = std::strftime(buf.data(), buf.size(), with_mark.c_str(), &t)) == 0) {
        if (buf.size() >= (1u << 25)) {
            zend_error(E_WARNING, "%s(): The result is too long", get_active_function_name());
            RETURN_FALSE;
        }
        buf.resize(buf.size() * 2);
    }
    return_string(return_value, std::string_view(buf.data() + 1, n - 1));
}

} // namespace

ZEND_FUNCTION(strftime) { strftime_function(INTERNAL_FUNCTION_PARAM_PASSTHRU, true); }
ZEND_FUNCTION(gmstrftime) { strftime_function(INTERNAL_FUNCTION_PARAM_PASSTHRU, false); }

namespace {

/* strtotime's reader. The text is split into words, numbers and single
 * signs; what it says collects in the fields below and is applied to the
 * base time at the end, as the original grammar does: a date or a weekday
 * without a time means midnight, relative parts are added last. */
struct date_reader {
    std::vector<std::string> tokens;
    std::size_t pos = 0;

    bool have_date = false, have_time = false, have_day = false, have_zone = false, have_rel = false;
    long year = 0, month = 0, day = 0;
    long hour = 0, minute = 0, second = 0;
    long weekday = 0, day_ordinal = 0;
    long zone_offset = 0; /* seconds east of UTC */
    long rel_year = 0, rel_month = 0, rel_day = 0, rel_second = 0;

    static std::vector<std::string> split(const std::string &text)
    {
        std::vector<std::string> out;
        std::size_t i = 0;
        while (i < text.size()) {
            unsigned char c = static_cast<unsigned char>(text[i]);
            if (std::isspace(c) || c == ',') {
                i++;
            } else if (std::isdigit(c)) {
                std::size_t j = i;
                while (j < text.size() && std::isdigit(static_cast<unsigned char>(text[j])))
                    j++;
                out.push_back(text.substr(i, j - i));
                i = j;
            } else if (std::isalpha(c)) {
                std::size_t j = i;
                while (j < text.size() && (std::isalpha(static_cast<unsigned char>(text[j])) || text[j] == '.'))
                    j++;
                std::string word = lowercase(text.substr(i, j - i));
                while (!word.empty() && word.back() == '.')
                    word.pop_back();
                out.push_back(word);
                i = j;
            } else {
                out.push_back(std::string(1, static_cast<char>(c)));
                i++;
            }
        }
        return out;
    }

    /* A number token's value; past nine digits it reads as 10^9, which no
     * field accepts. */
    static long number(const std::string &t) { return t.size() > 9 ? 1000000000L : std::strtol(t.c_str(), nullptr, 10); }

    static bool is_number(const std::string &t) { return !t.empty() && std::isdigit(static_cast<unsigned char>(t[0])); }

    const std::string &peek(std::size_t ahead = 0) const
    {
        static const std::string none;
        return pos + ahead < tokens.size() ? tokens[pos + ahead] : none;
    }

    static long to_year(long y, std::size_t digits)
    {
        if (digits <= 2)
            return y < 70 ? y + 2000 : y + 1900;
        return y;
    }

    /* The year that may end a date: after the separator when one is given,
     * else a number that starts no time; the current year when there is
     * none. */
    long optional_year(const char *separator)
    {
        if (separator ? peek() == separator && is_number(peek(1)) : is_number(peek()) && peek(1) != ":") {
            if (separator)
                pos++;
            std::size_t len = peek().size();
            return to_year(number(tokens[pos++]), len);
        }
        return year_now;
    }

    static int month_of(const std::string &w)
    {
        static const char *const names[] = {"jan", "feb", "mar", "apr", "may", "jun",
                                            "jul", "aug", "sep", "oct", "nov", "dec"};
        for (int i = 0; i < 12; i++) {
            if (w == names[i] || w == lowercase(month_full_names[i]) || (i == 8 && w == "sept"))
                return i + 1;
        }
        return 0;
    }

    static int weekday_of(const std::string &w)
    {
        static const char *const names[] = {"sun", "mon", "tue", "wed", "thu", "fri", "sat"};
        static const char *const longer[] = {"", "", "tues", "wednes", "thur", "", ""};
        for (int i = 0; i < 7; i++) {
            if (w == names[i] || w == lowercase(weekday_names[i]) || (longer[i][0] && w == longer[i]) ||
                (i == 3 && w == "wednes") || (i == 4 && (w == "thur" || w == "thurs")))
                return i;
        }
        return -1;
    }

    /* Seconds for a unit word, or months (with *months set), 0 if none. */
    static bool unit_of(std::string w, long &seconds, long &months)
    {
        seconds = months = 0;
        if (w.size() > 1 && w.back() == 's' && w != "s")
            w.pop_back();
        if (w == "year")
            months = 12;
        else if (w == "month")
            months = 1;
        else if (w == "fortnight")
            seconds = 14 * 86400L;
        else if (w == "week")
            seconds = 7 * 86400L;
        else if (w == "day")
            seconds = 86400L;
        else if (w == "hour")
            seconds = 3600;
        else if (w == "minute" || w == "min")
            seconds = 60;
        else if (w == "second" || w == "sec")
            seconds = 1;
        else
            return false;
        return true;
    }

    void add_relative(long count, long seconds, long months)
    {
        have_rel = true;
        if (months)
            rel_month += count * months;
        else if (seconds % 86400 == 0)
            rel_day += count * (seconds / 86400);
        else
            rel_second += count * seconds;
    }

    /* hh:mm[:ss] [am|pm], the hour already read. */
    bool read_time(long h)
    {
        if (have_time)
            return false;
        long m = 0, s = 0;
        if (peek() == ":") {
            pos++;
            if (!is_number(peek()))
                return false;
            m = number(tokens[pos++]);
            if (peek() == ":" && is_number(peek(1))) {
                pos++;
                s = number(tokens[pos++]);
            }
        }
        if (!read_meridian(h))
            return false;
        return set_time(h, m, s, 61);
    }

    bool read_meridian(long &h)
    {
        const std::string &w = peek();
        if (w == "am" || w == "a.m" || w == "pm" || w == "p.m") {
            if (h < 1 || h > 12)
                return false;
            bool pm = w[0] == 'p';
            h = h % 12 + (pm ? 12 : 0);
            pos++;
        }
        return true;
    }

    /* A time of day; seconds up to max_second (61 where leap seconds may
     * be written). */
    bool set_time(long h, long m, long s, long max_second)
    {
        if (h > 23 || m > 59 || s > max_second)
            return false;
        hour = h;
        minute = m;
        second = s;
        have_time = true;
        return true;
    }

    bool set_date(long y, long m, long d)
    {
        if (have_date || m < 1 || m > 12 || d < 1 || d > 31)
            return false;
        year = y;
        month = m;
        day = d;
        have_date = true;
        return true;
    }

    /* A zone after a time: +hhmm, -hh:mm, GMT, UTC, Z. */
    bool read_zone_offset(int sign)
    {
        if (!is_number(peek()))
            return false;
        std::string digits = tokens[pos++];
        long h, m = 0;
        if (peek() == ":" && is_number(peek(1))) {
            h = number(digits);
            pos++;
            m = number(tokens[pos++]);
        } else if (digits.size() <= 2) {
            h = number(digits);
        } else if (digits.size() <= 4) {
            long v = number(digits);
            h = v / 100;
            m = v % 100;
        } else {
            return false;
        }
        if (h > 24 || m > 59)
            return false;
        zone_offset = sign * (h * 3600 + m * 60);
        have_zone = true;
        return true;
    }

    bool read_number()
    {
        std::string digits = tokens[pos++];
        if (digits.size() > 9)
            return false; /* no date part or count is that long */
        long n = number(digits);
        const std::string &next = peek();
        long seconds, months;
        if (next == ":" || next == "am" || next == "pm" || next == "a.m" || next == "p.m")
            return read_time(n);
        if (next == "-" && is_number(peek(1))) {
            /* yyyy-mm-dd */
            pos++;
            long m = number(tokens[pos++]);
            if (peek() != "-" || !is_number(peek(1)))
                return false;
            pos++;
            long d = number(tokens[pos++]);
            return set_date(to_year(n, digits.size()), m, d);
        }
        if (next == "-" && month_of(peek(1))) {
            /* dd-mon-yyyy */
            pos++;
            long m = month_of(tokens[pos++]);
            return set_date(optional_year("-"), m, n);
        }
        if (next == "/" && is_number(peek(1))) {
            /* mm/dd[/yyyy] */
            pos++;
            long d = number(tokens[pos++]);
            return set_date(optional_year("/"), n, d);
        }
        if (month_of(next)) {
            /* dd month [yyyy] */
            pos++;
            long m = month_of(next);
            return set_date(optional_year(nullptr), m, n);
        }
        if (unit_of(next, seconds, months)) {
            pos++;
            add_relative(n, seconds, months);
            return true;
        }
        if (digits.size() == 8 && !have_date)
            return set_date(n / 10000, n / 100 % 100, n % 100);
        if (have_date && !have_time && (digits.size() == 4 || digits.size() == 6) && !have_rel) {
            long h = digits.size() == 4 ? n / 100 : n / 10000;
            long m = digits.size() == 4 ? n % 100 : n / 100 % 100;
            long s = digits.size() == 4 ? 0 : n % 100;
            return set_time(h, m, s, 59);
        }
        return false;
    }

    bool read_word()
    {
        std::string w = tokens[pos++];
        long seconds, months;
        if (w == "now")
            return true;
        if (w == "today") {
            have_rel = true;
            return true;
        }
        if (w == "tomorrow" || w == "yesterday") {
            add_relative(w == "tomorrow" ? 1 : -1, 86400, 0);
            return true;
        }
        if (w == "ago") {
            rel_year = -rel_year;
            rel_month = -rel_month;
            rel_day = -rel_day;
            rel_second = -rel_second;
            return true;
        }
        if (w == "gmt" || w == "utc" || w == "ut" || w == "z") {
            if (peek() == "+" || peek() == "-") {
                int sign = peek() == "+" ? 1 : -1;
                pos++;
                return read_zone_offset(sign);
            }
            zone_offset = 0;
            have_zone = true;
            return true;
        }
        if (w == "next" || w == "last" || w == "this") {
            long ordinal = w == "next" ? 1 : w == "last" ? -1 : 0;
            if (pos >= tokens.size())
                return false;
            std::string what = tokens[pos++];
            int wd = weekday_of(what);
            if (wd >= 0) {
                if (have_day)
                    return false;
                weekday = wd;
                day_ordinal = ordinal;
                have_day = true;
                return true;
            }
            if (!unit_of(what, seconds, months))
                return false;
            add_relative(ordinal, seconds, months);
            return true;
        }
        if (unit_of(w, seconds, months)) {
            add_relative(1, seconds, months);
            return true;
        }
        int wd = weekday_of(w);
        if (wd >= 0) {
            if (have_day)
                return false;
            weekday = wd;
            day_ordinal = 0;
            have_day = true;
            return true;
        }
        int m = month_of(w);
        if (m) {
            /* month dd [yyyy] */
            if (!is_number(peek()))
                return false;
            long d = number(tokens[pos++]);
            return set_date(optional_year(nullptr), m, d);
        }
        return false;
    }

    bool read_signed()
    {
        int sign = tokens[pos++] == "-" ? -1 : 1;
        if (!is_number(peek()))
            return false;
        if (have_time && !have_zone && !unit_ahead())
            return read_zone_offset(sign);
        if (peek().size() > 9)
            return false;
        long n = number(peek());
        pos++;
        long seconds, months;
        if (pos >= tokens.size() || !unit_of(tokens[pos], seconds, months))
            return false;
        pos++;
        add_relative(sign * n, seconds, months);
        return true;
    }

    bool unit_ahead() const
    {
        long seconds, months;
        return unit_of(peek(1), seconds, months);
    }

    long year_now = 1970;

    bool read(const std::string &text)
    {
        tokens = split(text);
        while (pos < tokens.size()) {
            const std::string &t = tokens[pos];
            bool ok;
            if (is_number(t))
                ok = read_number();
            else if (t == "+" || t == "-")
                ok = read_signed();
            else if (std::isalpha(static_cast<unsigned char>(t[0])))
                ok = read_word();
            else
                ok = false;
            if (!ok)
                return false;
        }
        return true;
    }
};

long string_to_time(const std::string &text, std::time_t now)
{
    date_reader r;
    std::tm base = broken_down(now, true);
    r.year_now = base.tm_year + 1900L;
    /* Relative parts past some ten thousand years are no date mktime reads. */
    constexpr long years = 10000;
    if (!r.read(text) || std::labs(r.rel_month) > years * 12 || std::labs(r.rel_day) > years * 366 ||
        std::labs(r.rel_second) > years * 366 * 86400)
        return -1;
    std::tm t = base;
    if (r.have_date) {
        t.tm_year = static_cast<int>(r.year - 1900);
        t.tm_mon = static_cast<int>(r.month - 1);
        t.tm_mday = static_cast<int>(r.day);
    }
    if (r.have_time) {
        t.tm_hour = static_cast<int>(r.hour);
        t.tm_min = static_cast<int>(r.minute);
        t.tm_sec = static_cast<int>(r.second);
    } else if (r.have_date || r.have_day) {
        t.tm_hour = t.tm_min = t.tm_sec = 0;
    }
    t.tm_year += static_cast<int>(r.rel_month / 12);
    t.tm_mon += static_cast<int>(r.rel_month % 12);
    t.tm_mday += static_cast<int>(r.rel_day);
    t.tm_isdst = -1;
    std::time_t result;
    if (r.have_zone) {
        result = timegm(&t) - r.zone_offset;
    } else {
        result = std::mktime(&t);
    }
    if (result == static_cast<std::time_t>(-1))
        return -1;
    if (r.have_day && !r.have_date) {
        std::tm d = broken_down(result, true);
        long ahead = (r.weekday - d.tm_wday + 7) % 7;
        if (r.day_ordinal > 0 && ahead == 0)
            ahead = 7;
        else if (r.day_ordinal < 0)
            ahead = ahead == 0 ? -7 : ahead - 7;
        d.tm_mday += static_cast<int>(ahead);
        d.tm_isdst = -1;
        result = std::mktime(&d);
    }
    return static_cast<long>(result) + r.rel_second;
}

} // namespace

/* strtotime(time [, now]): the timestamp the English text describes,
 * reckoned from now (or the given timestamp); -1 when it cannot be read. */
ZEND_FUNCTION(strtotime)
{
    std::string text;
    long now = 0;
    if (!parse_args(ZEND_NUM_ARGS(), "s|l", &text, &now))
        return;
    std::time_t base = ZEND_NUM_ARGS() >= 2 ? static_cast<std::time_t>(now) : std::time(nullptr);
    RETURN_LONG(string_to_time(text, base));
}
