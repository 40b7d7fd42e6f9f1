/* Opcode numbers and names, generated from opcodes.def, and the operand
 * modes shared by the code generator and the executor. */
#ifndef BRISKO_OPCODES_H
#define BRISKO_OPCODES_H

#include <string_view>

#include "php.h"

namespace zend {

enum opcode : zend_uchar {
#define OPCODE(name, meaning) ZEND_##name,
#include "opcodes.def"
#undef OPCODE
    ZEND_OPCODE_COUNT
};
static_assert(ZEND_DECLARE_INHERITED_CLASS == ZEND_LATE_CLASS_BINDING, "the published number of the late binding op");
static_assert(ZEND_INIT_FCALL == ZEND_CALL_BY_NAME_START && ZEND_INIT_METHOD_CALL == ZEND_CALL_METHOD_START &&
                  ZEND_INIT_STATIC_CALL == ZEND_CALL_STATIC_START && ZEND_INIT_CTOR == ZEND_CALL_CONSTRUCTOR_START &&
                  ZEND_SEND_VAL == ZEND_CALL_PASS_VALUE && ZEND_DO_FCALL == ZEND_CALL_END,
              "the published numbers of the call ops");

/* Name of an opcode for dumps and tests ("ECHO", "JMPZ", ...); "?" when
 * out of range. */
const char *opcode_name(int opcode);

/* Fetch modes, kept in the low byte of a fetch op's extended_value. The
 * function-argument mode keeps the argument number in the bits above: the
 * fetch reads or writes depending on whether the function being called
 * takes that argument by reference. */
enum fetch_mode : int {
    FETCH_R = 0,        /* read: notice and null when missing */
    FETCH_W = 1,        /* write: creates what is missing, yields a location */
    FETCH_RW = 2,       /* read-modify-write: as W */
    FETCH_IS = 3,       /* isset/empty: silent, never creates */
    FETCH_UNSET = 4,    /* container of an unset: location, never creates */
    FETCH_FUNC_ARG = 5, /* argument: W when passed by reference, else R */
};

/* A FETCH with this bit looks the name up among the globals (the
 * auto-globals $GLOBALS, $_GET, ...); an UNSET_VAR with extended_value
 * FETCH_GLOBAL removes a global. */
constexpr ulong FETCH_GLOBAL = 0x80;
/* A read FETCH_DIM with this bit leaves its container temporary alive for
 * further fetches (list() reads several elements of one value). */
constexpr ulong FETCH_KEEP_CONTAINER = 0x40;
/* A read FETCH_DIM with this bit reads arrays only: any other container
 * gives null without a notice (list() of a value that is no variable). */
constexpr ulong FETCH_ARRAY_ONLY = 0x20;

inline ulong fetch_ext(int mode, int arg_number = 0) { return (ulong)mode | ((ulong)arg_number << 8); }
inline int fetch_ext_mode(ulong ext) { return (int)(ext & 0x1f); }
inline int fetch_ext_arg(ulong ext) { return (int)(ext >> 8); }

/* In a constant array (a default argument, static initialiser or
 * default property) an element whose key is written as a constant is kept
 * under this prefix and the constant's name; the key is the constant's
 * value once the array is used. */
inline constexpr std::string_view constant_key_prefix{"\0constant key:", 14};

/* Upper bound of temporaries and ops per op array: keeps indexes inside
 * the operand fields and runaway input from exhausting memory. */
constexpr zend_uint max_temporaries = 1u << 24;
constexpr zend_uint max_ops = 1u << 26;

} // namespace zend

#endif
