/*
 * SAX state machine of SEQUENCE, SET and CHOICE: finding the component a
 * start tag names, handing the component's events to its machine (or to an
 * open-type capture), and the checks when the structure closes.
 */
#include <cstring>

#include "ASN1CXerOpenType.h"
#include "ASN1MessageBuffer.h"
#include "asn1Xer.h"
#include "openTypeInternal.h"
#include "rtContext.h"
#include "rtList.h"
#include "xerDecode.h"
#include "xerEngineInternal.h"

namespace asn1rt {

using namespace detail;

/* currentElementID of an extension element: past every component, so no
   root component may follow it. */
static int extensionElementID(const TypeDesc* type) { return type->fieldCount + 1; }

int XerDecodeHandler::getElementID(const char*, const char* localName, const char*) {
   switch (mpType->kind) {
   case Kind::Sequence: return sequenceElementID(localName);
   case Kind::Set: return setElementID(localName);
   case Kind::Choice: return choiceElementID(localName);
   default: return 0;
   }
}

/* Components in definition order: an optional row that does not match is
   passed over, a mandatory one may not be skipped. */
int XerDecodeHandler::sequenceElementID(const char* localName) {
   for (int i = currentElementID; i < mpType->fieldCount; i++) {
      const FieldDesc& field = mpType->fields[i];
      const bool mandatory = field.presence == Presence::Required;
      if (xerCmpText(localName, field.name)) {
         if (mandatory) mRequiredSeen++;
         return i + 1;
      }
      if (mandatory) return 0;
   }
   return 0;
}

/* Components in any order. An optional component may come again, its last
   occurrence giving the value. Every occurrence of a mandatory one counts,
   and one that comes again fails the SET when it closes, as a missing one
   does; that a repeat is noted apart from the count keeps a SET with two
   mandatory components from passing with one of them twice and the other
   missing. */
int XerDecodeHandler::setElementID(const char* localName) {
   for (int i = 0; i < mpType->fieldCount; i++) {
      const FieldDesc& field = mpType->fields[i];
      if (!xerCmpText(localName, field.name)) continue;
      if (field.presence == Presence::Required) {
         const uint64_t bit = uint64_t(1) << (i & 63);
         if ((mSetSeen & bit) != 0) mRequiredRepeated = true;
         mSetSeen |= bit;
         mRequiredSeen++;
      }
      return i + 1;
   }
   return 0;
}

/* One alternative per CHOICE element. */
int XerDecodeHandler::choiceElementID(const char* localName) {
   if (currentElementID != 0) return 0;
   for (int i = 0; i < mpType->fieldCount; i++) {
      if (xerCmpText(localName, mpType->fields[i].name)) return i + 1;
   }
   return 0;
}

void XerDecodeHandler::startComponent(const char* localName, const char* const* attrs) {
   currentState = 1;
   const int id = getElementID(nullptr, localName, localName);
   if (id == 0) {
      if (!mpType->extensible || !xerCmpText(localName, XER_ENCODED_ELEMENT)) {
         failUnknownElement(localName);
      }
      beginExtension(localName, attrs);
      return;
   }
   currentElementID = id;
   beginComponent(id, selectComponent(id));
}

/* Marks the component present (or selects the alternative) and returns
   where its value goes. */
void* XerDecodeHandler::selectComponent(int id) {
   const FieldDesc& field = mpType->fields[id - 1];
   if (mpType->kind != Kind::Choice) {
      if (field.presenceBit >= 0) {
         setPresenceWord(mpType, mpValue,
                         presenceWord(mpType, mpValue) | (uint32_t(1) << field.presenceBit));
      }
      return at(mpValue, field.offset);
   }
   fieldAs<ASN1UINT>(mpValue, mpType->selectorOffset) = static_cast<ASN1UINT>(id);
   if (!field.byPointer) return at(mpValue, field.offset);
   void* alternative = ASN1MALLOCZ(decodeContext(), field.type->valueSize);
   if (alternative == nullptr) fail(RTS_NO_MEMORY);
   fieldAs<void*>(mpValue, field.offset) = alternative;
   return alternative;
}

void XerDecodeHandler::beginComponent(int id, void* fieldValue) {
   const FieldDesc& field = mpType->fields[id - 1];
   const TableDesc* table = mpType->kind != Kind::Choice ? mpType->table : nullptr;
   mTwoForm = false;
   mHexText = false;
   if (field.type->kind == Kind::OpenType) {
      ASN1MessageBufferIF& msgBuf = *mpSession->msgBuf;
      if (isTableObject(field.type)) {
         Asn1TObject& openType = *static_cast<Asn1TObject*>(fieldValue);
         openType = Asn1TObject{};
         const ObjectDesc* object = streamableObject(id);
         if (object != nullptr) {
            beginStreamedObject(openType, object->type);
         } else if (streamsOpenField(id) && table->form == TableForm::OpenType) {
            beginStreamedObject(openType, nullptr);
         } else {
            adoptCapture(new ASN1CXerOpenType(msgBuf, openType), 1);
         }
      } else {
         ASN1TOpenType& openType = *static_cast<ASN1TOpenType*>(fieldValue);
         openType = ASN1TOpenType{};
         adoptCapture(new ASN1CXerOpenType(msgBuf, openType), 1);
      }
   } else if (table != nullptr && table->form == TableForm::InOctetString &&
              id - 1 == table->openField) {
      /* The value's XER goes to the capture, hexadecimal content to the
         OCTET STRING. */
      Asn1TObject& openType = fieldAs<Asn1TObject>(mpValue, table->objectOffset);
      openType = Asn1TObject{};
      *static_cast<ASN1TDynOctStr*>(fieldValue) = ASN1TDynOctStr{0, nullptr};
      rtMemBufReset(&mpSession->text);
      const ObjectDesc* object = streamableObject(id);
      if (object != nullptr) {
         beginStreamedObject(openType, object->type);
      } else {
         adoptCapture(new ASN1CXerOpenType(*mpSession->msgBuf, openType), 1);
      }
      mTwoForm = true;
   } else {
      XerDecodeHandler* child = childFor(static_cast<unsigned>(id - 1), *field.type);
      child->mpValue = fieldValue;
      child->init(1);
      if (table != nullptr && table->form == TableForm::SetOfOpenTypes) {
         child->mpItemObject = streamableObject(id);
      }
      mpCurrent = child;
      enter(child, Entry::Component);
   }
}

/* An unknown element of an extensible SEQUENCE in the hexadecimal form: its
   octets become one more entry of extElem1. */
void XerDecodeHandler::beginExtension(const char* localName, const char* const* attrs) {
   currentElementID = extensionElementID(mpType);
   const size_t block = sizeof(Asn1RTDListNode) + sizeof(ASN1TOpenType);
   char* node = static_cast<char*>(ASN1MALLOCZ(decodeContext(), block));
   if (node == nullptr) fail(RTS_NO_MEMORY);
   mpItem = node + sizeof(Asn1RTDListNode);
   adoptCapture(new ASN1CXerOpenType(*mpSession->msgBuf, *static_cast<ASN1TOpenType*>(mpItem)), 0);
   mpCapture->startElement(nullptr, localName, localName, attrs);
}

/* Text directly inside the element of an open type, outside the value's
   element: blanks, or the hexadecimal form of an OCTET STRING that carries
   the open type. Any other text would be a value that no element holds,
   which would otherwise be dropped without a word. */
void XerDecodeHandler::openTypeText(const char* chars, unsigned int length) {
   if (xerdetail::isBlankText(chars, length)) return;
   if (!mTwoForm) fail(RTS_BAD_VALUE);
   mHexText = true;
   check(xerDecOctStrMemBuf(&mpSession->text, chars, static_cast<int>(length), 1));
}

/* Text directly inside the element is the OCTET STRING form; an element
   inside it was captured as the value's XER. Both at once give two values
   for one. */
void XerDecodeHandler::endTwoForm() {
   const TableDesc& table = *mpType->table;
   const Asn1TObject& openType = fieldAs<Asn1TObject>(mpValue, table.objectOffset);
   if (openType.numocts != 0 || mObjectStreamed) {
      if (mHexText) fail(RTS_BAD_VALUE);
      return;
   }
   const FieldDesc& field = mpType->fields[table.openField];
   ASN1MemBuf& text = mpSession->text;
   const int lastBitOffset = static_cast<int>(text.bitOffset);
   ASN1CTXT* pctxt = finalizeMemBuf(mpSession->msgBuf, text);
   check(xerDecCopyDynOctStr(pctxt, &fieldAs<ASN1TDynOctStr>(mpValue, field.offset),
                             lastBitOffset));
   rtMemBufReset(&text);
}

void XerDecodeHandler::endComponent() {
   if (currentElementID == extensionElementID(mpType)) {
      ASN1CTXT* pctxt = decodeContext();
      check(xerdetail::resolveUntyped(pctxt, static_cast<ASN1TOpenType*>(mpItem)));
      rtDListAppendNode(pctxt, &fieldAs<Asn1RTDList>(mpValue, mpType->extensionOffset), mpItem);
      mpItem = nullptr;
   } else if (mTwoForm) {
      endTwoForm();
   } else {
      const FieldDesc& field = mpType->fields[currentElementID - 1];
      const TableDesc* table = mpType->kind != Kind::Choice ? mpType->table : nullptr;
      if (table != nullptr && table->form == TableForm::SetOfOpenTypes &&
          currentElementID - 1 == table->openField) {
         const XerDecodeHandler* list = mpChildren[table->openField];
         if (list->mpItemObject != nullptr) settleStreamedItems(*list);
      }
      if (field.type->kind == Kind::OpenType && !isTableObject(field.type)) {
         void* fieldValue = mpType->kind == Kind::Choice ? alternativeValue(mpValue, field)
                                                         : at(mpValue, field.offset);
         check(xerdetail::resolveUntyped(decodeContext(), static_cast<ASN1TOpenType*>(fieldValue)));
      }
   }
   dropCapture();
   mpCurrent = nullptr;
   mTwoForm = false;
   mHexText = false;
   mObjectPhase = ObjectPhase::Off;
   currentState = 3;
}

void XerDecodeHandler::endConstructed() {
   if (mpType->kind == Kind::Choice) return;
   if (mRequiredSeen != mpType->requiredCount || mRequiredRepeated) fail(RTS_MISSING_ELEMENT);
   /* A value decoded in the stream is what the table step would make of
      its text. */
   if (mpType->table != nullptr && !mObjectStreamed) {
      check(tableXerDecode(decodeContext(), mpType, mpValue));
   }
}

}
