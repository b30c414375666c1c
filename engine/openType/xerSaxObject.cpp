/*
 * Open types decoded as they stream by. When the identifying component has
 * already named a typed object at the open type's start tag, the value's
 * element goes straight to a machine of the object's type instead of being
 * captured as text and parsed a second time when the SEQUENCE closes.
 *
 * Only the shape that parse would accept is taken in the stream: blanks,
 * one element of the object's type decoded without any error, and text
 * that the capture would not hand over. The hexadecimal form is handed to
 * a capture as before. Anything else abandons the streamed reading of the
 * whole document (see decodeDocument), so every status and every value
 * stays what the capture and second parse give.
 */
#include <cstring>

#include "ASN1CXerOpenType.h"
#include "asn1Xer.h"
#include "openTypeInternal.h"
#include "rtContext.h"
#include "rtMemHeap.h"
#include "xerDecode.h"
#include "xerEngineInternal.h"

namespace asn1rt {

using namespace detail;

/* Whether the open type of component `id` can be resolved in the stream: a
   SEQUENCE whose identifying component is mandatory and comes first (so it
   has been decoded), and an open component with no default (so the table
   step would resolve it). */
bool XerDecodeHandler::streamsOpenField(int id) const {
   const TableDesc* table = mpType->table;
   if (!mpSession->streamObjects || mpType->kind != Kind::Sequence || table == nullptr) {
      return false;
   }
   if (id - 1 != table->openField || table->idField >= table->openField) return false;
   return mpType->fields[table->idField].presence == Presence::Required &&
          mpType->fields[table->openField].presence != Presence::DefaultValue;
}

/* The typed object whose value the component `id` carries, when that value
   can be decoded in the stream. */
const ObjectDesc* XerDecodeHandler::streamableObject(int id) const {
   if (!streamsOpenField(id)) return nullptr;
   const ObjectDesc* object = objectOf(mpType, mpValue);
   return object != nullptr && object->type != nullptr ? object : nullptr;
}

void XerDecodeHandler::beginStreamedObject(Asn1TObject& openType, const TypeDesc* type) {
   mpStreamed = &openType;
   mpStreamedType = type;
   mObjectPhase = ObjectPhase::BeforeValue;
   mTextBeforeValue = false;
   mpCurrent = nullptr;
}

XerDecodeHandler& XerDecodeHandler::objectMachine(const TypeDesc& type) {
   for (const std::unique_ptr<XerDecodeHandler>& machine : mObjectMachines) {
      if (machine->mpType == &type) return *machine;
   }
   mObjectMachines.emplace_back(new XerDecodeHandler(type, mpSession));
   XerDecodeHandler& machine = *mObjectMachines.back();
   machine.elementName = type.name;
   return machine;
}

/* A value's element begins: a zeroed value of the object's type, decoded
   by a machine whose outermost element must carry the type name. */
XerDecodeHandler& XerDecodeHandler::beginValue(const TypeDesc& type, void** decoded) {
   *decoded = nullptr;
   if (type.valueSize > 0) {
      *decoded = ASN1MALLOCZ(decodeContext(), type.valueSize);
      if (*decoded == nullptr) abandonStreaming();
   }
   XerDecodeHandler& machine = objectMachine(type);
   machine.mpValue = *decoded;
   machine.init(0);
   mStatusBeforeValue = decodeContext()->errInfo.status;
   return machine;
}

void XerDecodeHandler::beginObjectValue() {
   mpObjectMachine = &beginValue(*mpStreamedType, &mpStreamed->decoded);
   mObjectPhase = ObjectPhase::InValue;
   enter(mpObjectMachine, Entry::Object);
}

void XerDecodeHandler::startInObject(const char* uri, const char* localName, const char* qName,
                                     const char* const* attrs) {
   if (mObjectPhase == ObjectPhase::BeforeValue) {
      if (mTextBeforeValue) abandonStreaming();
      if (std::strcmp(localName, XER_ENCODED_ELEMENT) == 0) {
         /* The blanks ahead of the form change nothing in what the capture
            resolves to. */
         if (takesHexForm()) {
            static const char kStart[] = "<" XER_ENCODED_ELEMENT ">";
            ASN1MemBuf& text = mpSession->text;
            rtMemBufReset(&text);
            if (rtMemBufAppend(&text, reinterpret_cast<const ASN1OCTET*>(kStart),
                               sizeof(kStart) - 1) != RTS_OK) {
               abandonStreaming();
            }
            mStatusBeforeValue = decodeContext()->errInfo.status;
            mObjectPhase = ObjectPhase::InHexForm;
            return;
         }
         mObjectPhase = ObjectPhase::Off;
         adoptCapture(new ASN1CXerOpenType(*mpSession->msgBuf, *mpStreamed), 1);
         mpCapture->startElement(uri, localName, qName, attrs);
         return;
      }
      /* Only a typed object's value is decoded in the stream. */
      if (mpStreamedType == nullptr) abandonStreaming();
      beginObjectValue();
   } else if (mObjectPhase == ObjectPhase::AfterValue || mObjectPhase == ObjectPhase::InHexForm) {
      abandonStreaming();
   }
   streamed([&] { mpObjectMachine->startElement(uri, localName, qName, attrs); });
}

/* Text inside the streamed value, for the machine of the open component
   or item. */
void XerDecodeHandler::valueCharacters(const char* chars, unsigned int length) {
   /* A carriage return reaches the second parse as a line feed. */
   if (std::memchr(chars, '\r', length) != nullptr) abandonStreaming();
   ASN1XERSAXDecodeHandler* machine = mStreamingItem ? mpCurrent : mpObjectMachine;
   streamed([&] { machine->characters(chars, length); });
}

void XerDecodeHandler::charactersInObject(const char* chars, unsigned int length) {
   switch (mObjectPhase) {
   case ObjectPhase::InValue:
      valueCharacters(chars, length);
      return;
   case ObjectPhase::InHexForm:
      hexFormCharacters(chars, length);
      return;
   case ObjectPhase::BeforeValue:
      if (!xerdetail::isBlankText(chars, length)) mTextBeforeValue = true;
      break;
   default: break;
   }
   openTypeText(chars, length);
}

void XerDecodeHandler::endInObject(const char* uri, const char* localName, const char* qName) {
   if (level == 1) {
      /* The open component's own end tag. */
      mObjectStreamed = mObjectPhase == ObjectPhase::AfterValue;
      return;
   }
   if (mObjectPhase == ObjectPhase::InHexForm) return endHexForm();
   streamed([&] { mpObjectMachine->endElement(uri, localName, qName); });
   if (mpObjectMachine->level == 0) endObjectValue();
}

/* The value's element has closed. */
void XerDecodeHandler::endObjectValue() {
   /* A status recorded without a failure would fail the second parse. */
   if (decodeContext()->errInfo.status != mStatusBeforeValue) abandonStreaming();
   mObjectPhase = ObjectPhase::AfterValue;
}

/* An item of a list of open types whose object is known: its element is
   the value, decoded like a document whose root carries the type name. */
void XerDecodeHandler::beginStreamedItem() {
   XerDecodeHandler& item = beginValue(*mpItemObject->type, &static_cast<Asn1TObject*>(mpItem)->decoded);
   mpCurrent = &item;
   mStreamingItem = true;
   enter(&item, Entry::StreamedItem);
}

/* The streamed item's element has closed. */
void XerDecodeHandler::endStreamedItem() {
   /* A status recorded without a failure would fail the second parse. */
   if (decodeContext()->errInfo.status != mStatusBeforeValue) abandonStreaming();
   mStreamedItems++;
   mStreamingItem = false;
}

/* The list of open types has closed: items that were all streamed leave the
   table step nothing to do; streamed and captured ones side by side are
   left to the captured reading. */
void XerDecodeHandler::settleStreamedItems(const XerDecodeHandler& list) {
   if (list.mStreamedItems > 0 && list.mCapturedItems > 0) abandonStreaming();
   mObjectStreamed = list.mStreamedItems > 0;
}

/* The hexadecimal form of a component that carries a table-constrained
   open type of its own (not inside an OCTET STRING) is read in the stream,
   without a capture, into the text that the capture would have taken; it
   is then resolved as the table step would resolve that text. Anything
   but hexadecimal digits and blanks inside the form, and any failure to
   resolve it, abandons streaming, so that the capture and the table step
   give their own status. */
bool XerDecodeHandler::takesHexForm() const {
   return !mTwoForm && mpType->table->form == TableForm::OpenType;
}

void XerDecodeHandler::hexFormCharacters(const char* chars, unsigned int length) {
   for (unsigned int i = 0; i < length; i++) {
      const char c = chars[i];
      const bool hex = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
      if (!hex && c != ' ' && c != '\t' && c != '\n' && c != '\r') abandonStreaming();
   }
   if (rtMemBufAppend(&mpSession->text, reinterpret_cast<const ASN1OCTET*>(chars), length) !=
       RTS_OK) {
      abandonStreaming();
   }
}

void XerDecodeHandler::endHexForm() {
   static const char kEnd[] = "</" XER_ENCODED_ELEMENT ">";
   ASN1MemBuf& text = mpSession->text;
   if (rtMemBufAppend(&text, reinterpret_cast<const ASN1OCTET*>(kEnd), sizeof(kEnd) - 1) !=
       RTS_OK) {
      abandonStreaming();
   }
   ASN1CTXT* pctxt = decodeContext();
   ASN1TDynOctStr octets;
   if (xerdetail::decodeHexForm(pctxt, text.buffer, text.usedcnt, &octets) != 1 ||
       octets.numocts == 0) {
      abandonStreaming();
   }
   rtMemBufReset(&text);
   Asn1TObject& openType = *mpStreamed;
   openType.numocts = octets.numocts;
   openType.flags = 0;
   openType.data = octets.data;
   const ObjectDesc* object = objectOf(mpType, mpValue);
   if (object != nullptr && decodeTableObject(pctxt, object, &openType) != RTS_OK) {
      abandonStreaming();
   }
   /* A status recorded without a failure would fail the second parse. */
   if (pctxt->errInfo.status != mStatusBeforeValue) abandonStreaming();
   mObjectPhase = ObjectPhase::AfterValue;
}

}
