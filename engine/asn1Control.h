/*
 * Control classes as templates: a generated ASN1C_<Type> is a few
 * declarations on top of ControlOf, which binds the value to its codec
 * base, encodes and decodes it on BER and XER buffers through the engine,
 * copies it and drives the SAX state machine of its descriptor. Example:
 *
 *    class ASN1C_Certificate : public asn1rt::ControlOf<ASN1T_Certificate> {
 *    public:
 *       ASN1C_Certificate(ASN1MessageBufferIF& b, ASN1T_Certificate& v)
 *          : ControlOf(desc_Certificate, b, v) {}
 *       ASN1C_Certificate(ASN1T_Certificate& v) : ControlOf(desc_Certificate, v) {}
 *       ASN1C_Certificate(ASN1C_Certificate& o) : ControlOf(o) {}
 *    };
 *
 * The codec base is the second argument: TypeBinding (ASN1CType, the
 * default), ListBinding (ASN1CSeqOfList over the value's list), BitStrBinding
 * (ASN1CBitStr over the value's bits) or GeneralizedTimeBinding
 * (ASN1CGeneralizedTime over the value's text). The classes with an
 * assignment declare
 *    ASN1C_Extensions& operator=(ASN1C_Extensions& o) { assign(o); return *this; }
 * A type defined as another named type derives from that type's control
 * class and calls setTypeDesc with its own descriptor in its constructors.
 */
#ifndef BLOBXML_ASN1CONTROL_H
#define BLOBXML_ASN1CONTROL_H

#include <new>
#include <type_traits>

#include "ASN1CBitStr.h"
#include "ASN1CGeneralizedTime.h"
#include "ASN1CSeqOfList.h"
#include "ASN1MessageBuffer.h"
#include "ASN1TPDU.h"
#include "asn1Engine.h"
#include "asn1Xer.h"

namespace asn1rt {

/* ---- codec bases bound to a value ------------------------------------------ */

/* Each binding has the same three constructors: on a message buffer, with a
   new context of its own, and sharing another control object's context and
   buffer. rebindValue points the base at the value again after the value
   was overwritten. */

class TypeBinding : public ASN1CType {
protected:
   TypeBinding(const TypeDesc&, ASN1MessageBufferIF& msgBuf, void*) : ASN1CType(msgBuf) {}
   TypeBinding(const TypeDesc&, void*) : ASN1CType() {}
   TypeBinding(const TypeDesc&, ASN1CType& other, void*) : ASN1CType(other) {}
   void rebindValue(const TypeDesc&, void*) {}
};

/* The value's list (at offset 0) is the class's list. */
class ListBinding : public ASN1CSeqOfList {
protected:
   ListBinding(const TypeDesc&, ASN1MessageBufferIF& msgBuf, void* value)
      : ASN1CSeqOfList(msgBuf, listOf(value), 0) {}
   ListBinding(const TypeDesc&, void* value) : ASN1CSeqOfList(listOf(value)) {}
   ListBinding(const TypeDesc&, ASN1CType& other, void* value)
      : ASN1CSeqOfList(other.getContext(), listOf(value), 0) {
      mpMsgBuf = other.getMsgBuf();
   }
   void rebindValue(const TypeDesc&, void*) {}

private:
   static _Asn1RTDList& listOf(void* value) { return *static_cast<_Asn1RTDList*>(value); }
};

/* The value's bits: an ASN1TDynBitStr, or a fixed array of fixedCapacity
   octets behind the bit count (bounded by those octets). */
class BitStrBinding : public ASN1CBitStr {
protected:
   BitStrBinding(const TypeDesc& type, ASN1MessageBufferIF& msgBuf, void* value)
      : ASN1CBitStr(msgBuf, 0u) {
      rebindValue(type, value);
   }
   BitStrBinding(const TypeDesc& type, void* value) : ASN1CBitStr(0u) { rebindValue(type, value); }
   BitStrBinding(const TypeDesc& type, ASN1CType& other, void* value)
      : ASN1CBitStr(other.getContext(), 0u) {
      mpMsgBuf = other.getMsgBuf();
      rebindValue(type, value);
   }
   void rebindValue(const TypeDesc& type, void* value) {
      if (type.kind == Kind::BitStringFixed) {
         ASN1CBitStr::init(static_cast<ASN1OCTET*>(value) + sizeof(ASN1UINT),
                           *static_cast<ASN1UINT*>(value), type.fixedCapacity * 8);
      } else {
         ASN1CBitStr::init(*static_cast<ASN1TDynBitStr*>(value));
      }
   }
};

/* The value's GeneralizedTime text. */
class GeneralizedTimeBinding : public ASN1CGeneralizedTime {
protected:
   GeneralizedTimeBinding(const TypeDesc&, ASN1MessageBufferIF& msgBuf, void* value)
      : ASN1CGeneralizedTime(msgBuf, textOf(value)) {}
   GeneralizedTimeBinding(const TypeDesc&, void* value) : ASN1CGeneralizedTime(textOf(value)) {}
   GeneralizedTimeBinding(const TypeDesc&, ASN1CType& other, void* value)
      : ASN1CGeneralizedTime(other.getContext(), textOf(value)) {
      mpMsgBuf = other.getMsgBuf();
   }
   void rebindValue(const TypeDesc&, void*) {}

private:
   static const char*& textOf(void* value) { return *static_cast<const char**>(value); }
};

/* ---- the control object ------------------------------------------------------ */

/* Encoding and decoding of the bound value through the buffer's kind: BER
   encode and decode buffers run the BER engine, XER buffers the XER encoder
   and the SAX state machine, any other buffer is RTS_UNSUPPORTED (-99) and
   is left untouched. */
template <class Binding>
class Control : public Binding, public XerDecodeHandler {
public:
   int EncodeTo(ASN1MessageBufferIF& msgBuf) override {
      const bool ber = msgBuf.isA(ASN1MessageBufferIF::BEREncode);
      if (!ber && !msgBuf.isA(ASN1MessageBufferIF::XEREncode)) return RTS_UNSUPPORTED;
      this->setMsgBuf(msgBuf);
      msgBuf.init();
      ASN1CTXT* pctxt = msgBuf.getCtxtPtr();
      if (ber) return berEncode(pctxt, &getTypeDesc(), mpBoundValue, TAG_EXPLICIT);
      return xerEncodeDocument(pctxt, &getTypeDesc(), mpBoundValue);
   }

