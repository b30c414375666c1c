/*
 * Core types of the ASN.1 runtime: primitive value forms, tags, lengths,
 * status codes and the codec context record that every routine takes first.
 */
#ifndef BLOBXML_ASN1TYPE_H
#define BLOBXML_ASN1TYPE_H

#include <cstddef>
#include <cstdint>

/* ---- scalar forms ------------------------------------------------------ */

typedef unsigned char ASN1OCTET;
typedef uint8_t ASN1BOOL;
typedef int8_t ASN1INT8;
typedef uint8_t ASN1UINT8;
typedef int16_t ASN1SINT;
typedef uint16_t ASN1USINT;
typedef int32_t ASN1INT;
typedef uint32_t ASN1UINT;
typedef int32_t ASN1ENUM;
typedef int64_t ASN1INT64;
typedef uint64_t ASN1UINT64;
typedef uint16_t ASN116BITCHAR;
typedef uint32_t ASN132BITCHAR;
typedef const char* ASN1ConstCharPtr;

#define ASN1TRUE 1
#define ASN1FALSE 0

/* ---- tags --------------------------------------------------------------- */

/* Bits 31-30 class, bit 29 constructed form, bits 28-0 tag number. */
typedef uint32_t ASN1TagWord;
typedef ASN1TagWord ASN1TAG;

#define TM_UNIV 0x00000000u
#define TM_APPL 0x40000000u
#define TM_CTXT 0x80000000u
#define TM_PRIV 0xC0000000u
#define TM_CONS 0x20000000u
#define TM_CLASS 0xC0000000u
#define TM_IDCODE 0x1FFFFFFFu
/* Compares tags regardless of primitive/constructed form. */
#define TM_FORM_MASK 0xDFFFFFFFu

#define ASN_ID_EOC 0
#define ASN_ID_BOOL 1
#define ASN_ID_INT 2
#define ASN_ID_BITSTR 3
#define ASN_ID_OCTSTR 4
#define ASN_ID_NULL 5
#define ASN_ID_OBJID 6
#define ASN_ID_OBJDSC 7
#define ASN_ID_EXTERN 8
#define ASN_ID_REAL 9
#define ASN_ID_ENUM 10
#define ASN_ID_EPDV 11
#define ASN_ID_UTF8String 12
#define ASN_ID_RELOID 13
#define ASN_ID_SEQ 16
#define ASN_ID_SET 17
#define ASN_ID_NumericString 18
#define ASN_ID_PrintableString 19
#define ASN_ID_TeletexString 20
#define ASN_ID_T61String ASN_ID_TeletexString
#define ASN_ID_VideotexString 21
#define ASN_ID_IA5String 22
#define ASN_ID_UTCTime 23
#define ASN_ID_GeneralTime 24
#define ASN_ID_GraphicString 25
#define ASN_ID_VisibleString 26
#define ASN_ID_GeneralString 27
#define ASN_ID_UniversalString 28
#define ASN_ID_BMPString 30

/* Tagging argument of every encode and decode function: EXPLICIT means the
   function handles the type's own universal tag and length itself. */
enum ASN1TagType { TAG_IMPLICIT = 0, TAG_EXPLICIT = 1 };
typedef ASN1TagType ASN1TagTypeArg;

/* Lengths are signed; this value stands for the BER indefinite form. */
#define INDEFINITE_LENGTH (-9999)

/* ---- structured primitive forms ---------------------------------------- */

#define MAX_OID_ARCS 128

struct ASN1OBJID {
   ASN1UINT numarcs;
   ASN1UINT arcs[MAX_OID_ARCS];
};

/* An object identifier with signed 64-bit arcs, the form behind
   ASN1TObjId64; the codec itself reads and writes 32-bit arcs only. */
struct alignas(8) ASN1OID64 {
   ASN1UINT numarcs;
   ASN1INT64 arcs[MAX_OID_ARCS];
};

struct ASN1TDynOctStr {
   ASN1UINT numocts;
   const ASN1OCTET* data;
};

struct ASN1TDynBitStr {
   ASN1UINT numbits;
   const ASN1OCTET* data;
};

/* One complete encoded element: identifier, length and contents. The
   octets are the value's own (allocated from its heap, freed with it) unless
   `flags` has ASN1OPENTYPE_BORROWED; a zeroed or hand-built record, whose
   flags are 0, owns them. */
struct ASN1TOpenType {
   ASN1UINT numocts;
   const ASN1OCTET* data;
   ASN1UINT flags;
};

/* The octets lie in memory that the value's heap did not give (the message
   under CTXTF_OPENTYPE_NOCOPY, the heap of another context that encoded the
   value, a capture buffer): freeing the value leaves them alone. */
#define ASN1OPENTYPE_BORROWED 0x1u

struct ASN116BitCharString {
   ASN1UINT nchars;
   ASN116BITCHAR* data;
};

struct ASN132BitCharString {
   ASN1UINT nchars;
   ASN132BITCHAR* data;
};

