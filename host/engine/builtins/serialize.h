/* The engine's serialization format, as serialize() writes it and the
 * session files store it:
 *
 *   N;  b:1;  i:-5;  d:0.10000000000000001;  s:3:"abc";
 *   a:2:{i:0;s:1:"x";s:1:"k";N;}
 *   O:3:"foo":1:{s:1:"p";i:1;}      class names lower-cased
 *   R:2;   the second value written, shared by reference
 *   r:2;   a copy of the second value (read only)
 *
 * Values are numbered from 1 in the order they are written (array keys do
 * not count); a reference names the number of the value it shares. One
 * writer or reader numbers across all the values it handles, so that the
 * variables of a session keep the references between them. */
#ifndef BRISKO_BUILTINS_SERIALIZE_H
#define BRISKO_BUILTINS_SERIALIZE_H

#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

#include "php.h"

namespace zend::builtins {

/* Nesting deeper than this is not written (the value is stored as N;
 * with a warning) and not read (the text is refused with a warning). */
constexpr int max_serialize_depth = 1024;

class value_writer {
public:
    value_writer() = default;
    ~value_writer();
    value_writer(const value_writer &) = delete;
    value_writer &operator=(const value_writer &) = delete;

    /* Appends the value. Objects with a __sleep method are asked which
     * properties to write. */
    void write(std::string &out, zval *value);

private:
    void value(std::string &out, zval *z, int depth);
    void object(std::string &out, zval *z, int depth);
    void table(std::string &out, HashTable *ht, int depth, const std::string *skip);

    std::unordered_map<const zval *, long> numbers_; /* first number of each value seen */
    long count_ = 0;
    std::vector<zval *> held_;  /* made here, kept until the end so their addresses stay unique */
    bool warned_ = false;
};

class value_reader {
public:
    value_reader() = default;
    ~value_reader();
    value_reader(const value_reader &) = delete;
    value_reader &operator=(const value_reader &) = delete;

    /* Reads one value starting at text[pos]: a new value (reference count
     * 1, the caller's), with pos moved past it. nullptr when the text is
     * malformed, pos then at the place where reading stopped. Objects of a
     * class that has __wakeup are woken as soon as they are read. */
    zval *read(const char *text, std::size_t length, std::size_t &pos);

private:
    zval *value(std::size_t &pos, int depth);
    bool elements(std::size_t &pos, HashTable *ht, long count, int depth);
    zval *object(std::size_t &pos, std::size_t start, int depth);
    bool number(std::size_t &pos, long &out, bool allow_sign);
    zval *remember(zval *z);

    const char *text_ = nullptr;
    std::size_t length_ = 0;
    std::vector<zval *> values_; /* every value read, by number - 1; each holds one reference */
    bool warned_ = false;
};

/* The class of objects whose class did not exist when they were read;
 * they keep the original name in the property __PHP_Incomplete_Class_Name
 * and are written back under it. */
zend_class_entry *incomplete_class();

} // namespace zend::builtins

#endif
