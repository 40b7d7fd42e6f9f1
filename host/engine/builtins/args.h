/* Reading a built-in's arguments by a pattern of letters, in the manner
 * of the engine's zend_parse_parameters:
 *
 *     std::string text;
 *     long start, length = -1;
 *     if (!parse_args(ZEND_NUM_ARGS(), "sl|l", &text, &start, &length))
 *         return;
 *
 * One letter per argument, each with a target whose type the letter fixes;
 * a letter and its target that do not agree stop the build.
 *
 *   l  long *            the argument's value as these types, read from a
 *   d  double *          copy: silent (no type warning), and the caller's
 *   b  bool *            variable keeps its type
 *   s  std::string *
 *      std::string_view *  the argument's own text, without a copy: a
 *                        value that is not a string is replaced, in the
 *                        call's slot only, by its converted private copy;
 *                        the view lasts as long as the call
 *   z  zval **           the argument as passed
 *   Z  zval ***          its slot in the call: by-reference arguments a
 *                        function replaces or converts itself
 *   a  HashTable **      an array, its table (or with a zval ** target the
 *                        value); any other type is refused (see below)
 *   H  HashTable **      an array or an object: its table, or the value
 *   r  zval **           a resource value, of any kind
 *   *  std::vector<zval **> *   the remaining arguments' slots, none or more
 *   +  std::vector<zval **> *   the same, at least one
 *
 *   /  after l d b s: converts the argument itself, as convert_to_*_ex
 *      does (a value shared with the caller gets a private copy first, a
 *      reference is converted where it is, so the caller sees it); after
 *      z a H: gives a shared value a private copy before it is used.
 *   |  the arguments after it are optional; an absent one leaves its
 *      target as it was.
 *
 * A count outside what the string allows raises "Wrong parameter count for
 * NAME()". The refusing letters (a H r) each need a warning, given after
 * the letters as ";text" in the order of those letters (a text holds no
 * ';'); in it "%s" stands for the function's name, "%d" for the
 * argument's number and "%%" for "%":
 *
 *     "a|z;%s(): The argument should be an array"
 *
 * The arguments are read from left to right; the first refusal stops the
 * reading. Conversions never warn, so only the refusals' order shows. */
#ifndef BRISKO_BUILTINS_ARGS_H
#define BRISKO_BUILTINS_ARGS_H

#include <cstddef>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "php.h"

namespace zend::builtins {

/* What parse_args made of the call: true when every argument was read.
 * Otherwise its warning has been raised, and the function returns null
 * (the engine's answer to a wrong count), or false where its refusal of a
 * type answers so. */
class args_result {
public:
    enum status_t { ok, wrong_count, wrong_type };
    constexpr args_result(status_t status) : status_(status) {}
    explicit operator bool() const { return status_ == ok; }
    bool wrong_type_given() const { return status_ == wrong_type; }
    status_t status() const { return status_; }
    /* For the functions that answer a refused argument with false:
     *     args_result got = parse_args(...);
     *     if (!got)
     *         return got.false_when_refused(return_value); */
    void false_when_refused
(zval *return_value) const
    {
        if (status_ == wrong_type)
            RETVAL_FALSE;
    }

private:
    status_t status_;
};

/* The counts an argument pattern allows: from min to max (-1: no
 * upper bound). */
struct arg_bounds {
    int min = 0;
    int max = 0;
};

namespace args_detail {

/* The letters each kind of target serves. */
template <typename T> inline constexpr const char *letters_for = "";
template <> inline constexpr const char *letters_for<long *> = "l";
template <> inline constexpr const char *letters_for<double *> = "d";
template <> inline constexpr const char *letters_for<bool *> = "b";
template <> inline constexpr const char *letters_for<std::string *> = "s";
template <> inline constexpr const char *letters_for<std::string_view *> = "s";
template <> inline constexpr const char *letters_for<zval **> = "zraH";
template <> inline constexpr const char *letters_for<zval ***> = "Z";
template <> inline constexpr const char *letters_for<HashTable **> = "aH";
template <> inline constexpr const char *letters_for<std::vector<zval **> *> = "*+";

constexpr bool has(const char *set, char c)
{
    for (; *set; set++)
        if (*set == c)
            return true;
    return false;
}

/* Not constexpr: reaching one while the compiler checks a string is the
 * compile error, and its name says what is wrong. */
void letter_does_not_match_its_target();
void unknown_letter_in_argument_pattern();
void slash_after_a_letter_that_takes_none();
void rest_letter_is_not_last();
void required_rest_after_bar();
void second_bar_in_argument_pattern();
void letter_count_differs_from_target_count();
void refusing_letters_and_warnings_differ_in_number();

consteval arg_bounds check(const char *pattern, const char *const *targets, std::size_t target_count)
{
    std::size_t letters = 0, refusing = 0, warnings = 0;
    bool bar = false, rest = false;
    arg_bounds bounds;
    const char *p = pattern;
    for (; *p && *p != ';'; p++) {
        char c = *p;
        if (c == '|') {
            if (bar)
                second_bar_in_argument_pattern();
            bar = true;
            continue;
        }
        if (c == '/') {
            if (p == pattern || !has("ldbszaH", p[-1]))
                slash_after_a_letter_that_takes_none();
            continue;
        }
        if (!has("ldbszZaHr*+", c))
            unknown_letter_in_argument_pattern();
        if (rest)
            rest_letter_is_not_last();
        if (c == '+' && bar)
            required_rest_after_bar();
        if (c == '*' || c == '+') {
            rest = true;
            bounds.max = -1;
        } else {
            bounds.max++;
        }
        if (!bar && c != '*')
            bounds.min++;
        if (has("aHr", c))
            refusing++;
        if (letters >= target_count || !has(targets[letters], c))
            letter_does_not_match_its_target();
        letters++;
    }
    for (; *p; p++)
        if (*p == ';')
            warnings++;
    if (letters != target_count)
        letter_count_differs_from_target_count();
    if (refusing != warnings)
        refusing_letters_and_warnings_differ_in_number();
    return bounds;
}

} // namespace args_detail

/* An argument pattern checked against the targets' types, and its
 * bounds counted, while the code compiles. */
template <typename... T>
struct arg_pattern {
    const char *text;
    arg_bounds bounds;
    template <std::size_t N>
    consteval arg_pattern(const char (&pattern)[N]) : text(pattern)
    {
        const char *const targets[] = {args_detail::letters_for<T>..., ""};
        bounds = args_detail::check(pattern, targets, sizeof...(T));
    }
};

/* What a target is, where its letter serves more than one kind. */
enum class target_kind : unsigned char {
    plain,
    value, /* a and H into a zval **: the value rather than its table */
    view,  /* s into a std::string_view * */
};

/* The untyped reader behind parse_args: targets[i] points at the target of
 * the i-th letter, kinds[i] says what it is. */
args_result parse_args_into(int argc, const char *pattern, arg_bounds bounds, void *const *targets,
                            const target_kind *kinds);

template <typename T>
constexpr target_kind kind_of()
{
    if constexpr (std::is_same_v<T, zval **>)
        return target_kind::value;
    else if constexpr (std::is_same_v<T, std::string_view *>)
        return target_kind::view;
    else
        return target_kind::plain;
}

template <typename... T>
args_result parse_args(int argc, std::type_identity_t<arg_pattern<T...>> pattern, T... targets)
{
    void *const list[] = {static_cast<void *>(targets)..., nullptr};
    static constexpr target_kind kinds[] = {kind_of<T>()..., target_kind::plain};
    return parse_args_into(argc, pattern.text, pattern.bounds, list, kinds);
}



} // namespace zend::builtins

#endif
