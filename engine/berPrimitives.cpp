/*
 * Primitive kinds on the BER side: the xd_/xe_ routine of each value form,
 * with the type's SIZE, value and ENUMERATED checks around it.
 */
#include "berEncode.h"
#include "engineInternal.h"
#include "rtContext.h"

namespace asn1rt {
namespace detail {

/* Fixed-size strings: the 32-bit count, then the array right behind it. */
static ASN1OCTET* fixedArray(void* value) { return static_cast<ASN1OCTET*>(at(value, 4)); }
static const ASN1OCTET* fixedArray(const void* value) {
   return static_cast<const ASN1OCTET*>(at(value, 4));
}

static int encodeFixedOctets(ASN1CTXT* pctxt, const TypeDesc* type, const void* value,
                             ASN1TagType tagging) {
   const ASN1UINT numocts = fieldAs<ASN1UINT>(value, 0);
   if (numocts > type->fixedCapacity) return LOG_ASN1ERR(pctxt, RTS_VALUE_TOO_LONG);
   int stat = checkSize(pctxt, type->size, numocts);
   if (stat != RTS_OK) return stat;
   return xe_octstr(pctxt, fixedArray(value), numocts, tagging);
}

static int encodeFixedBits(ASN1CTXT* pctxt, const TypeDesc* type, const void* value,
                           ASN1TagType tagging) {
   const ASN1UINT numbits = fieldAs<ASN1UINT>(value, 0);
   if (numbits / 8 + (numbits % 8 != 0) > fixedBitOctets(type))
      return LOG_ASN1ERR(pctxt, RTS_VALUE_TOO_LONG);
   int stat = checkSize(pctxt, type->size, numbits);
   if (stat != RTS_OK) return stat;
   return xe_bitstr(pctxt, fixedArray(value), numbits, tagging);
}

int encodePrimitive(ASN1CTXT* pctxt, const TypeDesc* type, const void* value,
                    ASN1TagType tagging) {
   int stat = RTS_OK;
   switch (type->kind) {
   case Kind::Boolean: return xe_boolean(pctxt, static_cast<const ASN1BOOL*>(value), tagging);
   case Kind::Integer: {
      const ASN1INT* number = static_cast<const ASN1INT*>(value);
      stat = checkValue(pctxt, type->value, *number);
      return stat != RTS_OK ? stat : xe_integer(pctxt, number, tagging);
   }
   case Kind::Unsigned: {
      const ASN1UINT* number = static_cast<const ASN1UINT*>(value);
      stat = checkValue(pctxt, type->value, *number);
      return stat != RTS_OK ? stat : xe_unsigned(pctxt, number, tagging);
   }
   case Kind::Unsigned16: {
      const ASN1USINT* number = static_cast<const ASN1USINT*>(value);
      stat = checkValue(pctxt, type->value, *number);
      return stat != RTS_OK ? stat : xe_uint16(pctxt, number, tagging);
   }
   case Kind::BigInteger: return xe_bigint(pctxt, fieldAs<const char*>(value, 0), tagging);
   case Kind::Enumerated: {
      const ASN1ENUM number = static_cast<ASN1ENUM>(fieldAs<ASN1UINT>(value, 0));
      stat = checkEnumerated(pctxt, type, number);
      return stat != RTS_OK ? stat : xe_enum(pctxt, &number, tagging);
   }
   case Kind::Null: return xe_null(pctxt, tagging);
   case Kind::ObjectId: return xe_objid(pctxt, static_cast<const ASN1OBJID*>(value), tagging);
   case Kind::OctetString: {
      const ASN1TDynOctStr& octets = fieldAs<ASN1TDynOctStr>(value, 0);
      stat = checkSize(pctxt, type->size, octets.numocts);
      return stat != RTS_OK ? stat : xe_octstr(pctxt, octets.data, octets.numocts, tagging);
   }
   case Kind::OctetStringFixed: return encodeFixedOctets(pctxt, type, value, tagging);
   case Kind::BitString: {
      const ASN1TDynBitStr& bits = fieldAs<ASN1TDynBitStr>(value, 0);
      stat = checkSize(pctxt, type->size, bits.numbits);
      return stat != RTS_OK ? stat : xe_bitstr(pctxt, bits.data, bits.numbits, tagging);
   }
   case Kind::BitStringFixed: return encodeFixedBits(pctxt, type, value, tagging);
   case Kind::CharString: {
      const char* text = fieldAs<const char*>(value, 0);
      if (text != nullptr) stat = checkTextSize(pctxt, type, text);
      return stat != RTS_OK ? stat : xe_charstr(pctxt, text, tagging, type->universalTag);
   }
   case Kind::BMPString: {
      const ASN116BitCharString& text = fieldAs<ASN116BitCharString>(value, 0);
      stat = checkSize(pctxt, type->size, text.nchars);
      return stat != RTS_OK ? stat : xe_16BitCharStr(pctxt, &text, tagging, type->universalTag);
   }
   case Kind::UniversalString: {
      const ASN132BitCharString& text = fieldAs<ASN132BitCharString>(value, 0);
      stat = checkSize(pctxt, type->size, text.nchars);
      return stat != RTS_OK ? stat : xe_32BitCharStr(pctxt, &text, tagging, type->universalTag);
   }
   case Kind::OpenType: {
      const ASN1TOpenType& open = fieldAs<ASN1TOpenType>(value, 0);
      if (type->universalTag != 0 &&
          (open.numocts == 0 || open.data == nullptr ||
           open.data[0] != identifierOctet(type->universalTag)))
         return LOG_ASN1ERR(pctxt, RTS_BAD_VALUE);
      return xe_OpenType(pctxt, open.data, open.numocts);
   }
   default: /* constructed kinds have routines of their own */
      return LOG_ASN1ERR(pctxt, RTS_BAD_ARGUMENT);
   }
}

/* X.690 8.7.3: primitive or segmented, definite or indefinite, into the
   type's array. */
static int decodeFixedOctets(ASN1CTXT* pctxt, const TypeDesc* type, void* value,
                             ASN1TagType tagging, int length) {
   int stat = RTS_OK;
   if (tagging == TAG_EXPLICIT) stat = xd_match1(pctxt, ASN_ID_OCTSTR, &length);
   if (stat != RTS_OK) return stat;
   const ASN1BlockDescr block = contentsBlock(pctxt, length);
   int contents = length;
   if (length == INDEFINITE_LENGTH) {
      int size = 0;
      stat = xd_consStrIndefLenAndSize(pctxt, ASN_ID_OCTSTR, &size, &contents);
      if (stat != RTS_OK) return stat;
   }
   ASN1UINT numocts = type->fixedCapacity;
   stat = xd_octstr_s(pctxt, fixedArray(value), &numocts, TAG_IMPLICIT, contents);
   if (stat == RTS_OK) stat = finishContents(pctxt, block, true);
   if (stat != RTS_OK) return stat;
   fieldAs<ASN1UINT>(value, 0) = numocts;
   return checkSize(pctxt, type->size, numocts);
}

/* X.690 8.6.4: primitive or segmented into the type's array. The capacity
   is the type's bit capacity (9 for KeyUsage), which xd_bitstr_s rounds up
   to whole octets; a longer string is RTS_VALUE_TOO_LONG. */
static int decodeFixedBits(ASN1CTXT* pctxt, const TypeDesc* type, void* value,
                           ASN1TagType tagging, int length) {
   int stat = RTS_OK;
   if (tagging == TAG_EXPLICIT) stat = xd_match1(pctxt, ASN_ID_BITSTR, &length);
   if (stat != RTS_OK) return stat;
   const ASN1BlockDescr block = contentsBlock(pctxt, length);
   ASN1UINT numbits = type->bitCapacity != 0 ? type->bitCapacity : type->fixedCapacity * 8;
   stat = xd_bitstr_s(pctxt, fixedArray(value), &numbits, TAG_IMPLICIT, length);
   if (stat == RTS_OK) stat = finishContents(pctxt, block, true);
   if (stat != RTS_OK) return stat;
   fieldAs<ASN1UINT>(value, 0) = numbits;
   return checkSize(pctxt, type->size, numbits);
}

int decodePrimitive(ASN1CTXT* pctxt, const TypeDesc* type, void* value, ASN1TagType tagging,
                    int length) {
   int stat = RTS_OK;
   switch (type->kind) {
   case Kind::Boolean:
      return xd_boolean(pctxt, static_cast<ASN1BOOL*>(value), tagging, length);
   case Kind::Integer: {
      ASN1INT* number = static_cast<ASN1INT*>(value);
      stat = xd_integer(pctxt, number, tagging, length);
      return stat != RTS_OK ? stat : checkValue(pctxt, type->value, *number);
   }
   case Kind::Unsigned: {
      ASN1UINT* number = static_cast<ASN1UINT*>(value);
      stat = xd_unsigned(pctxt, number, tagging, length);
      return stat != RTS_OK ? stat : checkValue(pctxt, type->value, *number);
   }
   case Kind::Unsigned16: {
      ASN1USINT* number = static_cast<ASN1USINT*>(value);
      stat = xd_uint16(pctxt, number, tagging, length);
      return stat != RTS_OK ? stat : checkValue(pctxt, type->value, *number);
   }
   case Kind::BigInteger:
      return xd_bigint(pctxt, &fieldAs<const char*>(value, 0), tagging, length);
   case Kind::Enumerated: {
      ASN1ENUM number = 0;
      stat = xd_enum(pctxt, &number, tagging, length);
      if (stat == RTS_OK) stat = checkEnumerated(pctxt, type, number);
      if (stat == RTS_OK) fieldAs<ASN1UINT>(value, 0) = static_cast<ASN1UINT>(number);
      return stat;
   }
   case Kind::Null:
      /* An implicitly tagged NULL has no contents to skip. */
      if (tagging == TAG_IMPLICIT && length != 0) return LOG_ASN1ERR(pctxt, RTS_BAD_LENGTH);
      return xd_null(pctxt, tagging);
   case Kind::ObjectId:
      return xd_objid(pctxt, static_cast<ASN1OBJID*>(value), tagging, length);
   case Kind::OctetString: {
      ASN1TDynOctStr& octets = fieldAs<ASN1TDynOctStr>(value, 0);
      stat = xd_octstr(pctxt, &octets.data, &octets.numocts, tagging, length);
      return stat != RTS_OK ? stat : checkSize(pctxt, type->size, octets.numocts);
   }
   case Kind::OctetStringFixed: return decodeFixedOctets(pctxt, type, value, tagging, length);
   case Kind::BitString: {
      ASN1TDynBitStr& bits = fieldAs<ASN1TDynBitStr>(value, 0);
      stat = xd_bitstr(pctxt, &bits.data, &bits.numbits, tagging, length);
      return stat != RTS_OK ? stat : checkSize(pctxt, type->size, bits.numbits);
   }
   case Kind::BitStringFixed: return decodeFixedBits(pctxt, type, value, tagging, length);
   case Kind::CharString: {
      const char*& text = fieldAs<const char*>(value, 0);
      stat = xd_charstr(pctxt, &text, tagging, type->universalTag, length);
      return stat != RTS_OK ? stat : checkTextSize(pctxt, type, text);
   }
   case Kind::BMPString: {
      ASN116BitCharString& text = fieldAs<ASN116BitCharString>(value, 0);
      stat = xd_16BitCharStr(pctxt, &text, tagging, type->universalTag, length);
      return stat != RTS_OK ? stat : checkSize(pctxt, type->size, text.nchars);
   }
   case Kind::UniversalString: {
      ASN132BitCharString& text = fieldAs<ASN132BitCharString>(value, 0);
      stat = xd_32BitCharStr(pctxt, &text, tagging, type->universalTag, length);
      return stat != RTS_OK ? stat : checkSize(pctxt, type->size, text.nchars);
   }
   case Kind::OpenType: {
      if (type->universalTag != 0) stat = expectTag(pctxt, type->universalTag, type, Tagging::None);
      if (stat != RTS_OK) return stat;
      return xd_OpenTypeRecord(pctxt, &fieldAs<ASN1TOpenType>(value, 0));
   }
   default: /* constructed kinds have routines of their own */
      return LOG_ASN1ERR(pctxt, RTS_BAD_ARGUMENT);
   }
}

}
}