   int DecodeFrom(ASN1MessageBufferIF& msgBuf) override {
      const bool ber = msgBuf.isA(ASN1MessageBufferIF::BERDecode);
      if (!ber && !msgBuf.isA(ASN1MessageBufferIF::XERDecode)) return RTS_UNSUPPORTED;
      releaseText();
      this->setMsgBuf(msgBuf);
      msgBuf.init();
      if (ber) return berDecode(msgBuf.getCtxtPtr(), &getTypeDesc(), mpBoundValue, TAG_EXPLICIT, 0);
      return decodeDocument(msgBuf);
   }

   void init(int level) override { XerDecodeHandler::init(level); }

protected:
   Control(const TypeDesc& type, ASN1MessageBufferIF& msgBuf, void* value)
      : Binding(type, msgBuf, value), XerDecodeHandler(type, value, this->getCtxtPtr()),
        mpBoundValue(value) {}
   Control(const TypeDesc& type, void* value)
      : Binding(type, value), XerDecodeHandler(type, value, this->getCtxtPtr()),
        mpBoundValue(value) {}
   Control(const TypeDesc& type, ASN1CType& other, void* value)
      : Binding(type, other, value), XerDecodeHandler(type, value, this->getCtxtPtr()),
        mpBoundValue(value) {}

   void* mpBoundValue;
};

/* A control object over a value structure of type Value. */
template <class Value, class Binding = TypeBinding>
class ControlOf : public Control<Binding> {
public:
   /* The bound value; the control object does not own it. */
   Value& msgData;

   /* A deep copy of the bound value in dst, or, with a null dst, in a new
      value allocated from the context's heap (it goes with the heap). The
      bound value itself comes back unchanged. A caller's dst that has no
      context yet is bound to this object's context. Null when no memory. */
   Value* getCopy(Value* dst = nullptr) {
      if (dst == &msgData) return dst;
      ASN1CTXT* pctxt = this->getCtxtPtr();
      const bool inHeap = dst == nullptr;
      if (inHeap) {
         void* memory = ASN1MALLOCZ(pctxt, sizeof(Value));
         if (memory == nullptr) return nullptr;
         dst = new (memory) Value();
      }
      copyValue(pctxt, &this->getTypeDesc(), &msgData, dst);
      if (!inHeap) adoptContext(dst);
      return dst;
   }

   /* A deep copy in a new value that the caller deletes; its dynamic parts
      live in this object's context, which it holds when Value can. */
   Value* newCopy() {
      Value* copy = new Value();
      copyValue(this->getCtxtPtr(), &this->getTypeDesc(), &msgData, copy);
      adoptContext(copy);
      return copy;
   }

protected:
   ControlOf(const TypeDesc& type, ASN1MessageBufferIF& msgBuf, Value& value)
      : Control<Binding>(type, msgBuf, &value), msgData(value) {}
   ControlOf(const TypeDesc& type, Value& value) : Control<Binding>(type, &value), msgData(value) {}
   /* Shares the other object's context and buffer over a deep copy of its
      value made in that context's heap. */
   ControlOf(ControlOf& other) : ControlOf(other, copyOf(other)) {}

   /* The assignment of the list, counted-array, bit-string and time
      classes: this object's value becomes a deep copy of the other's. */
   void assign(ControlOf& other) {
      if (&other == this) return;
      if constexpr (std::is_base_of<ASN1CSeqOfList, Binding>::value) {
         this->ASN1CSeqOfList::clear();
         copyValue(this->getCtxtPtr(), &this->getTypeDesc(), &other.msgData, &msgData);
      } else if constexpr (std::is_base_of<ASN1CTime, Binding>::value) {
         static_cast<ASN1CTime&>(*this) = other;
      } else {
         other.getCopy(&msgData);
         this->rebindValue(this->getTypeDesc(), &msgData);
      }
   }

private:
   ControlOf(ControlOf& other, Value& copy)
      : Control<Binding>(other.getTypeDesc(), static_cast<ASN1CType&>(other), &copy),
        msgData(copy) {}

   /* A copy of other's value, in other's heap; RTLError(RTS_NO_MEMORY)
      when it cannot be made. */
   static Value& copyOf(ControlOf& other) {
      Value* copy = other.getCopy();
      if (copy == nullptr) throw ASN1MessageBuffer::RTLError(RTS_NO_MEMORY);
      return *copy;
   }

   /* A value that carries its own context (a PDU) gets this object's. */
   void adoptContext(Value* value) {
      if constexpr (std::is_base_of<ASN1TPDU, Value>::value) {
         if (value->getContext() == nullptr) value->setContext(this->getContext());
      }
   }
};

}

#endif