struct _Asn1RTDListNode {
   void* data;
   _Asn1RTDListNode* next;
   _Asn1RTDListNode* prev;
};

struct _Asn1RTDList {
   ASN1UINT count;
   _Asn1RTDListNode* head;
   _Asn1RTDListNode* tail;
};

typedef _Asn1RTDListNode Asn1RTDListNode;
typedef _Asn1RTDList Asn1RTDList;

struct ASN1CTXT;

struct Asn1RTSListNode {
   void* data;
   Asn1RTSListNode* next;
};

struct Asn1RTSList {
   ASN1UINT count;
   Asn1RTSListNode* head;
   Asn1RTSListNode* tail;
   ASN1CTXT* pctxt; /* owner; null when nodes come from the process allocator */
};

/* Location of one encoded element, measured from the end of a back-to-front
   encode buffer so that it survives the buffer's growth. */
struct ASN1BufLocDescr {
   ASN1UINT numocts;
   ASN1INT offset;
};

/* ---- status codes ------------------------------------------------------- */

#define RTS_OK 0
#define RTS_BUFFER_FULL (-1)
#define RTS_END_OF_DATA (-2)
#define RTS_NOT_FOUND (-3)
#define RTS_BAD_OID (-4)
#define RTS_BAD_LENGTH (-5)
#define RTS_BAD_ENUM (-6)
#define RTS_SET_DUPLICATE (-7)
#define RTS_MISSING_ELEMENT (-8)
#define RTS_SET_UNKNOWN (-9)
#define RTS_EXTRA_ELEMENT (-10)
#define RTS_BAD_CHOICE (-11)
#define RTS_NO_MEMORY (-12)
#define RTS_BAD_HEX_TEXT (-14)
#define RTS_BAD_BIT_TEXT (-15)
#define RTS_VALUE_TOO_LONG (-17)
#define RTS_BAD_VALUE (-18)
#define RTS_BAD_TAG (-21)
#define RTS_CONSTRAINT (-23)
#define RTS_BAD_RANGE (-24)
#define RTS_BAD_UTF8 (-26)
#define RTS_LIST_CHANGED (-27)
#define RTS_NO_CURRENT (-28)
#define RTS_OUT_OF_BOUNDS (-29)
#define RTS_BAD_ARGUMENT (-30)
#define RTS_BAD_TIME (-31)
#define RTS_NOT_INITIALISED (-32)
#define RTS_TOO_BIG (-33)
#define RTS_BAD_DIGIT (-34)
#define RTS_XML_STRUCTURE (-35)
#define RTS_UNKNOWN_OBJECT (-38)
#define RTS_UNSUPPORTED (-99)

/* ---- the codec context -------------------------------------------------- */

#define CTXT_INIT_MARKER 0x1AA2A34Au

#define CTXTF_LAX_LENGTH 0x0040u
#define CTXTF_XER_FRAGMENT 0x0080u
#define CTXTF_BUFFER_SAVED 0x0100u
#define CTXTF_XER_NOINDENT 0x0200u
#define CTXTF_CONSTRUCTED 0x0400u
#define CTXTF_OPENTYPE_NOCOPY 0x0800u
#define CTXTF_RESERVED_1000 0x1000u
#define CTXTF_OUTER_INDEFINITE 0x4000u

struct ASN1BUFFER {
   ASN1OCTET* data;
   ASN1UINT byteIndex;
   ASN1UINT size;
   ASN1USINT bitOffset; /* 8 at a byte boundary */
   ASN1UINT8 dynamic;   /* 1: allocated from the message heap, may grow */
};

struct ASN1BUFSAVE {
   ASN1UINT byteIndex;
   ASN1USINT bitOffset;
   ASN1USINT flags;
};

/* One step of the way from a decoded value down to the value inside it that
   failed: a component or alternative by name, or a list item by its index
   (name null). */
struct ASN1ErrPathStep {
   const char* name;
   ASN1UINT index;
   ASN1ErrPathStep* next; /* the step inside this one, or null */
};

/* Only the status of the first failure since the last reset is kept. Where
   that failure lies is filled in only while it travels up, so a decode that
   succeeds pays nothing for it: `element` is the first octet of the
   innermost BER element that failed (null when not known), and every
   enclosing component, alternative and item puts its step in front of
   `path` (steps owned by the record, see rtErrAddPathStep). A reset clears
   all three. */
struct ASN1ErrInfo {
   ASN1INT status;
   const ASN1OCTET* element;
   ASN1ErrPathStep* path;
};

struct ASN1STREAM;

struct ASN1CTXT {
   void* msgMemHeap;  /* holds the context's own dynamic message buffer */
   void* typeMemHeap; /* holds every decoded value, copy and list node */
   ASN1BUFFER buffer;
   ASN1STREAM* stream;
   ASN1BUFSAVE savedState;
   ASN1ErrInfo errInfo;
   ASN1UINT initMarker;
   ASN1USINT flags;
   ASN1UINT8 xerIndentLevel;
   ASN1UINT8 xerState;
   void* allocArg;
};

#endif
