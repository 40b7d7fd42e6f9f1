/* Basic scalar types of the engine, as Zend Engine 1 names them. */
#ifndef ZEND_TYPES_H
#define ZEND_TYPES_H

#include <stddef.h>

typedef unsigned char zend_bool;
typedef unsigned char zend_uchar;
typedef unsigned short zend_ushort;
typedef unsigned int zend_uint;
typedef unsigned int uint;
typedef unsigned long ulong;

#ifdef __cplusplus
#define BEGIN_EXTERN_C() extern "C" {
#define END_EXTERN_C() }
#else
#define BEGIN_EXTERN_C()
#define END_EXTERN_C()
#endif

#define ZEND_API __attribute__((visibility("default")))
#define ZEND_DLEXPORT __attribute__((visibility("default")))

#define SUCCESS 0
#define FAILURE -1

#endif
